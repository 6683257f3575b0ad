// Starting and waiting for Ghostscript on the Windows API.
#include "converter/job/ghostscript_process_win.h"

#include "base/errors.h"

#include <windows.h>

#include <string>

namespace job {

void EnterDirectory(const ByteString& directory) {
    if (!SetCurrentDirectoryA(directory.c_str()))
        throw EInOutError(GetLastError());
}

win::UniqueProcess StartHidden(const ByteString& applicationName, const ByteString& commandLine) {
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    startup.dwFlags = STARTF_USESHOWWINDOW; // replaces whatever the converter was given
    startup.wShowWindow = SW_HIDE;

    ByteString mutableLine = commandLine; // CreateProcessA may write into it
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(applicationName.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &info)) {
        const DWORD code = GetLastError();
        throw Exception("Exec Error " + std::to_string(static_cast<unsigned long>(code)));
    }
    return win::UniqueProcess(info);
}

namespace {
// Ends the process and waits for it to be gone (its files closed).
void EndProcess(HANDLE process) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 30000);
}
} // namespace

WaitResult WaitWhileDispatching(const win::UniqueProcess& process,
                                const std::function<void()>& processMessages,
                                unsigned long timeLimitSeconds,
                                const std::function<bool()>& cancelRequested) {
    const HANDLE handle = process.process.get();
    const ULONGLONG limitMs = ULONGLONG(timeLimitSeconds) * 1000;
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD waitMs = INFINITE;
        if (timeLimitSeconds != 0) {
            const ULONGLONG elapsed = GetTickCount64() - start;
            waitMs = elapsed >= limitMs ? 0 : DWORD(std::min<ULONGLONG>(limitMs - elapsed, 60000));
        }
        // MWMO_INPUTAVAILABLE also wakes for messages that were already queued before the
        // call, so none waits in the queue until Ghostscript ends.
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(1, &handle, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 + 1) {
            processMessages();
            // A process that ended meanwhile has ended: its result counts, not the cancel.
            if (cancelRequested && cancelRequested() &&
                WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) {
                EndProcess(handle);
                return {WaitResult::Cancelled, 0};
            }
            continue;
        }
        if (woken == WAIT_TIMEOUT) {
            if (GetTickCount64() - start < limitMs)
                continue;
            EndProcess(handle);
            return {WaitResult::TimedOut, 0};
        }
        if (woken != WAIT_OBJECT_0)
            return {WaitResult::Failed, 0};
        DWORD exitCode = 0;
        if (!GetExitCodeProcess(handle, &exitCode))
            return {WaitResult::Failed, 0};
        return {WaitResult::Ended, exitCode};
    }
}

} // namespace job
