// A console tool for scripts/screenshots.sh: finds the running converter's settings window,
// prints where it is, switches its tab pages as a user's tab click would, and closes it;
// finds a job-mode converter's progress window and the notification area's notice.
//   settings_window_driver rect     -> "left top width height" of the window
//   settings_window_driver page N   -> shows tab page N (0, 1, 2)
//   settings_window_driver close    -> closes the window
//   settings_window_driver progress -> the same four numbers of the first visible progress window
//   settings_window_driver notice   -> those of Wine's tray window and its balloon together
#include "converter/app/settings_layout.h"
#include "tests/support/window_driver_win.h"

#include <commctrl.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
HWND MainWindow() {
    return testing_support::WaitForTopLevel(app::kMainWindowClass, app::kApplicationTitle);
}

HWND TabControl(HWND main) {
    for (HWND child : testing_support::Descendants(main, "SysTabControl32")) {
        if (GetDlgCtrlID(child) == app::PageControl1)
            return child;
    }
    return nullptr;
}

// Selects the tab as a click on it would: TCM_SETCURFOCUS on a tab control (not a button
// bar) moves the selection and sends TCN_SELCHANGING and TCN_SELCHANGE to the window, from
// inside the converter's process (a WM_NOTIFY sent from here would not carry its data).
bool SelectPage(HWND main, int index) {
    HWND tabs = TabControl(main);
    if (!tabs)
        return false;
    SendMessageA(tabs, TCM_SETCURFOCUS, WPARAM(index), 0);
    return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == index;
}
// The first visible top-level window of the class with the style bits, polled for 60 s.
HWND WaitForVisible(const char* className, LONG_PTR styleBits = 0) {
    for (int round = 0; round < 600; ++round) {
        for (HWND window : testing_support::TopLevelWindows(className, nullptr)) {
            if (IsWindowVisible(window) &&
                (GetWindowLongPtrA(window, GWL_STYLE) & styleBits) == styleBits)
                return window;
        }
        Sleep(100);
    }
    return nullptr;
}

int PrintRect(RECT r) {
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "progress") == 0) {
        HWND window = WaitForVisible(app::kProgressWindowClass);
        if (!window)
            return 1;
        RECT r{};
        GetWindowRect(window, &r);
        return PrintRect(r);
    }
    if (argc >= 2 && std::strcmp(argv[1], "notice") == 0) {
        HWND tray = WaitForVisible("__winex11_standalone_tray");
        HWND balloon = WaitForVisible(TOOLTIPS_CLASSA, TTS_BALLOON);
        if (!tray || !balloon)
            return 1;
        RECT a{}, b{}, both{};
        GetWindowRect(tray, &a);
        GetWindowRect(balloon, &b);
        UnionRect(&both, &a, &b);
        return PrintRect(both);
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: settings_window_driver rect | page N | close | progress | notice\n");
        return 2;
    }
    HWND main = MainWindow();
    if (!main) {
        std::fprintf(stderr, "no settings window\n");
        return 1;
    }
    if (std::strcmp(argv[1], "rect") == 0) {
        RECT r{};
        GetWindowRect(main, &r);
        return PrintRect(r);
    }
    if (std::strcmp(argv[1], "page") == 0 && argc > 2)
        return SelectPage(main, std::atoi(argv[2])) ? 0 : 1;
    if (std::strcmp(argv[1], "close") == 0) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }
    std::fprintf(stderr, "unknown command %s\n", argv[1]);
    return 2;
}
