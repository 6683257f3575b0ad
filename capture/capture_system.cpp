// The capture program's platform calls on the Windows API and the C runtime.
#include "capture/capture_system.h"

#include <fcntl.h>
#include <io.h>

#include <cstdlib>

namespace capture {

bool ModuleDirectoryPrefix(PathText& prefix) {
    char modulePath[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    // The directory is part of the module path, so a buffer of the path's size always holds
    // it (a _MAX_DIR buffer would not, for a long path without a drive).
    char drive[_MAX_DRIVE];
    char directory[MAX_PATH];
    _splitpath(modulePath, drive, directory, nullptr, nullptr);
    return prefix.Append(drive) && prefix.Append(directory);
}

void DeleteFileIfAny(const char* path) {
    DeleteFileA(path);
}

UniqueStream CreateForWriting(const char* path) {
    return UniqueStream(std::fopen(path, "wb"));
}

void SwitchStandardInputToBinary() {
    _setmode(_fileno(stdin), _O_BINARY);
}

size_t ReadStandardInput(char* buffer, size_t size) {
    return std::fread(buffer, 1, size, stdin);
}

size_t ReadDocumentName(char* name, size_t capacity) {
    // The wide call and the conversion are what the ANSI call does inside Windows; Wine's
    // ANSI call cuts double-byte values short. Both buffers hold the longest value the
    // environment allows, so the value is never dropped for its length, only cut below.
    constexpr DWORD kMaxValue = 32767;
    wchar_t wide[kMaxValue];
    char narrow[2 * kMaxValue];
    name[0] = '\0';
    const DWORD wideLength = GetEnvironmentVariableW(L"REDMON_DOCNAME", wide, kMaxValue);
    if (wideLength == 0 || wideLength >= kMaxValue)
        return 0;
    const int narrowLength = WideCharToMultiByte(CP_ACP, 0, wide, int(wideLength), narrow,
                                                 int(sizeof narrow), nullptr, nullptr);
    if (narrowLength <= 0)
        return 0;
    const size_t kept = CharBoundaryWithin(narrow, size_t(narrowLength), capacity - 1);
    std::memcpy(name, narrow, kept);
    name[kept] = '\0';
    return kept;
}

bool StartProgram(const char* commandLine) {
    // WinExec reports success with a value above 31.
    return WinExec(commandLine, SW_SHOWNORMAL) > 31;
}

} // namespace capture
