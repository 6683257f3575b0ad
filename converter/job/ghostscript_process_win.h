// The Windows calls that start Ghostscript hidden in its own directory and wait for it,
// within a time limit, while the converter's window messages keep flowing.
#pragma once

#include "base/bytes.h"
#include "base/win/handles_win.h"

#include <functional>
#include <optional>

namespace job {

// Makes directory the process's current directory; raises EInOutError with the system's
// error code when the platform refuses.
void EnterDirectory(const ByteString& directory);

// Starts applicationName (a bare file name, found in the current directory) with
// commandLine: hidden, handles not inherited, the default error mode, this process's
// environment and current directory. Raises Exception "Exec Error N" when it cannot start.
win::UniqueProcess StartHidden(const ByteString& applicationName, const ByteString& commandLine);

struct WaitResult {
    enum Outcome { Ended, TimedOut, Cancelled, Failed } outcome;
    unsigned long exitCode; // when Ended
};

// Blocks until the process ends, the time limit (0: none) passes or a window message
// arrives for this thread; on a message calls processMessages and blocks again, so the
// wait takes no processor time. A process still running at the limit, or when
// cancelRequested (asked after each round of messages) says so, is ended, and the wait
// returns once it is gone.
WaitResult WaitWhileDispatching(const win::UniqueProcess& process,
                                const std::function<void()>& processMessages,
                                unsigned long timeLimitSeconds = 0,
                                const std::function<bool()>& cancelRequested = nullptr);

} // namespace job
