// ANSI and UTF-16 text on MultiByteToWideChar and WideCharToMultiByte.
#include "base/win/text_win.h"

#include <windows.h>

#include <cwchar>

namespace win {

std::wstring WideFromAnsi(const ByteString& text) {
    if (text.empty())
        return std::wstring();
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
}

ByteString AnsiFromWide(const wchar_t* text, size_t length) {
    if (length == 0)
        return ByteString();
    const int units = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return ByteString();
    ByteString narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, units, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

ByteString AnsiFromWide(const std::wstring& text) {
    return AnsiFromWide(text.data(), text.size());
}

} // namespace win
