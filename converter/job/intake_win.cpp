// Reading the hand-off log on the Windows API.
#include "converter/job/intake_win.h"

#include "base/errors.h"
#include "base/win/files_win.h"
#include "base/win/handles_win.h"

#include <windows.h>

namespace job {

ByteString ReadSharedForReading(const ByteString& path) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EInOutError(GetLastError());

    ByteString bytes;
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            throw EInOutError(GetLastError());
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }

    // Closed here rather than by the owner, so that a failed close is reported.
    if (!CloseHandle(file.release()))
        throw EInOutError(GetLastError());
    return bytes;
}

std::optional<ByteString> TakeOverHandOff(const ByteString& jobFile, const ByteString& handOffLog,
                                          handoff::MessagePump* pump) {
    const handoff::HeldMutex files =
        handoff::AcquireFolderMutex(handoff::ObjectKind::JobFiles, jobFile.c_str(), pump);
    if (!win::FileExists(jobFile))
        return std::nullopt;
    handoff::PathBuffer kept;
    if (!handoff::SetAsideJobFile(jobFile.c_str(), handOffLog.c_str(), kept)) {
        const DWORD code = GetLastError();
        throw Exception("ジョブファイル " + jobFile + " を引き継げませんでした (" +
                        InOutErrorMessage(code) + ")");
    }
    handoff::SignalTaken(jobFile.c_str());
    return ByteString(kept.text);
}

} // namespace job
