// The Windows calls of storing a PDF: deleting and moving files, telling two names of one
// file apart.
#pragma once

#include "base/bytes.h"

namespace job {

// Results are not examined: a file that cannot be deleted or moved stays where it is.
void DeleteQuietly(const ByteString& path);
void MoveQuietly(const ByteString& from, const ByteString& to);

// True when both paths name one existing file (whatever their spelling: case, short
// names, "." parts).
bool SameFile(const ByteString& a, const ByteString& b);

} // namespace job
