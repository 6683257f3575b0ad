// The progress window of a conversion in job mode: a small window that appears when
// Ghostscript has run for about a second, says which document is being made and how far it
// is, and offers 「中止」. It never takes the keyboard focus; windows of several converters
// stack above each other in the corner of the work area.
#pragma once

#include "base/win/handles_win.h"
#include "converter/job/conversion.h"
#include "toolkit/controls_win.h"

#include <windows.h>

#include <cstdint>

namespace app {

// How long a conversion runs before its window appears, and how often the window is
// brought up to date.
constexpr UINT kProgressDelayMs = 1000;
constexpr UINT kProgressUpdateMs = 500;

class ProgressWindow {
  public:
    // Starts the clock: timerOwner receives WM_TIMER with timerId and passes it to Tick.
    ProgressWindow(HWND timerOwner, UINT_PTR timerId, job::ConversionProgress progress);
    ~ProgressWindow(); // the window goes, its place in the stack is free again
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // The first tick shows the window; every tick brings its figures up to date.
    void Tick();
    bool CancelRequested() const { return cancelled_; }
    HWND Handle() const { return window_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Create();
    void SetText(int id, const ByteString& text);

    HWND timerOwner_;
    UINT_PTR timerId_;
    job::ConversionProgress progress_;
    uint64_t startMs_;
    HWND window_ = nullptr;
    win::UniqueHandle slot_; // the named object that holds this window's place
    toolkit::UniqueGdiObject font_;
    toolkit::UniqueGdiObject headingFont_;
    bool tried_ = false; // the first tick has come (and made the window, unless that failed)
    bool cancelled_ = false;
};

} // namespace app
