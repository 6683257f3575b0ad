// Files of the conversion run on the Windows API.
#include "converter/job/pdf_files_win.h"

#include "base/win/handles_win.h"

#include <optional>

namespace job {

void DeleteQuietly(const ByteString& path) {
    DeleteFileA(path.c_str());
}

void MoveQuietly(const ByteString& from, const ByteString& to) {
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

} // namespace job
