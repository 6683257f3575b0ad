// Names of kept jobs and private PDFs (pure logic, allocation-free: the capture uses it).
#pragma once

#include <cstddef>

namespace handoff {

// A moment of the local clock, as the platform reports it.
struct Stamp {
    int year, month, day, hour, minute, second;
};

// "<prefix><YYYYMMDD>-<hhmmss>-<n>" (n in decimal) into out, which holds capacity bytes;
// false (and an empty out) when it does not fit. Only ASCII digits, "-" and the prefix:
// nothing in a kept name depends on the document.
bool FormatKeptStem(const char* prefix, const Stamp& stamp, unsigned n, char* out, size_t capacity);

// True when the name part of path (after the last single-byte "\" or ":") is the hand-off's
// job file name, in any letter case.
bool NamesHandOffJobFile(const char* path);

} // namespace handoff
