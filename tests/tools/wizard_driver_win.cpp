// A console tool for scripts/installer-screenshots.sh: finds the installer's (or the
// uninstaller's) window that takes input now — the wizard, or a message box over it — prints
// where it is and presses its buttons as a user's click would.
//   wizard_driver rect        -> "left top width height" of that window
//   wizard_driver press ID    -> presses its button with that control ID once it is enabled
//                                (1: Next / Install / Finish, 6: Yes in a message box)
//   wizard_driver wait ID     -> only waits until that button is enabled (the installation
//                                is done when Next / Finish is)
#include "tests/support/window_driver_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// NSIS windows are dialogs whose caption begins with the product name.
HWND ActiveWindow() {
    for (int tries = 0; tries < 100; ++tries) {
        for (HWND window : testing_support::TopLevelWindows("#32770", nullptr)) {
            const ByteString text = testing_support::Text(window);
            if (IsWindowVisible(window) && IsWindowEnabled(window) &&
                std::strncmp(text.c_str(), "Vellumcast", 10) == 0)
                return window;
        }
        testing_support::Pause();
    }
    return nullptr;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wizard_driver rect | press ID | wait ID\n");
        return 2;
    }
    HWND window = ActiveWindow();
    if (!window) {
        std::fprintf(stderr, "no Vellumcast window takes input\n");
        return 1;
    }
    if (std::strcmp(argv[1], "rect") == 0) {
        RECT r{};
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    const bool press = std::strcmp(argv[1], "press") == 0;
    if ((press || std::strcmp(argv[1], "wait") == 0) && argc > 2) {
        HWND button = GetDlgItem(window, std::atoi(argv[2]));
        for (int tries = 0; button && !IsWindowEnabled(button) && tries < 600; ++tries)
            testing_support::Pause();
        if (!button || !IsWindowEnabled(button)) {
            std::fprintf(stderr, "no enabled button %s\n", argv[2]);
            return 1;
        }
        if (press)
            testing_support::Click(button);
        return 0;
    }
    std::fprintf(stderr, "unknown command %s\n", argv[1]);
    return 2;
}
