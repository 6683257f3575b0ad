// Fuzzes the hand-off line both ways. For every input: reading yields a name without CR or
// 0x1A that follows a marker in the text; writing never passes the buffer, fits exactly the
// names that the capture's buffer holds, and reads back as the same name.
#include "handoff/contract.h"
#include "handoff/handoff_line.h"
#include "tests/support/fuzz_property.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteString text(reinterpret_cast<const char*>(data), size);

    const ByteString name = handoff::DocNameFromLogText(text);
    FUZZ_PROPERTY(name.find('\r') == ByteString::npos && name.find('\x1A') == ByteString::npos);
    FUZZ_PROPERTY(name.empty() || text.find(handoff::kDocNameMarker + name) != ByteString::npos);

    constexpr char kGuard = '\x5A';
    char line[handoff::kHandOffLineCapacity + 1];
    line[handoff::kHandOffLineCapacity] = kGuard;
    const size_t length =
        handoff::FormatHandOffLine(text.data(), text.size(), line, handoff::kHandOffLineCapacity);
    FUZZ_PROPERTY(line[handoff::kHandOffLineCapacity] == kGuard);
    const size_t markerLength = sizeof handoff::kDocNameMarker - 1;
    if (text.size() >= handoff::kDocumentNameCapacity) {
        FUZZ_PROPERTY(length == 0 && line[0] == '\0');
        return 0;
    }
    FUZZ_PROPERTY(length == markerLength + text.size() + 2 && line[length] == '\0');
    const bool endsNothing = text.find_first_of("\r\x1A") == ByteString::npos;
    if (endsNothing)
        FUZZ_PROPERTY(handoff::DocNameFromLogText(ByteString(line, length)) == text);
    return 0;
}
