// The names of the kernel objects through which the capture and the converter coordinate
// one job folder: derived from the job file's path, so both sides name the same objects.
#pragma once

#include <cstdint>

namespace handoff {

enum class ObjectKind {
    CaptureTurn, // mutex: one capture at a time into the directory
    JobLock,     // mutex: whoever holds it owns the job file, the log and the PDF name
    JobTaken,    // auto-reset event: the converter tells its capture that it holds JobLock
};

// An object name in a fixed array: the capture program allocates nothing.
struct ObjectName {
    char text[48];
};

// FNV-1a (32 bits) of the path with single-byte ASCII letters folded to lower case;
// trail bytes of double-byte characters are hashed as they are.
uint32_t FoldedPathHash(const char* path);

// "Spoolwick.Capture.<hash>", "Spoolwick.JobLock.<hash>" or "Spoolwick.JobTaken.<hash>",
// the hash in eight lower-case hex digits.
ObjectName NameOf(ObjectKind kind, const char* jobFilePath);

} // namespace handoff
