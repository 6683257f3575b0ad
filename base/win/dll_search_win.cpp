// The DLL search restricted through SetDefaultDllDirectories, looked up at run time.
#include "base/win/dll_search_win.h"

#include <windows.h>

namespace win {

void RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // kernel32 is always loaded: GetModuleHandle loads nothing.
    const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (restrict)
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace win
