// A stand-in program for the tests of after-actions: records the command line it was
// started with and its current directory (ANSI bytes, one per line) into the file that the
// variable VELLUMCAST_RECORD_ARGS names. The record appears whole or not at all.
#include <windows.h>

#include <string>
#include <vector>

namespace {
std::wstring Variable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> value(size);
    GetEnvironmentVariableW(name, value.data(), size);
    return value.data();
}

std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    std::vector<char> directory(size + 1);
    GetCurrentDirectoryA(size + 1, directory.data());
    return directory.data();
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::wstring target = Variable(L"VELLUMCAST_RECORD_ARGS");
    if (target.empty())
        return 2;
    const std::string record = std::string(GetCommandLineA()) + "\n" + CurrentDirectory() + "\n";
    const std::wstring partial = target + L".part";
    if (!WriteWhole(partial, record))
        return 1;
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
