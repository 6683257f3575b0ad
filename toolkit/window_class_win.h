// Registration of the toolkit's own window classes, once per class name and process.
#pragma once

#include <windows.h>

namespace toolkit {

// Registers the class unless this process already has it; the background is the
// button-face colour. Raises Exception with the system error when registration fails.
void EnsureWindowClass(const char* className, WNDPROC procedure, HICON icon = nullptr);

// The module of the running executable (instance of every window we create).
HINSTANCE Instance();

} // namespace toolkit
