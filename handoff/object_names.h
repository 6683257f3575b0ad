// The names of the kernel objects through which captures and converters coordinate one job
// folder: derived from the folder's long form, so that every spelling of it (short names,
// letter case) gives the same names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace handoff {

enum class ObjectKind {
    HandOffTurn, // mutex: one hand-off at a time into the folder
    JobFiles,    // mutex: held for the instant a job file or hand-off log changes hands
    JobTaken,    // auto-reset event: a converter tells the waiting capture it has its job
};

enum class Namespace {
    Global,  // "Global\...": seen from every session (two users, "run as user")
    Session, // the session's own namespace, where creating a global object is refused
};

// An object name in a fixed array: the capture program allocates nothing.
struct ObjectName {
    char text[64];
};

// FNV-1a (32 bits) of the bytes with single-byte ASCII letters folded to lower case;
// trail bytes of double-byte characters are hashed as they are.
uint32_t FoldedPathHash(const char* path);

// Length of the directory part of path: up to and including its last single-byte "\" or
// ":" (0 when it has none).
size_t DirectoryPartLength(const char* path);

// "[Global\]Vellumcast.<Kind>.<hash>", the hash of the job folder's long form in eight
// lower-case hex digits.
ObjectName NameOf(ObjectKind kind, const char* longFolder, Namespace space);

} // namespace handoff
