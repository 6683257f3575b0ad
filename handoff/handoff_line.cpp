// The hand-off line, both ways (pure logic).
#include "handoff/handoff_line.h"

#include "handoff/contract.h"

#include <cstring>

namespace handoff {

namespace {
constexpr size_t kDocNameMarkerLength = sizeof kDocNameMarker - 1;
constexpr char kEndOfText = '\x1A';
} // namespace

size_t FormatHandOffLine(const char* name, size_t nameLength, char* line, size_t capacity) {
    if (capacity == 0)
        return 0;
    line[0] = '\0';
    if (nameLength > capacity || capacity - nameLength < kDocNameMarkerLength + 2 + 1)
        return 0;
    char* end = line;
    std::memcpy(end, kDocNameMarker, kDocNameMarkerLength);
    end += kDocNameMarkerLength;
    if (nameLength > 0)
        std::memcpy(end, name, nameLength);
    end += nameLength;
    *end++ = '\r';
    *end++ = '\n';
    *end = '\0';
    return size_t(end - line);
}

ByteString DocNameFromLogText(const ByteString& text) {
    // Ctrl+Z ends the text; CR ends a line and swallows one LF right after it, while any
    // other LF is an ordinary byte of the line.
    const ByteString content = text.substr(0, text.find(kEndOfText));
    size_t lineStart = 0;
    while (lineStart < content.size()) {
        size_t lineEnd = content.find('\r', lineStart);
        if (lineEnd == ByteString::npos)
            lineEnd = content.size();
        const ByteString line = content.substr(lineStart, lineEnd - lineStart);
        const size_t marker = line.find(kDocNameMarker);
        if (marker != ByteString::npos)
            return line.substr(marker + kDocNameMarkerLength);
        lineStart = lineEnd + 1;
        if (lineStart < content.size() && content[lineStart] == '\n')
            ++lineStart;
    }
    return ByteString();
}

} // namespace handoff
