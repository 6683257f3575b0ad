// Byte strings in the system's ANSI code page (Shift-JIS on the target), and the
// lead-byte test that every multibyte-aware search in the code relies on.
#pragma once

#include <string>

using ByteString = std::string;

// True when b starts a double-byte character of the ANSI code page. On Windows this is
// the code page's own answer; the native build uses the Shift-JIS table of the target.
bool IsLeadByte(unsigned char b);

// Shift-JIS (code page 932) lead bytes: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsShiftJisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Shift-JIS trail bytes: 0x40-0x7E and 0x80-0xFC. A lead byte before any other byte (a
// control byte, a blank, a quote, a "." ...) starts no character: text cut in the middle of
// a character, or no Shift-JIS at all.
constexpr bool IsShiftJisTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Length of the character that starts at s[i]: 2 for a lead byte followed by another
// byte, else 1. A lead byte at the very end counts as a single byte.
inline size_t CharLengthAt(const ByteString& s, size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// Byte-by-byte equality in which ASCII letters match regardless of case; no locale rules,
// so the bytes of a double-byte character must be equal as they are (ア, 83 41, is not ヂ,
// 83 61, although its trail byte looks like "A").
bool SameTextAsciiCaseless(const ByteString& a, const ByteString& b);
