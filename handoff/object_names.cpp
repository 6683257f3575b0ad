// The hand-off's object names (pure logic).
#include "handoff/object_names.h"

#include "base/bytes.h"

#include <cstring>

namespace handoff {

namespace {

struct ObjectPrefix {
    ObjectKind kind;
    const char* prefix;
};

constexpr ObjectPrefix kObjectPrefixes[] = {
    {ObjectKind::CaptureTurn, "Spoolwick.Capture."},
    {ObjectKind::JobLock, "Spoolwick.JobLock."},
    {ObjectKind::JobTaken, "Spoolwick.JobTaken."},
};

const char* PrefixOf(ObjectKind kind) {
    for (const ObjectPrefix& entry : kObjectPrefixes) {
        if (entry.kind == kind)
            return entry.prefix;
    }
    return "Spoolwick.";
}

} // namespace

uint32_t FoldedPathHash(const char* path) {
    uint32_t hash = 2166136261u;
    const auto mix = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 16777619u;
    };
    for (const char* p = path; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (IsLeadByte(byte) && p[1] != '\0') {
            mix(byte);
            mix(static_cast<unsigned char>(*++p));
        } else {
            mix(byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte);
        }
    }
    return hash;
}

ObjectName NameOf(ObjectKind kind, const char* jobFilePath) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    ObjectName name{};
    const char* prefix = PrefixOf(kind);
    const size_t prefixLength = std::strlen(prefix);
    std::memcpy(name.text, prefix, prefixLength);
    const uint32_t hash = FoldedPathHash(jobFilePath);
    for (int digit = 0; digit < 8; ++digit)
        name.text[prefixLength + digit] = kHexDigits[(hash >> (28 - 4 * digit)) & 0xF];
    return name;
}

} // namespace handoff
