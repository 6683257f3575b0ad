// Shell starts: a document, web page or mail address with its associated application, and
// a program's default action. Results are not examined: the shell shows its own errors.
#pragma once

#include "base/bytes.h"

#include <windows.h>

namespace win {

// "open" with the desktop window as owner, SW_SHOW.
void OpenAssociated(const ByteString& target);

// program's default action with parameters, started in directory, SW_SHOWNORMAL.
void RunProgram(HWND owner, const ByteString& program, const ByteString& parameters,
                const ByteString& directory);

} // namespace win
