// The character-boundary cut of the capture's fixed buffers.
#include "capture/fixed_text.h"

#include "base/bytes.h"

size_t CharBoundaryWithin(const char* text, size_t length, size_t limit) {
    size_t boundary = 0;
    while (boundary < length) {
        const bool doubleByte =
            IsLeadByte(static_cast<unsigned char>(text[boundary])) && boundary + 1 < length;
        const size_t next = boundary + (doubleByte ? 2 : 1);
        if (next > limit)
            break;
        boundary = next;
    }
    return boundary;
}
