// The guard's Windows calls: named mutex, top-level window walk, quit and foreground.
#include "components/instance_mark_win.h"

namespace components {

namespace {
constexpr int kNameBufferBytes = 80;
constexpr int kNameBufferSize = 79; // what the calls are told: at most 78 characters

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM parameter) {
    const auto& visit = *reinterpret_cast<const std::function<bool(HWND)>*>(parameter);
    return visit(window) ? TRUE : FALSE;
}
} // namespace

win::UniqueHandle OpenNamedMutex(const ByteString& name) {
    return win::UniqueHandle(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()));
}

CreatedMutex CreateNamedMutex(const ByteString& name) {
    HANDLE handle = CreateMutexA(nullptr, FALSE, name.c_str());
    const DWORD lastError = GetLastError();
    return CreatedMutex{win::UniqueHandle(handle), lastError};
}

void ReleaseNamedMutex(HANDLE mutex) {
    ReleaseMutex(mutex);
}

void ForEachTopLevelWindow(const std::function<bool(HWND)>& visit) {
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&visit));
}

ByteString ShortClassName(HWND window) {
    char buffer[kNameBufferBytes] = {};
    GetClassNameA(window, buffer, kNameBufferSize);
    return buffer;
}

ByteString ShortWindowText(HWND window) {
    char buffer[kNameBufferBytes] = {};
    GetWindowTextA(window, buffer, kNameBufferSize);
    return buffer;
}

void BringToForeground(HWND window) {
    SetForegroundWindow(window);
}

} // namespace components
