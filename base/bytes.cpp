// The lead-byte test of the ANSI code page.
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
