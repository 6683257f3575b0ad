// The document name in the hand-off log's text (pure logic).
#include "converter/job/intake.h"

namespace {
constexpr char kDocNameMarker[] = "REDMON_DOCNAME=";
constexpr size_t kDocNameMarkerLength = sizeof kDocNameMarker - 1;
constexpr char kEndOfText = '\x1A';
} // namespace

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
