// Shell starts on ShellExecuteA.
#include "base/win/shell_win.h"

#include <shellapi.h>

namespace win {

void OpenAssociated(const ByteString& target) {
    ShellExecuteA(GetDesktopWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

void RunProgram(HWND owner, const ByteString& program, const ByteString& parameters,
                const ByteString& directory) {
    ShellExecuteA(owner, nullptr, program.c_str(), parameters.c_str(), directory.c_str(),
                  SW_SHOWNORMAL);
}

} // namespace win
