// File tests, module path and environment on the Windows API.
#include "base/win/files_win.h"

#include "base/win/handles_win.h"
#include "base/win/text_win.h"

#include <vector>

namespace win {

std::optional<WIN32_FIND_DATAA> FindEntry(const ByteString& path) {
    if (path.find_first_of("*?") != ByteString::npos)
        return std::nullopt;
    WIN32_FIND_DATAA entry;
    const UniqueFind search(FindFirstFileA(path.c_str(), &entry));
    if (!search)
        return std::nullopt;
    return entry;
}

bool FileExists(const ByteString& path) {
    // Through a search, so that a file another process holds open without sharing counts.
    if (path.empty())
        return false;
    const auto entry = FindEntry(path);
    return entry && !(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const ByteString& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ByteString ModuleFileName() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length < buffer.size())
            return ByteString(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<ByteString> EnvironmentVariable(const char* name) {
    const std::wstring wideName = WideFromAnsi(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                        : std::optional<ByteString>(ByteString());
    std::vector<wchar_t> wide(size);
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), wide.data(), size);
    return AnsiFromWide(wide.data(), length);
}

ByteString SystemErrorText(unsigned long code) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    return text;
}

} // namespace win
