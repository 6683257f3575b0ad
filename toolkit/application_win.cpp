// The application object on the Windows API: hidden window, message loop, error box.
#include "toolkit/application_win.h"

#include "base/errors.h"
#include "toolkit/form_win.h"
#include "toolkit/window_class_win.h"

#include <string>

TApplication Application;

namespace {

LRESULT CALLBACK ApplicationWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The show state the process was started with (what its starter asked for).
int StartupShowCommand() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
}
} // namespace

TApplication::~TApplication() {
    Done();
}

void TApplication::Initialize() {
    if (handle_)
        return;
    toolkit::EnsureWindowClass(toolkit::kApplicationWindowClass, ApplicationWindowProcedure);
    // Never shown: it marks the running program (class and title) for other instances.
    handle_ = CreateWindowExA(0, toolkit::kApplicationWindowClass, title_.c_str(), WS_POPUP, 0, 0,
                              0, 0, nullptr, nullptr, toolkit::Instance(), nullptr);
    if (!handle_)
        throw Exception("CreateWindow TApplication: error " + std::to_string(GetLastError()));
}

void TApplication::SetTitle(const ByteString& title) {
    title_ = title;
    if (handle_)
        SetWindowTextA(handle_, title_.c_str());
}

void TApplication::SetExStyle(DWORD exStyle) {
    SetWindowLongPtrA(handle_, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
}

void TApplication::FormLoaded(TForm& form) {
    if (!mainForm_)
        mainForm_ = &form;
    form.Loaded();
}

void TApplication::Run() {
    if (mainForm_) {
        switch (mainForm_->StartupShowState(StartupShowCommand())) {
        case SW_SHOWMINNOACTIVE:
            Minimize();
            break;
        case SW_SHOWMAXIMIZED:
            ShowWindow(mainForm_->Handle(), SW_SHOWMAXIMIZED);
            break;
        default:
            ShowWindow(mainForm_->Handle(), SW_SHOWNORMAL);
            break;
        }
    }
    while (!terminated_) {
        MSG message;
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            terminated_ = true;
            break;
        }
        Dispatch(message);
    }
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

bool TApplication::ProcessMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (message.message == WM_QUIT)
        terminated_ = true;
    else
        Dispatch(message);
    return true;
}

void TApplication::Dispatch(MSG& message) {
    // Keyboard navigation between the main form's controls (Tab, arrows, mnemonics).
    if (mainForm_ && mainForm_->Handle() && IsDialogMessageA(mainForm_->Handle(), &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::Minimize() {
    if (mainForm_)
        ShowWindow(mainForm_->Handle(), SW_SHOWMINNOACTIVE);
}

void TApplication::HandleException(std::exception_ptr error) {
    ByteString message;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown exception";
    }
    HWND owner = mainForm_ && mainForm_->Handle() ? mainForm_->Handle() : handle_;
    MessageBoxA(owner, MessageForDisplay(message).c_str(), title_.c_str(), MB_ICONERROR | MB_OK);
}

void TApplication::Done() {
    mainForm_ = nullptr;
    DestroyComponents();
    if (handle_) {
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}
