// Decoding the document name with the ANSI code page for the PDF's Title.
#include "converter/job/title_text_win.h"

#include <windows.h>

#include <vector>

namespace title_text {

std::u16string FromAnsi(const ByteString& name) {
    if (name.empty())
        return std::u16string();
    const int size =
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (size <= 0)
        return std::u16string();
    std::vector<wchar_t> wide(size);
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), size);
    return std::u16string(wide.begin(), wide.end());
}

} // namespace title_text
