// The file dialogs' filter and selection texts (pure logic).
#include "toolkit/file_dialog_text.h"

#include "base/path_parts.h"

#include <vector>

namespace toolkit {

ByteString CommonDialogFilter(const ByteString& filter) {
    if (filter.empty())
        return ByteString();
    std::vector<ByteString> parts;
    for (size_t start = 0;;) {
        const size_t bar = FindChar(filter, '|', start);
        parts.push_back(
            filter.substr(start, bar == ByteString::npos ? ByteString::npos : bar - start));
        if (bar == ByteString::npos)
            break;
        start = bar + 1;
    }
    if (parts.size() % 2 == 1)
        parts.push_back(parts.back());
    ByteString result;
    for (const ByteString& part : parts) {
        result += part;
        result += '\0';
    }
    return result + '\0';
}

ByteString FirstSelectedFile(const ByteString& buffer) {
    const size_t firstEnd = buffer.find('\0');
    const ByteString first = buffer.substr(0, firstEnd);
    if (firstEnd == ByteString::npos || firstEnd + 1 >= buffer.size() ||
        buffer[firstEnd + 1] == '\0')
        return first;
    // Several files: the first part is their folder, the next one the first name.
    const size_t nameEnd = buffer.find('\0', firstEnd + 1);
    return IncludeTrailingBackslash(first) + buffer.substr(firstEnd + 1, nameEnd - firstEnd - 1);
}

} // namespace toolkit
