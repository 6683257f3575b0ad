// The progress window on the Windows API: created at the first tick (a job that ends within
// the delay has no window at all), shown without activation, its figures read from the file
// Ghostscript writes.
#include "converter/app/progress_window_win.h"

#include "converter/app/resources.h"
#include "converter/app/settings_layout.h"
#include "converter/job/pdf_files_win.h"
#include "converter/job/progress.h"
#include "toolkit/window_class_win.h"

#include <algorithm>
#include <string>

namespace app {

namespace {

constexpr char kFontFace[] = "ＭＳ Ｐゴシック";
constexpr int kClientWidth = 300;
constexpr int kClientHeight = 104;
constexpr int kGap = 8; // between stacked windows and from the work area's edge
// Converters that find every place taken share the last one.
constexpr int kStackPlaces = 24;

struct LineSpec {
    ProgressControlId id;
    toolkit::Bounds bounds;
    bool heading;
};
// clang-format off
constexpr LineSpec kLines[] = {
    {ProgressHeading, {12, 8, 276, 16}, true},
    {ProgressDocument, {12, 30, 276, 14}, false},
    {ProgressFigures, {12, 50, 276, 14}, false},
    {ProgressElapsed, {12, 76, 180, 14}, false},
};
// clang-format on
constexpr toolkit::Bounds kCancelBounds{212, 70, 76, 26};

// The first free place of the stack (0 is the lowest), held by a named object of this
// session for as long as the window lives; the object goes with the process, whatever
// way it ends.
int TakeStackPlace(win::UniqueHandle& holder) {
    for (int place = 0; place < kStackPlaces; ++place) {
        const ByteString name = "Local\\VellumcastProgressPlace" + std::to_string(place);
        win::UniqueHandle object(CreateMutexA(nullptr, FALSE, name.c_str()));
        if (object && GetLastError() != ERROR_ALREADY_EXISTS) {
            holder = std::move(object);
            return place;
        }
    }
    return kStackPlaces - 1;
}

} // namespace

ProgressWindow::ProgressWindow(HWND timerOwner, UINT_PTR timerId, job::ConversionProgress progress)
    : timerOwner_(timerOwner), timerId_(timerId), progress_(std::move(progress)),
      startMs_(GetTickCount64()) {
    SetTimer(timerOwner_, timerId_, kProgressDelayMs, nullptr);
}

ProgressWindow::~ProgressWindow() {
    KillTimer(timerOwner_, timerId_);
    if (window_)
        DestroyWindow(window_);
}

void ProgressWindow::Tick() {
    if (!tried_) {
        tried_ = true;
        SetTimer(timerOwner_, timerId_, kProgressUpdateMs, nullptr);
        try {
            Create();
        } catch (...) {
            // No window class: the conversion goes on without its window.
        }
    }
    if (!window_)
        return;
    const uint64_t elapsedMs = GetTickCount64() - startMs_;
    SetText(ProgressFigures,
            job::ProgressText(job::CurrentFileSize(progress_.pdfPath), progress_.announcedPages));
    SetText(ProgressElapsed, job::ElapsedText(elapsedMs / 1000));
}

void ProgressWindow::Create() {
    toolkit::EnsureWindowClass(kProgressWindowClass, &ProgressWindow::WindowProc,
                               LoadIconA(toolkit::Instance(), MAKEINTRESOURCEA(kMainIconId)));
    // Topmost so that the program printed from does not cover it; never activated, no
    // taskbar button.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int fit = std::max(1, int((work.bottom - work.top - kGap) / (height + kGap)));
    const int place = TakeStackPlace(slot_) % fit;
    const int left = work.right - kGap - width;
    const int top = work.bottom - (place + 1) * (height + kGap);

    window_ = CreateWindowExA(exStyle, kProgressWindowClass, kApplicationTitle, style, left, top,
                              width, height, nullptr, nullptr, toolkit::Instance(), this);
    if (!window_)
        return; // the conversion goes on without its window
    font_ = toolkit::CreateFontFrom({kFontFace, 12});
    headingFont_ = toolkit::CreateFontFrom({kFontFace, 14, true});
    for (const LineSpec& line : kLines) {
        const HWND label = CreateWindowExA(
            0, "Static", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
            line.bounds.left, line.bounds.top, line.bounds.width, line.bounds.height, window_,
            reinterpret_cast<HMENU>(INT_PTR(line.id)), toolkit::Instance(), nullptr);
        SendMessageA(label, WM_SETFONT,
                     reinterpret_cast<WPARAM>(toolkit::AsFont(line.heading ? headingFont_ : font_)),
                     FALSE);
    }
    const HWND cancel = CreateWindowExA(
        0, "Button", "中止", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kCancelBounds.left,
        kCancelBounds.top, kCancelBounds.width, kCancelBounds.height, window_,
        reinterpret_cast<HMENU>(INT_PTR(ProgressCancel)), toolkit::Instance(), nullptr);
    SendMessageA(cancel, WM_SETFONT, reinterpret_cast<WPARAM>(toolkit::AsFont(font_)), FALSE);
    SetText(ProgressHeading, "PDF を作成しています");
    SetText(ProgressDocument,
            progress_.docName.empty() ? ByteString("(文書名なし)") : progress_.docName);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void ProgressWindow::SetText(int id, const ByteString& text) {
    const HWND control = GetDlgItem(window_, id);
    // Unchanged texts are not set again: no flicker, no repainting for nothing.
    char current[512];
    const int length = GetWindowTextA(control, current, sizeof current);
    if (ByteString(current, size_t(std::max(length, 0))) != text)
        toolkit::SetWindowText(control, text);
}

LRESULT CALLBACK ProgressWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // a click on 「中止」 leaves the focus where it is
    case WM_COMMAND:
        if (self && LOWORD(wParam) == ProgressCancel && HIWORD(wParam) == BN_CLICKED) {
            self->cancelled_ = true;
            EnableWindow(reinterpret_cast<HWND>(lParam), FALSE);
            self->SetText(ProgressHeading, "PDF の作成を中止しています");
        }
        return 0;
    case WM_CLOSE:
        return 0; // only the conversion's end closes it
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace app
