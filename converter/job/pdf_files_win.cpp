// Files and shell starts of the conversion run on the Windows API.
#include "converter/job/pdf_files_win.h"

#include "base/win/handles.h"

#include <shellapi.h>

#include <optional>

namespace pdf_files {

void Delete(const ByteString& path) {
    DeleteFileA(path.c_str());
}

void Move(const ByteString& from, const ByteString& to) {
    MoveFileA(from.c_str(), to.c_str());
}

namespace {
std::optional<BY_HANDLE_FILE_INFORMATION> Identity(const ByteString& path) {
    // No access rights asked: attributes and identity only, beside any other opener.
    win::UniqueFile file(CreateFileA(path.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    return info;
}
} // namespace

bool SameFile(const ByteString& a, const ByteString& b) {
    const auto first = Identity(a);
    const auto second = Identity(b);
    return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
           first->nFileIndexHigh == second->nFileIndexHigh &&
           first->nFileIndexLow == second->nFileIndexLow;
}

void OpenAssociated(const ByteString& document) {
    ShellExecuteA(GetDesktopWindow(), "open", document.c_str(), nullptr, nullptr, SW_SHOW);
}

void RunProgram(HWND owner, const ByteString& program, const ByteString& parameters,
                const ByteString& directory) {
    ShellExecuteA(owner, nullptr, program.c_str(), parameters.c_str(), directory.c_str(),
                  SW_SHOWNORMAL);
}

std::tm LocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::tm local{};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_wday = now.wDayOfWeek;
    return local;
}

} // namespace pdf_files
