// The form base: a top-level window with owned components and the creation, activation
// and close events; window messages reach the derived form through HandleMessage.
#pragma once

#include "base/bytes.h"
#include "toolkit/component_win.h"

#include <windows.h>

// How a form's window is made.
struct FormStyle {
    const char* className;
    const char* caption;
    int left = 0;
    int top = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int iconId = 0; // icon resource of the executable; 0: none
};

class TForm : public TComponent {
  public:
    TForm(TComponent* owner, const FormStyle& style);
    ~TForm() override;

    HWND Handle() const { return handle_; }
    HWND WindowHandle() override { return handle_; }

    // Runs the close handler; unless it throws, the application is asked to quit (for the
    // main form). The window stays; an exception from the handler is shown and the form
    // stays open.
    void Close();

    int Top() const;
    int Left() const;
    void SetTop(int top);
    void SetLeft(int left);
    void SetWidth(int width);
    void SetHeight(int height);

    // Neither minimised nor maximised.
    bool IsNormalState() const;

    // No frame, caption or taskbar button of its own.
    void SetBorderStyleNone();

    // The show state the form takes when the application starts with this one
    // (SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE, ...).
    virtual int StartupShowState(int requested) const { return requested; }

  protected:
    virtual void FormCreate() {}
    // Runs when the form becomes active coming from outside the program (the first
    // showing, or a switch back from another application); not when one of the program's
    // own windows (a message box, a common dialog) hands activation back, and never while
    // an earlier activation handler is still running.
    virtual void FormActivate() {}
    virtual void FormClose() {}

    // A window message for the derived form; true when handled (result set).
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        (void)message, (void)wParam, (void)lParam, (void)result;
        return false;
    }

  private:
    friend class TApplication;
    // After-load of every component, then the creation handler (shown when it throws).
    void Loaded();

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void OnActivate(WPARAM wParam, HWND previous);
    void SetBounds(int left, int top, int width, int height);
    RECT WindowRect() const;

    HWND handle_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool activating_ = false;
};
