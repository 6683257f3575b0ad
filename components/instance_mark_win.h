// The Windows calls of the single-instance guard: the named mutex that marks a running
// instance, the walk over top-level windows, and the foreground request.
#pragma once

#include "base/bytes.h"
#include "base/win/handles_win.h"

#include <windows.h>

#include <functional>

namespace components {

// OpenMutexA with full access, not inheritable; empty when the name is not open anywhere
// (or cannot be opened).
win::UniqueHandle OpenNamedMutex(const ByteString& name);

// CreateMutexA with no security attributes and no initial owner, and the error code the
// call left (ERROR_ALREADY_EXISTS when the name was taken in the meantime).
struct CreatedMutex {
    win::UniqueHandle handle;
    DWORD lastError;
};
CreatedMutex CreateNamedMutex(const ByteString& name);

// Leaves the mutex as it is when this process never owned it, as the guard never does.
void ReleaseNamedMutex(HANDLE mutex);

// Calls visit for each top-level window in the system's order until it returns false.
void ForEachTopLevelWindow(const std::function<bool(HWND)>& visit);

// Class name and text of a window, read into an 80-byte buffer with 79 as its size, so at
// most 78 characters: longer names and texts come back cut short.
ByteString ShortClassName(HWND window);
ByteString ShortWindowText(HWND window);

void BringToForeground(HWND window);

} // namespace components
