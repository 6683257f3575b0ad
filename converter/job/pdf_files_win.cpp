// Files of the conversion run on the Windows API.
#include "converter/job/pdf_files_win.h"

#include "base/win/handles_win.h"
#include "base/win/local_time_win.h"
#include "converter/job/pdf_check.h"
#include "handoff/contract.h"
#include "handoff/kept_names.h"

#include <algorithm>

namespace job {

void DeleteQuietly(const ByteString& path) {
    DeleteFileA(path.c_str());
}

std::optional<ByteString> ReservePrivatePdf(const ByteString& folderPrefix) {
    const std::tm now = win::LocalTimeNow();
    const handoff::Stamp stamp{now.tm_year + 1900, now.tm_mon + 1, now.tm_mday,
                               now.tm_hour,        now.tm_min,     now.tm_sec};
    char stem[64];
    for (unsigned n = 1; n <= 10000; ++n) {
        if (!handoff::FormatKeptStem(handoff::kPrivatePdfPrefix, stamp, n, stem, sizeof stem))
            return std::nullopt;
        const ByteString path = folderPrefix + stem + handoff::kPdfExtension;
        win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return path;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
}

namespace {
ByteString ReadAt(HANDLE file, LONGLONG offset, size_t count) {
    ByteString bytes(count, '\0');
    LARGE_INTEGER position{};
    position.QuadPart = offset;
    DWORD got = 0;
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ||
        !ReadFile(file, bytes.data(), DWORD(count), &got, nullptr))
        return ByteString();
    bytes.resize(got);
    return bytes;
}

// The first headCount and last tailCount bytes; nothing when the file cannot be read.
std::optional<HeadAndTail> ReadEnds(const ByteString& path, size_t headCount, size_t tailCount) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        return std::nullopt;
    const size_t tailSize = size_t(std::min<LONGLONG>(size.QuadPart, LONGLONG(tailCount)));
    return HeadAndTail{ReadAt(file.get(), 0, headCount),
                       ReadAt(file.get(), size.QuadPart - LONGLONG(tailSize), tailSize)};
}
} // namespace

bool IsCompletePdfFile(const ByteString& path) {
    const auto ends = ReadEnds(path, kPdfHeadBytes, kPdfTailBytes);
    return ends && IsCompletePdf(ends->head, ends->tail);
}

HeadAndTail ReadHeadAndTail(const ByteString& path, size_t count) {
    return ReadEnds(path, count, count).value_or(HeadAndTail{});
}

unsigned long long CurrentFileSize(const ByteString& path) {
    // No access rights asked, every sharing allowed: Ghostscript keeps writing undisturbed.
    win::UniqueFile file(CreateFileA(path.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        return 0;
    return static_cast<unsigned long long>(size.QuadPart);
}

unsigned long MoveInOneStep(const ByteString& from, const ByteString& to, bool replaceExisting) {
    const DWORD flags = MOVEFILE_COPY_ALLOWED | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExA(from.c_str(), to.c_str(), flags))
        return 0;
    const DWORD code = GetLastError();
    return code != 0 ? code : ERROR_GEN_FAILURE;
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
