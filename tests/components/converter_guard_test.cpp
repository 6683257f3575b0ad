// The single-instance guard in the real converter: Vellumcast.exe started while another
// converter runs. A later converter in job mode still converts its own job; a later one
// in interactive mode ends by itself and writes no settings.
#include "base/win/handles.h"
#include "tests/support/test_support.h"
#include "tests/support/window_driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

using testing_support::Exists;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr char kTitle[] = "Tamberlyn";
constexpr char kMainWindowClass[] = "TForm1";
constexpr DWORD kWaitMs = 30000;

// A job that keeps Ghostscript busy for about two seconds, then prints one page.
constexpr char kJob[] = "%!PS\n"
                        "/t0 usertime def\n"
                        "{ usertime t0 sub 2000 gt { exit } if } loop\n"
                        "/Helvetica findfont 24 scalefont setfont\n"
                        "72 720 moveto (second converter) show\n"
                        "showpage\n";

// A copy of the converter in a folder of its own, with or without a settings file.
class Converter {
  public:
    Converter() {
        const ByteString built = testing_support::BuildFile("converter/app/Vellumcast.exe");
        if (!CopyFileA(built.c_str(), ExePath().c_str(), FALSE))
            throw std::runtime_error("cannot copy " + built);
    }
    ~Converter() {
        if (Running()) {
            TerminateProcess(process_.process.get(), 1);
            WaitForSingleObject(process_.process.get(), 10000);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    const TempDir& Dir() const { return dir_; }
    ByteString ExePath() const { return dir_ / "Vellumcast.exe"; }
    ByteString IniPath() const { return dir_ / "Vellumcast.ini"; }

    void Start(const ByteString& arguments = "") {
        ByteString commandLine = "\"" + ExePath() + "\"";
        if (!arguments.empty())
            commandLine += " " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            dir_.Path().c_str(), &startup, &info))
            throw std::runtime_error("cannot start " + commandLine);
        process_ = win::UniqueProcess(info);
        processId_ = info.dwProcessId;
    }

    bool Running() const {
        return process_.process && WaitForSingleObject(process_.process.get(), 0) == WAIT_TIMEOUT;
    }
    int WaitForExit(DWORD timeoutMs = 60000) {
        return window_driver::WaitForExit(process_.process.get(), timeoutMs);
    }
    HWND MainWindow() const {
        return window_driver::WaitForTopLevel(kMainWindowClass, kTitle, processId_, kWaitMs);
    }
    // Closes the settings window as its close button does and waits for the end.
    int CloseAndWait() {
        PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
        return WaitForExit();
    }

  private:
    TempDir dir_{"vcguard"};
    win::UniqueProcess process_;
    DWORD processId_ = 0;
};

// An interactive converter that has finished starting: its window is on the screen.
void StartInteractive(Converter& converter) {
    converter.Start();
    const HWND main = converter.MainWindow();
    ASSERT_NE(main, nullptr);
    for (int tries = 0; tries < 200 && !IsWindowVisible(main); ++tries)
        Sleep(50);
    ASSERT_TRUE(IsWindowVisible(main));
}

} // namespace

TEST(ConverterGuard, LaterConverterInJobModeStillConvertsItsJob) {
    Converter first;
    WriteFileBytes(first.IniPath(), "[Pos]\r\nTop=10\r\nLeft=10\r\n");
    const ByteString firstSettings = ReadFileBytes(first.IniPath());
    StartInteractive(first);

    TempDir out("vcguardpdf");
    Converter later;
    WriteFileBytes(later.IniPath(), "[App]\r\nDoLaunch=2\r\n[Conv]\r\nPath=" +
                                        testing_support::BuildFile("tools/gswin32c.exe") +
                                        "\r\n[Data]\r\nPath=" + out.Path() +
                                        "\\\r\n[PDF]\r\nRes=0\r\n[Dlg]\r\nInh=1\r\n");
    const ByteString laterSettings = ReadFileBytes(later.IniPath());
    const ByteString job = later.Dir() / "$$temp.ps";
    WriteFileBytes(job, kJob);
    WriteFileBytes(later.Dir() / "log.txt", "REDMON_DOCNAME=second.txt\r\n");

    later.Start("\"" + job + "\"");
    ASSERT_EQ(later.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(out / "second.pdf").substr(0, 5), "%PDF-");
    EXPECT_FALSE(Exists(job));
    EXPECT_EQ(ReadFileBytes(later.IniPath()), laterSettings);

    EXPECT_TRUE(first.Running()) << "the first converter is left alone";
    EXPECT_EQ(ReadFileBytes(first.IniPath()), firstSettings);
    EXPECT_EQ(first.CloseAndWait(), 0);
}

TEST(ConverterGuard, LaterInteractiveConverterEndsWithoutWritingSettings) {
    Converter first;
    StartInteractive(first);

    // No settings file at all: a close would have created one.
    Converter later;
    later.Start();
    EXPECT_EQ(later.WaitForExit(), 0);
    EXPECT_FALSE(Exists(later.IniPath()));
    EXPECT_TRUE(first.Running());

    // Once the first has ended, the name is free again: the next converter stays.
    EXPECT_EQ(first.CloseAndWait(), 0);
    Converter next;
    StartInteractive(next);
    window_driver::Pause(1500);
    EXPECT_TRUE(next.Running());
    EXPECT_EQ(next.CloseAndWait(), 0);
    EXPECT_TRUE(Exists(next.IniPath())) << "a first instance saves its settings on close";
}
