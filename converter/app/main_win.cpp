// Vellumcast.exe: the application object, the main window, the message loop.
#include "base/win/dll_search_win.h"
#include "converter/app/settings_layout.h"
#include "converter/app/unit1_win.h"
#include "toolkit/application_win.h"
#include "toolkit/controls_win.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // First of all: no DLL from beside the program (common controls, the shell and the
    // dialogs load theirs by name).
    win::RestrictDllSearchToSystemFolder();
    try {
        toolkit::InitializeCommonControls();
        Application.Initialize();
        Application.SetTitle(app::kApplicationTitle);
        Application.CreateForm<TForm1>();
        Application.Run();
    } catch (...) {
        Application.HandleException(std::current_exception());
    }
    Application.Done();
    return 0;
}
