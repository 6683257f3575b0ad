// A stand-in for Ghostscript's console interpreter, for tests and the demo under Wine:
// built as gswin32c.exe, it turns its Windows path arguments into Unix paths and runs
// the host's /usr/bin/gs, waits for it and exits with its status. A Windows program cannot
// wait on a Unix process that it starts itself, so the bridge does the waiting. Ended
// itself (the converter's time limit ends Ghostscript with TerminateProcess), the bridge
// takes gs with it: gs runs under setpriv with a parent-death signal.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// GetProcAddress's result as the function type it really has (through void(*)(), the
// one cast the compiler accepts between unrelated function types).
template <typename F> F Export(const char* module, const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(module), name)));
}

using UnixSpawn = int(WINAPI*)(char* const argv[], int wait);

std::string ToUtf8(const std::wstring& wide) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), size, nullptr, nullptr);
    text.resize(size - 1);
    return text;
}

bool LooksLikeWindowsPath(const std::wstring& s) {
    return (s.size() > 2 && s[1] == L':' && s[2] == L'\\') || s.rfind(L"\\\\", 0) == 0;
}

std::string UnixPath(const std::wstring& dos) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const auto toUnix = Export<ToUnix>("kernel32.dll", "wine_get_unix_file_name");
    if (!toUnix)
        return ToUtf8(dos);
    char* unix = toUnix(dos.c_str());
    if (!unix)
        return ToUtf8(dos);
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// An argument as the Unix side must see it: Windows paths, also after -sOutputFile=, become
// Unix paths; everything else passes as UTF-8.
std::string Translate(const std::wstring& arg) {
    static const std::wstring kOutput = L"-sOutputFile=";
    if (arg.rfind(kOutput, 0) == 0 && LooksLikeWindowsPath(arg.substr(kOutput.size())))
        return ToUtf8(kOutput) + UnixPath(arg.substr(kOutput.size()));
    if (LooksLikeWindowsPath(arg))
        return UnixPath(arg);
    return ToUtf8(arg);
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    const auto spawn = Export<UnixSpawn>("ntdll.dll", "__wine_unix_spawnvp");
    if (!spawn) {
        std::fputs("gswin32c bridge: not running under Wine\n", stderr);
        return 127;
    }
    std::vector<std::string> args{"/usr/bin/setpriv", "--pdeathsig", "KILL", "/usr/bin/gs", "-q"};
    for (int i = 1; i < argc; ++i)
        args.push_back(Translate(argv[i]));
    std::vector<char*> unixArgv;
    for (std::string& arg : args)
        unixArgv.push_back(arg.data());
    unixArgv.push_back(nullptr);
    return spawn(unixArgv.data(), 1);
}
