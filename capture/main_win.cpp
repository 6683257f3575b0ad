// Spoolwick.exe: the capture program that the redirected printer port starts once per
// print job. No window; the exit code (see CaptureExit) is all it reports.
#include "base/win/dll_search_win.h"
#include "capture/capture_job.h"

#include <windows.h>

#include <mbctype.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // First of all: no DLL from beside the program, and the C runtime's multibyte calls
    // take each double-byte character as one unit.
    win::RestrictDllSearchToSystemFolder();
    _setmbcp(_MB_CP_ANSI);
    return capture::CaptureJob();
}
