// The form base on the Windows API: window creation, the message boundary, the events.
#include "toolkit/form_win.h"

#include "base/errors.h"
#include "base/win/handles_win.h"
#include "base/win/window_win.h"
#include "toolkit/application_win.h"
#include "toolkit/window_class_win.h"

#include <string>

TForm::TForm(TComponent* owner, const FormStyle& style) : TComponent(owner) {
    HICON icon =
        style.iconId ? LoadIconA(toolkit::Instance(), MAKEINTRESOURCEA(style.iconId)) : nullptr;
    toolkit::EnsureWindowClass(style.className, WindowProcedure, icon);
    RECT frame{0, 0, style.clientWidth, style.clientHeight};
    AdjustWindowRectEx(&frame, style.style, FALSE, style.exStyle);
    // Owned by the application window, as every form of the program.
    handle_ =
        CreateWindowExA(style.exStyle, style.className, style.caption, style.style, style.left,
                        style.top, frame.right - frame.left, frame.bottom - frame.top,
                        Application.Handle(), nullptr, toolkit::Instance(), this);
    if (!handle_)
        throw Exception("CreateWindow " + ByteString(style.className) + ": error " +
                        std::to_string(GetLastError()));
}

TForm::~TForm() {
    DestroyComponents();
    if (handle_) {
        // Messages of the destruction no longer reach this (half-destroyed) object.
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void TForm::Loaded() {
    AfterLoadComponents();
    try {
        FormCreate();
    } catch (...) {
        Application.HandleException(std::current_exception());
    }
}

LRESULT CALLBACK TForm::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* form = static_cast<TForm*>(create->lpCreateParams);
        form->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);
    // No C++ exception may unwind through the system's frames: report it here.
    try {
        return form->WindowProc(message, wParam, lParam);
    } catch (...) {
        Application.HandleException(std::current_exception());
        return 0;
    }
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (message) {
    case WM_ACTIVATE:
        OnActivate(wParam, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    default:
        if (HandleMessage(message, wParam, lParam, result))
            return result;
        return DefWindowProcA(handle_, message, wParam, lParam);
    }
}

void TForm::OnActivate(WPARAM wParam, HWND previous) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(handle_, focus))
            lastFocus_ = focus;
        return;
    }
    HWND focus = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_
                                                    : GetNextDlgTabItem(handle_, nullptr, FALSE);
    SetFocus(focus ? focus : handle_);
    if (activating_ || win::BelongsToThisProcess(previous))
        return;
    activating_ = true;
    win::ScopeExit done([this] { activating_ = false; });
    FormActivate();
}

void TForm::Close() {
    try {
        FormClose();
    } catch (...) {
        Application.HandleException(std::current_exception());
        return;
    }
    if (Application.MainForm() == this)
        Application.Terminate();
}

RECT TForm::WindowRect() const {
    RECT rect{};
    GetWindowRect(handle_, &rect);
    return rect;
}

int TForm::Top() const {
    return WindowRect().top;
}
int TForm::Left() const {
    return WindowRect().left;
}

void TForm::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetTop(int top) {
    const RECT r = WindowRect();
    SetBounds(r.left, top, r.right - r.left, r.bottom - r.top);
}
void TForm::SetLeft(int left) {
    const RECT r = WindowRect();
    SetBounds(left, r.top, r.right - r.left, r.bottom - r.top);
}
void TForm::SetWidth(int width) {
    const RECT r = WindowRect();
    SetBounds(r.left, r.top, width, r.bottom - r.top);
}
void TForm::SetHeight(int height) {
    const RECT r = WindowRect();
    SetBounds(r.left, r.top, r.right - r.left, height);
}

bool TForm::IsNormalState() const {
    return !IsIconic(handle_) && !IsZoomed(handle_);
}

void TForm::SetBorderStyleNone() {
    const LONG_PTR frame = WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU |
                           WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    SetWindowLongPtrA(handle_, GWL_STYLE, (style & ~frame) | WS_POPUP);
    const LONG_PTR exStyle = GetWindowLongPtrA(handle_, GWL_EXSTYLE);
    SetWindowLongPtrA(handle_, GWL_EXSTYLE,
                      exStyle & ~LONG_PTR(WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE |
                                          WS_EX_CLIENTEDGE));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
