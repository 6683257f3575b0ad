// Fuzzes the path parts. For every input: directory and name part make up the path; the
// name part holds no single-byte separator; the extension is empty or the name's last
// single-byte "." onwards; changing the extension to itself changes nothing; every search
// result starts a character; appending a "\" is idempotent.
#include "base/bytes.h"
#include "base/path_parts.h"
#include "tests/support/fuzz_property.h"

#include <cstdint>
#include <vector>

namespace {
// The indices at which characters start, walked independently of the path parts.
std::vector<bool> CharacterStarts(const ByteString& s) {
    std::vector<bool> starts(s.size(), false);
    for (size_t i = 0; i < s.size();) {
        starts[i] = true;
        const auto byte = static_cast<unsigned char>(s[i]);
        i += IsLeadByte(byte) && i + 1 < s.size() && CharLengthAt(s, i) == 2 ? 2 : 1;
    }
    return starts;
}

bool HasSingleByte(const ByteString& s, const std::vector<bool>& starts, size_t offset,
                   const char* bytes) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (starts[offset + i] && CharLengthAt(s, i) == 1 &&
            ByteString(bytes).find(s[i]) != ByteString::npos)
            return true;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteString path(reinterpret_cast<const char*>(data), size);
    const std::vector<bool> starts = CharacterStarts(path);

    const ByteString directory = ExtractFilePath(path);
    const ByteString name = ExtractFileName(path);
    FUZZ_PROPERTY(directory + name == path);
    FUZZ_PROPERTY(name.empty() || starts[directory.size()]);
    FUZZ_PROPERTY(!HasSingleByte(name, starts, directory.size(), "\\:"));

    const ByteString extension = ExtractFileExt(path);
    FUZZ_PROPERTY(name.size() >= extension.size() &&
                  name.compare(name.size() - extension.size(), ByteString::npos, extension) == 0);
    if (!extension.empty()) {
        FUZZ_PROPERTY(extension[0] == '.' && starts[path.size() - extension.size()]);
        FUZZ_PROPERTY(
            !HasSingleByte(extension.substr(1), starts, path.size() - extension.size() + 1, "."));
    }
    FUZZ_PROPERTY(ChangeFileExt(path, extension) == path);
    FUZZ_PROPERTY(ExtractFileExt(ChangeFileExt(path, "")).empty() ||
                  ChangeFileExt(path, "") == path.substr(0, path.size() - extension.size()));

    for (char c : {'\\', '.', ':', '|', '%'}) {
        const size_t found = FindChar(path, c);
        if (found != ByteString::npos)
            FUZZ_PROPERTY(path[found] == c && starts[found] && CharLengthAt(path, found) == 1);
    }
    // A path that ends in a lead byte without its trail byte is no ANSI text: a "\" after it
    // would become that trail byte (as the one of ソ does).
    const bool endsInLeadByte = !path.empty() && starts[path.size() - 1] &&
                                IsLeadByte(static_cast<unsigned char>(path.back()));
    if (!endsInLeadByte) {
        const ByteString withSeparator = IncludeTrailingBackslash(path);
        FUZZ_PROPERTY(IncludeTrailingBackslash(withSeparator) == withSeparator);
        FUZZ_PROPERTY(path.empty() || EndsWithBackslash(withSeparator));
    }
    return 0;
}
