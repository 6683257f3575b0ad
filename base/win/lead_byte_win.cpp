// The lead-byte test on Windows: the ANSI code page's own answer.
#include "base/bytes.h"

#include <windows.h>

bool IsLeadByte(unsigned char b) {
    return IsDBCSLeadByte(b) != FALSE;
}
