// Comparisons of byte strings built on the lead-byte test (which is chosen at link time:
// shift_jis_lead_byte.cpp natively, win/lead_byte_win.cpp on Windows).
#include "base/bytes.h"

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
