// The Windows calls that start Ghostscript hidden in its own directory and wait for it
// while the converter's window messages keep flowing.
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

// Blocks until the process ends or a window message arrives for this thread; on a message
// calls processMessages and blocks again, so the wait takes no processor time. The
// process's exit code, or nothing when the wait or the code could not be read.
std::optional<unsigned long> WaitWhileDispatching(const win::UniqueProcess& process,
                                                  const std::function<void()>& processMessages);

} // namespace job
