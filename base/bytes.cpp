// The lead-byte test of the ANSI code page, and the comparisons built on it.
#include "base/bytes.h"

#ifdef _WIN32
#include <windows.h>
bool IsLeadByte(unsigned char b) {
    return IsDBCSLeadByte(b) != FALSE;
}
#else
bool IsLeadByte(unsigned char b) {
    return IsShiftJisLeadByte(b);
}
#endif

bool SameTextAsciiCaseless(const ByteString& a, const ByteString& b) {
    if (a.size() != b.size())
        return false;
    const auto fold = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
    };
    for (size_t i = 0; i < a.size();) {
        const size_t length = CharLengthAt(a, i);
        if (length == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (fold(static_cast<unsigned char>(a[i])) !=
                   fold(static_cast<unsigned char>(b[i]))) {
            return false;
        }
        i += length;
    }
    return true;
}
