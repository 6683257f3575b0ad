// The application object: the hidden application window that carries the title, the
// message loop (also pumped from inside handlers), and the default exception handler.
#pragma once

#include "base/bytes.h"
#include "toolkit/component_win.h"

#include <windows.h>

#include <exception>

class TForm;

namespace toolkit {
// Window class of the hidden application window (its text is the application title); the
// single-instance guard looks for it in other processes.
constexpr char kApplicationWindowClass[] = "TApplication";
} // namespace toolkit

class TApplication : public TComponent {
  public:
    TApplication() : TComponent(nullptr) {}
    ~TApplication() override;

    // Creates the hidden top-level application window: class "TApplication", text = Title().
    void Initialize();
    HWND Handle() const { return handle_; }

    const ByteString& Title() const { return title_; }
    // The application window's text follows at once.
    void SetTitle(const ByteString& title);

    // Replaces the application window's extended style.
    void SetExStyle(DWORD exStyle);

    // Creates a form owned by the application; the first one becomes the main form. The
    // form's components run their after-load step, then its creation handler runs (an
    // exception there is shown and the form still exists). An exception from an
    // after-load step passes on to the caller.
    template <typename T> T& CreateForm() {
        T& form = Own<T>();
        FormLoaded(form);
        return form;
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form in the process's start-up show state, then dispatches messages
    // until the quit message is taken.
    void Run();

    // Dispatches every pending message and returns. A quit message taken here is noted
    // (Terminated) so that Run ends right after, instead of being lost.
    void ProcessMessages();

    // Asks the message loop to end (posts the quit message).
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Shows the main form minimised, without activating it.
    void Minimize();

    // The default handler: a message box with the exception's message (by the "." rule),
    // the title as caption, the error icon and an OK button. Call it inside a catch block
    // with std::current_exception().
    void HandleException(std::exception_ptr error);

    // Destroys the forms (without closing them) and their components, then the
    // application window.
    void Done();

  private:
    void FormLoaded(TForm& form);
    // Takes one message if there is one; false when the queue was empty.
    bool ProcessMessage();
    void Dispatch(MSG& message);

    HWND handle_ = nullptr;
    ByteString title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

// The one application object of the process.
extern TApplication Application;
