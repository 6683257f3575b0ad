// Vellumcast.exe: the application object, the main window, the message loop.
#include "converter/app/unit1.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        toolkit::InitializeCommonControls();
        Application.Initialize();
        Application.SetTitle("Tamberlyn");
        Application.CreateForm<TForm1>();
        Application.Run();
    } catch (...) {
        Application.HandleException(std::current_exception());
    }
    Application.Done();
    return 0;
}
