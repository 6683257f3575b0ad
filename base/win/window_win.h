// Which process a window belongs to: the toolkit's activation rule and the single-instance
// guard's search both ask.
#pragma once

#include <windows.h>

namespace win {

// False for no window.
bool BelongsToThisProcess(HWND window);

} // namespace win
