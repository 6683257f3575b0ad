// The Windows calls of making and storing a PDF: a private name for Ghostscript's output,
// the completeness test on the file, the figures of the progress window, moving it into
// place, telling two names of one file apart.
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

// The file's first and last count bytes (the same bytes twice for a small file); empty
// texts when it cannot be read.
struct HeadAndTail {
    ByteString head;
    ByteString tail;
};
HeadAndTail ReadHeadAndTail(const ByteString& path, size_t count);

// The size of a file another process is writing (read from the open file, not from the
// folder entry, which may lag behind); 0 when it cannot be opened.
unsigned long long CurrentFileSize(const ByteString& path);

// Moves a file in one step, across volumes too; replaceExisting replaces a file of the new
// name in that same step (never deleting it first). 0, or the system's error code.
unsigned long MoveInOneStep(const ByteString& from, const ByteString& to, bool replaceExisting);

// True when both paths name one existing file (whatever their spelling: case, short
// names, "." parts).
bool SameFile(const ByteString& a, const ByteString& b);

} // namespace job
