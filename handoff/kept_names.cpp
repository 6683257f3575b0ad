// Names of kept jobs and private PDFs (pure logic).
#include "handoff/kept_names.h"

#include "base/bytes.h"
#include "handoff/contract.h"
#include "handoff/object_names.h"

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
    return SameTextAsciiCaseless(path + DirectoryPartLength(path), kJobFileName);
}

} // namespace handoff
