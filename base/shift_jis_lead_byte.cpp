// The lead-byte test of a native build: the Shift-JIS table of the target systems.
#include "base/bytes.h"

bool IsLeadByte(unsigned char b) {
    return IsShiftJisLeadByte(b);
}
