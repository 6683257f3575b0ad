// The Windows call of job intake: reading the hand-off log.
#pragma once

#include "base/bytes.h"
#include "handoff/coordination_win.h"

#include <optional>

namespace job {

// Every byte of an existing file, opened for reading and shared with readers only, so
// that a writer holding it open makes the open fail. Raises EInOutError with the system
// error code when opening, reading or closing fails.
ByteString ReadSharedForReading(const ByteString& path);

// Takes the handed-on job file over: for the instant of the move it holds the folder's
// job-file lock (waiting for it while pump dispatches window messages), moves the job file
// to a kept name with the hand-off log's line beside it, and tells the capture. The kept
// job's path; nothing when no job file waits (another converter took it). Raises Exception
// when the job file exists but cannot be moved (it then stays for the next print to keep).
std::optional<ByteString> TakeOverHandOff(const ByteString& jobFile, const ByteString& handOffLog,
                                          handoff::MessagePump* pump);

} // namespace job
