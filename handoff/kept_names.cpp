// Names of kept jobs and private PDFs (pure logic).
#include "handoff/kept_names.h"

#include "base/bytes.h"
#include "handoff/contract.h"

#include <cstdio>
#include <cstring>

namespace handoff {

bool FormatKeptStem(const char* prefix, const Stamp& stamp, unsigned n, char* out,
                    size_t capacity) {
    if (capacity == 0)
        return false;
    const int length =
        std::snprintf(out, capacity, "%s%04d%02d%02d-%02d%02d%02d-%u", prefix, stamp.year,
                      stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second, n);
    if (length < 0 || size_t(length) >= capacity) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool NamesHandOffJobFile(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
            ++p;
        else if (*p == '\\' || *p == ':')
            name = p + 1;
    }
    return SameTextAsciiCaseless(name, kJobFileName);
}

} // namespace handoff
