// Job intake: the job file's long path and the document name from the hand-off log.
#pragma once

#include "base/bytes.h"

namespace job {

// The path with every component below the drive (or the network share) replaced by the
// long name of its directory entry; stops at the first component that does not exist.
ByteString ExpandLongPath(const ByteString& path);

// The hand-off log in the data folder (beside the programs in a portable copy, in the
// user's own folder in an installed one); empty when there is no data folder, which names
// the PDF by date and time.
ByteString HandOffLogPath();

// The document name from the hand-off log at logPath: the rest of the first line that
// holds the hand-off marker; empty when the log is missing or has no such line.
// Raises EInOutError when the log exists but cannot be opened, read or closed.
ByteString ReadDocNameFrom(const ByteString& logPath);

} // namespace job
