// The open-file dialog on the common dialog library.
#include "toolkit/open_dialog.h"

#include "base/path_parts.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {
// Room for a selection of many files (the names follow the folder, separated by zeros).
constexpr size_t kFileBufferSize = 64 * 1024;

// "a|b|c|d" as the dialog wants it: "a\0b\0c\0d\0\0".
ByteString FilterForDialog(const ByteString& filter) {
    ByteString result = filter;
    for (char& c : result) {
        if (c == '|')
            c = '\0';
    }
    result.push_back('\0');
    result.push_back('\0');
    return result;
}
} // namespace

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

bool TOpenDialog::Execute() {
    std::vector<char> file(kFileBufferSize, '\0');
    FileName.copy(file.data(), std::min(FileName.size(), file.size() - 1));
    const ByteString filter = FilterForDialog(Filter);
    // The dialog wants the extension without its dot.
    const ByteString defaultExt =
        !DefaultExt.empty() && DefaultExt.front() == '.' ? DefaultExt.substr(1) : DefaultExt;

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner() ? Owner()->WindowHandle() : nullptr;
    dialog.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    dialog.Flags = Options;
    if (!GetOpenFileNameA(&dialog))
        return false;
    FileName = FirstSelectedFile(ByteString(file.data(), file.size()));
    return true;
}
