// The Windows call of job intake: reading the hand-off log.
#pragma once

#include "base/bytes.h"

namespace job {

// Every byte of an existing file, opened for reading and shared with readers only, so
// that a writer holding it open makes the open fail. Raises EInOutError with the system
// error code when opening, reading or closing fails.
ByteString ReadSharedForReading(const ByteString& path);

} // namespace job
