// Vellumcast Monitor: appending to the monitor's log file.
#include "monitor/monitor_log_win.h"

#include "base/win/handles.h"

#include <windows.h>

namespace monitor_log {
namespace {

constexpr LONGLONG kRotateAt = 1 << 20;

SRWLOCK g_lock = SRWLOCK_INIT;

std::wstring Folder() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"ProgramData", buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return std::wstring(buffer, length) + L"\\Vellumcast";
    const UINT windows = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, windows < MAX_PATH ? windows : 0) + L"\\Temp";
}

// Runs f as the monitor's own identity: a spooler thread impersonating the printing user
// could not write to a log that the service created, and the user must not own it.
template <typename F> void AsSelf(F f) {
    HANDLE token = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_IMPERSONATE, TRUE, &token)) {
        f();
        return;
    }
    const win::UniqueHandle owned(token);
    RevertToSelf();
    f();
    SetThreadToken(nullptr, token);
}

} // namespace

std::wstring Path() {
    return Folder() + L"\\VellumcastMon.log";
}

log_line::Time Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void Append(const std::string& line) {
    AsSelf([&line] {
        AcquireSRWLockExclusive(&g_lock);
        const win::ScopeExit unlock([] { ReleaseSRWLockExclusive(&g_lock); });
        CreateDirectoryW(Folder().c_str(), nullptr);
        const std::wstring path = Path();
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
            ((static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) > kRotateAt)
            MoveFileExW(path.c_str(), (path + L".old").c_str(), MOVEFILE_REPLACE_EXISTING);
        const win::UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return;
        DWORD written = 0;
        WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    });
}

} // namespace monitor_log
