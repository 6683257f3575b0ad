// Vellumcast Monitor and setup: between Windows' wchar_t text and the char16_t text of the
// pure logic (both UTF-16 on Windows).
#pragma once

#include <cwchar>
#include <string>

inline std::u16string U16(const wchar_t* text) {
    if (!text)
        return std::u16string();
    return std::u16string(text, text + std::wcslen(text));
}

inline std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}
