// Text between the ANSI code page (Shift-JIS on the target) and UTF-16, as the Windows calls
// convert it: the one place that calls the conversions for ANSI text.
#pragma once

#include "base/bytes.h"

#include <string>

namespace win {

// Every byte converted, zero bytes included.
std::wstring WideFromAnsi(const ByteString& text);

// Every unit of text[0, length) converted; characters the code page lacks become its
// default character.
ByteString AnsiFromWide(const wchar_t* text, size_t length);
ByteString AnsiFromWide(const std::wstring& text);

} // namespace win
