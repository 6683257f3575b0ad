// The capture program's platform calls on the Windows API and the C runtime.
#include "capture/capture_system_win.h"

#include "base/win/files_win.h"
#include "handoff/contract.h"

#include <fcntl.h>
#include <io.h>

#include <cstdlib>
#include <cstring>

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
    name[0] = '\0';
    const std::optional<ByteString> value = win::EnvironmentVariable(handoff::kDocNameVariable);
    if (!value)
        return 0;
    const size_t kept = CharBoundaryWithin(value->data(), value->size(), capacity - 1);
    std::memcpy(name, value->data(), kept);
    name[kept] = '\0';
    return kept;
}

bool StartProgram(const char* commandLine) {
    // WinExec reports success with a value above 31.
    return WinExec(commandLine, SW_SHOWNORMAL) > 31;
}

} // namespace capture
