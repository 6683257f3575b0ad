// Runs one conversion through RunConversion and prints what it cost the converter itself:
// its own processor seconds during the run and the run's wall seconds.
// Usage: convert_bench <converter> <job file> <hand-off log> <data folder>
#include "converter/job/conversion.h"

#include "base/errors.h"
#include "converter/app/progress_window_win.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {
double Seconds(const FILETIME& t) {
    return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

double OwnProcessorSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

double WallSeconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

// A window and the application's pump; no dialog (storing is automatic). The progress
// window is the converter's own, so that its timer's cost is in the figures. Like
// Vellumcast.exe in job mode, the host has a shown window of no size and the dialog font
// before the job starts: Wine loads its display driver and the font then, not when the
// progress window appears.
class BenchHost : public job::ConversionHost {
  public:
    BenchHost()
        : window_(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "bench", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)),
          font_(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0,
                            0, "ＭＳ Ｐゴシック")) {
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        if (HDC dc = GetDC(window_)) {
            const HGDIOBJ old = SelectObject(dc, font_);
            SIZE size{};
            GetTextExtentPoint32A(dc, "PDF", 3, &size);
            SelectObject(dc, old);
            ReleaseDC(window_, dc);
        }
    }
    ~BenchHost() override {
        DestroyWindow(window_);
        DeleteObject(font_);
    }
    HWND OwnerWindow() const override { return window_; }
    void ProcessMessages() override {
        ++rounds;
        const double roundStart = WallSeconds();
        const struct Longest {
            double& longest;
            double start;
            ~Longest() { longest = std::max(longest, WallSeconds() - start); }
        } measure{longestRound, roundStart};
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == window_ && progress_)
                progress_->Tick();
            else if (msg.message != WM_QUIT)
                DispatchMessageA(&msg);
        }
    }
    job::SaveChoice ChooseSavePath(const ByteString&, const ByteString&) override { return {}; }
    void ConversionStarted(const job::ConversionProgress& progress) override {
        progress_ = std::make_unique<app::ProgressWindow>(window_, 1, progress);
    }
    bool CancelRequested() const override { return false; }
    void ConversionEnded() override {
        shownWindow = shownWindow || (progress_ && progress_->Handle());
        progress_.reset();
    }
    void NotifyStored(const ByteString&) override {} // the run is over; not measured
    bool shownWindow = false;
    long rounds = 0;
    double longestRound = 0; // seconds of the longest round of messages (the window's work)

  private:
    HWND window_;
    HFONT font_;
    std::unique_ptr<app::ProgressWindow> progress_;
};
} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: convert_bench <converter> <job file> <hand-off log> <data folder>\n",
                   stderr);
        return 2;
    }
    job::ConversionInputs inputs;
    inputs.settings.ConverterPath = argv[1];
    inputs.jobFile = argv[2];
    inputs.handOffLog = argv[3];
    inputs.settings.DataFolder = argv[4];
    inputs.settings.ResolutionIndex = 3;
    inputs.settings.SkipSaveDialog = 1;
    inputs.settings.DoLaunch = DoNothing;

    // The meter itself: a quarter second of busy work must read as about 0.25 s.
    const double calibrationStart = OwnProcessorSeconds();
    for (const double wallStart = WallSeconds(); WallSeconds() - wallStart < 0.25;) {
    }
    std::printf("calibration_cpu_seconds %.3f\n", OwnProcessorSeconds() - calibrationStart);

    BenchHost host;
    const double cpuBefore = OwnProcessorSeconds();
    const double wallBefore = WallSeconds();
    try {
        job::RunConversion(inputs, host);
    } catch (const Exception& e) {
        std::fprintf(stderr, "conversion failed: %s\n", e.Message().c_str());
        return 1;
    }
    const double wall = WallSeconds() - wallBefore;
    const double cpu = OwnProcessorSeconds() - cpuBefore;
    std::printf("converter_cpu_seconds %.3f\n", cpu);
    std::printf("conversion_wall_seconds %.3f\n", wall);
    std::printf("converter_cpu_share_percent %.2f\n", wall > 0 ? 100.0 * cpu / wall : 0.0);
    std::printf("message_rounds %ld\n", host.rounds);
    std::printf("progress_window_shown %d\n", host.shownWindow ? 1 : 0);
    std::printf("longest_message_round_seconds %.3f\n", host.longestRound);
    return 0;
}
