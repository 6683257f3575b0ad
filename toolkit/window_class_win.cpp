// Window class registration on the Windows API.
#include "toolkit/window_class_win.h"

#include "base/errors.h"

#include <string>

namespace toolkit {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

void EnsureWindowClass(const char* className, WNDPROC procedure, HICON icon) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(Instance(), className, &existing))
        return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Instance();
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass))
        throw Exception("RegisterClass " + ByteString(className) + ": error " +
                        std::to_string(GetLastError()));
}

} // namespace toolkit
