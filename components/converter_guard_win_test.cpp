// The single-instance guard in the real converter: Vellumcast.exe started while another
// converter runs. A later converter in job mode still converts its own job; a later one
// in interactive mode ends by itself and writes no settings.
#include "tests/support/converter_copy_win.h"
#include "tests/support/test_support_win.h"
#include "tests/support/window_driver_win.h"

#include <gtest/gtest.h>

#include <windows.h>

using testing_support::Exists;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A job that keeps Ghostscript busy for about two seconds, then prints one page.
constexpr char kJob[] = "%!PS\n"
                        "/t0 usertime def\n"
                        "{ usertime t0 sub 2000 gt { exit } if } loop\n"
                        "/Helvetica findfont 24 scalefont setfont\n"
                        "72 720 moveto (second converter) show\n"
                        "showpage\n";

// A copy of the converter in a folder of its own, with or without a settings file.
class Converter : public testing_support::ConverterCopy {
  public:
    Converter() : ConverterCopy("vcguard") {}
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
    testing_support::Pause(1500);
    EXPECT_TRUE(next.Running());
    EXPECT_EQ(next.CloseAndWait(), 0);
    EXPECT_TRUE(Exists(next.IniPath())) << "a first instance saves its settings on close";
}
