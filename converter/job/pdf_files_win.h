// The Windows calls of making and storing a PDF: a private name for Ghostscript's output,
// the completeness test on the file, moving it into place, telling two names of one file
// apart.
#pragma once

#include "base/bytes.h"

#include <optional>

namespace job {

// Deleting a file of the run's own (its private PDF, a converted job); a file that cannot
// be deleted stays where it is.
void DeleteQuietly(const ByteString& path);

// Creates "$$pdf-<date>-<time>-<n>.pdf" anew in the folder (a path prefix ending in "\"):
// a name no other run writes to. Its path, or nothing when none could be created.
std::optional<ByteString> ReservePrivatePdf(const ByteString& folderPrefix);

// True when the file starts with "%PDF-" and ends with "%%EOF" (line ends after it allowed).
bool IsCompletePdfFile(const ByteString& path);

// Moves a file in one step, across volumes too; replaceExisting replaces a file of the new
// name in that same step (never deleting it first). 0, or the system's error code.
unsigned long MoveInOneStep(const ByteString& from, const ByteString& to, bool replaceExisting);

// True when both paths name one existing file (whatever their spelling: case, short
// names, "." parts).
bool SameFile(const ByteString& a, const ByteString& b);

} // namespace job
