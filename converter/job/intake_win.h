// The Windows calls of job intake: looking up one directory entry and reading the
// hand-off log.
#pragma once

#include "base/bytes.h"

#include <optional>

namespace win {

// The long name of the directory entry that path names (of any attribute: hidden, system
// and directories included); nothing when there is no such entry. Wildcards never match:
// a path with "*" or "?" names no entry.
std::optional<ByteString> EntryLongName(const ByteString& path);

// Every byte of an existing file, opened for reading and shared with readers only, so
// that a writer holding it open makes the open fail. Raises EInOutError with the system
// error code when opening, reading or closing fails.
ByteString ReadSharedForReading(const ByteString& path);

} // namespace win
