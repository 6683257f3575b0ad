// The capture program's platform calls on the Windows API and the C runtime.
#include "capture/capture_system_win.h"

#include "base/win/files_win.h"
#include "handoff/contract.h"

#include <fcntl.h>
#include <io.h>

#include <cstdlib>
#include <cstring>

namespace capture {

UniqueStream CreateNewForWriting(const char* path) {
    // CREATE_NEW fails on any existing name, a reparse point included, so nothing planted
    // in the file's place is followed.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return UniqueStream();
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(file);
        return UniqueStream();
    }
    std::FILE* stream = _fdopen(descriptor, "wb");
    if (!stream)
        _close(descriptor);
    return UniqueStream(stream);
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
