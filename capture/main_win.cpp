// Spoolwick.exe: the capture program that the redirected printer port starts once per
// print job. No window, nothing reported, exit code 0 on every path.
#include "capture/capture_job.h"

#include <windows.h>

#include <mbctype.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // First of all: _splitpath must take each double-byte character as one unit.
    _setmbcp(_MB_CP_ANSI);
    capture::CaptureJob();
    return 0;
}
