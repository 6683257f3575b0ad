// Test tool hold_module.exe: loads the DLL named by its argument, as the spooler holds a
// port monitor, says "loaded" on standard output and keeps it loaded until its standard
// input ends. Exit code 1 when the DLL cannot be loaded.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: hold_module.exe <DLL path>\n", stderr);
        return 2;
    }
    const HMODULE module = LoadLibraryW(argv[1]);
    if (!module) {
        std::fprintf(stderr, "hold_module: LoadLibrary failed: Windows error %lu\n",
                     GetLastError());
        return 1;
    }
    std::puts("loaded");
    std::fflush(stdout);
    char next;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &next, 1, &read, nullptr) && read > 0) {
    }
    FreeLibrary(module);
    return 0;
}
