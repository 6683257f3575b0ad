// File tests, module path and environment on the Windows API.
#include "base/win/files_win.h"

#include "base/win/handles_win.h"

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
    const int nameLength = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    std::vector<wchar_t> wideName(nameLength);
    MultiByteToWideChar(CP_ACP, 0, name, -1, wideName.data(), nameLength);

    const DWORD size = GetEnvironmentVariableW(wideName.data(), nullptr, 0);
    if (size == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                        : std::optional<ByteString>(ByteString());
    std::vector<wchar_t> wide(size);
    const DWORD length = GetEnvironmentVariableW(wideName.data(), wide.data(), size);
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(length), nullptr, 0, nullptr, nullptr);
    ByteString value(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(length), value.data(), bytes, nullptr, nullptr);
    return value;
}

ByteString SystemErrorText(unsigned long code) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    return text;
}

} // namespace win
