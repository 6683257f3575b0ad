// A window's process on the Windows API.
#include "base/win/window_win.h"

namespace win {

bool BelongsToThisProcess(HWND window) {
    if (!window)
        return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId == GetCurrentProcessId();
}

} // namespace win
