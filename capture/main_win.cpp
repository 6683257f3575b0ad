// Spoolwick.exe: the capture program that the redirected printer port starts once per
// print job. No window; the exit code (see CaptureExit) is all it reports.
#include "capture/capture_job.h"

#include <windows.h>

#include <mbctype.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // First of all: _splitpath must take each double-byte character as one unit.
    _setmbcp(_MB_CP_ANSI);
    return capture::CaptureJob();
}
