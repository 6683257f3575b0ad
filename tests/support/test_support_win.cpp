// Shared helpers of the Windows-bound tests.
#include "tests/support/test_support_win.h"

#include "base/win/files_win.h"
#include "base/win/handles_win.h"
#include "base/win/text_win.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir(const ByteString& nameHint) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%lu_%u", nameHint.c_str(), GetCurrentProcessId(),
                      counter++);
        path_ = ByteString(base) + name;
        if (CreateDirectoryA(path_.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + path_);
    }
}

TempDir::~TempDir() {
    RemoveTree(path_);
}

UsersDataFolder::UsersDataFolder()
    : path_(win::EnvironmentVariable("LOCALAPPDATA").value_or("") + "\\Vellumcast"),
      aside_(path_ + ".before-test") {
    MoveFileA(path_.c_str(), aside_.c_str());
}

UsersDataFolder::~UsersDataFolder() {
    RemoveTree(path_);
    DeleteFileA(path_.c_str()); // a file a test put in the folder's place
    MoveFileA(aside_.c_str(), path_.c_str());
}

void WriteFileBytes(const ByteString& path, const ByteString& bytes) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

ByteString ReadFileBytes(const ByteString& path) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot read " + path);
    ByteString bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

bool Exists(const ByteString& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeDirectory(const ByteString& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create " + path);
}

std::vector<ByteString> ListDirectory(const ByteString& path) {
    std::vector<ByteString> names;
    WIN32_FIND_DATAA data;
    win::UniqueFind find(FindFirstFileA((path + "\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        const ByteString name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find.get(), &data));
    return names;
}

void RemoveTree(const ByteString& path) {
    for (const ByteString& name : ListDirectory(path)) {
        const ByteString child = path + "\\" + name;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        const DWORD attributes = GetFileAttributesA(child.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(child);
        else
            DeleteFileA(child.c_str());
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

ByteString BuildFile(const ByteString& relativePath) {
    const char* dir = std::getenv("VELLUMCAST_BUILD_DIR");
    if (!dir)
        throw std::runtime_error("VELLUMCAST_BUILD_DIR is not set (run the tests through ctest)");
    ByteString path = dir;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    path += "\\" + relativePath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

namespace {
// A function that only Wine exports, as the type it really has (through void(*)(), the
// one cast the compiler accepts between unrelated function types); null elsewhere.
template <typename F> F WineExport(const char* module, const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(module), name)));
}
} // namespace

ByteString UnixPathOf(const ByteString& windowsPath) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = WineExport<ToUnix>("kernel32.dll", "wine_get_unix_file_name");
    if (!toUnix)
        return ByteString();
    char* unix = toUnix(win::WideFromAnsi(windowsPath).c_str());
    if (!unix)
        return ByteString();
    ByteString result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

int RunHostProgram(std::vector<std::string> args) {
    using UnixSpawn = int(WINAPI*)(char* const argv[], int wait);
    const auto spawn = WineExport<UnixSpawn>("ntdll.dll", "__wine_unix_spawnvp");
    if (!spawn)
        return -1;
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), 1);
}

int RunProcess(const ByteString& commandLine, const ByteString& currentDirectory, DWORD timeoutMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ByteString mutableLine = commandLine;
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup,
                        &info))
        return -1;
    win::UniqueProcess process(info);
    if (WaitForSingleObject(process.process.get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.process.get(), 255);
        return -2;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.process.get(), &code);
    return int(code);
}

std::vector<ByteString> PlatformCommandLineArguments(const ByteString& commandLine) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(win::WideFromAnsi(commandLine).c_str(), &count);
    std::vector<ByteString> pieces;
    for (int i = 0; i < count; ++i)
        pieces.push_back(win::AnsiFromWide(argv[i], std::wcslen(argv[i])));
    LocalFree(argv);
    return pieces;
}

} // namespace testing_support
