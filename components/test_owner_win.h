// A minimal owner for the components under test: a TComponent with a real window, whose
// Load() runs the owned components' after-load step as a loaded form would.
#pragma once

#include "toolkit/component_win.h"

#include <windows.h>

namespace components {

class TestOwner : public TComponent {
  public:
    explicit TestOwner(bool visible = false)
        : TComponent(nullptr),
          window_(CreateWindowA("STATIC", "component owner",
                                WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 40, 40, 320, 200,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~TestOwner() override {
        DestroyComponents();
        DestroyWindow(window_);
    }

    HWND WindowHandle() override { return window_; }
    void Load() { AfterLoadComponents(); }
    // Destroys the owned components now, as the application does at exit.
    void Unload() { DestroyComponents(); }

  private:
    HWND window_;
};

} // namespace components
