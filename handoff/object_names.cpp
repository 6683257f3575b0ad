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
    {ObjectKind::HandOffTurn, "Vellumcast.Turn."},
    {ObjectKind::JobFiles, "Vellumcast.Files."},
    {ObjectKind::JobTaken, "Vellumcast.Taken."},
};

constexpr char kGlobalPrefix[] = "Global\\";

const char* PrefixOf(ObjectKind kind) {
    for (const ObjectPrefix& entry : kObjectPrefixes) {
        if (entry.kind == kind)
            return entry.prefix;
    }
    return "Vellumcast.";
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

size_t DirectoryPartLength(const char* path) {
    size_t length = 0;
    for (size_t i = 0; path[i] != '\0'; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0')
            ++i;
        else if (path[i] == '\\' || path[i] == ':')
            length = i + 1;
    }
    return length;
}

ObjectName NameOf(ObjectKind kind, const char* longFolder, Namespace space) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    ObjectName name{};
    size_t length = 0;
    const auto append = [&](const char* text) {
        const size_t size = std::strlen(text);
        std::memcpy(name.text + length, text, size);
        length += size;
    };
    if (space == Namespace::Global)
        append(kGlobalPrefix);
    append(PrefixOf(kind));
    const uint32_t hash = FoldedPathHash(longFolder);
    for (int digit = 0; digit < 8; ++digit)
        name.text[length + digit] = kHexDigits[(hash >> (28 - 4 * digit)) & 0xF];
    return name;
}

} // namespace handoff
