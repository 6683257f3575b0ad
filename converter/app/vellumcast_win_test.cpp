// Vellumcast.exe driven from outside as a user and the capture program would: each test
// copies the program into its own folder with a prepared settings file, starts it, operates
// its windows with window messages and checks what it stores.
#include "base/path_parts.h"
#include "base/win/handles_win.h"
#include "converter/app/settings_layout.h"
#include "tests/support/converter_copy_win.h"
#include "tests/support/test_support_win.h"
#include "tests/support/window_driver_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <windows.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace {
using namespace app;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
namespace drive = testing_support;

constexpr char kTitle[] = "Tamberlyn";
constexpr DWORD kWindowWaitMs = 30000;

// A PostScript job that keeps Ghostscript busy for about three seconds (so that the test can
// look at the converter's windows while it waits), then prints one page.
constexpr char kSlowJob[] = "%!PS\n"
                            "/t0 usertime def\n"
                            "{ usertime t0 sub 3000 gt { exit } if } loop\n"
                            "/Helvetica findfont 24 scalefont setfont\n"
                            "72 720 moveto (Vellumcast job) show\n"
                            "showpage\n";

// A job of 40 pages whose DSC header announces them; Ghostscript spends about a tenth of a
// second on each before it draws its 71 lines, so that the PDF grows page by page for
// about five seconds.
constexpr char kSlowPagesJob[] =
    "%!PS-Adobe-3.0\n%%Pages: 40\n%%EndComments\n"
    "/wait { /ms exch def /t0 usertime def { usertime t0 sub ms gt { exit } if } loop } def\n"
    "/Courier findfont 9 scalefont setfont /n 0 def /s 12 string def\n"
    "1 1 40 { pop 100 wait 0 1 70 { 72 exch 10 mul 40 add moveto /n n 7919 add 104729 mod def\n"
    "n s cvs show ( ) show n 31 mul s cvs show ( Vellumcast) show } for showpage } for\n"
    "%%EOF\n";

// One copy of Vellumcast.exe in a fresh folder, with its own settings file.
class Converter : public testing_support::ConverterCopy {
  public:
    explicit Converter(const ByteString& settings) : ConverterCopy("vcapp") {
        WriteFileBytes(IniPath(), settings);
    }
};

// The first descendant with that control ID (and class, when given).
HWND Child(HWND window, int id, const char* className = nullptr) {
    for (HWND child : drive::Descendants(window, className)) {
        if (GetDlgCtrlID(child) == id)
            return child;
    }
    return nullptr;
}

// A push button of a dialog (other controls of a dialog may share its ID).
HWND DialogButton(HWND dialog, int id) {
    return Child(dialog, id, "Button");
}

// Selects a tab page as a click on its tab would (the tab control notifies the window).
void SelectPage(HWND main, int index) {
    SendMessageA(Child(main, PageControl1), TCM_SETCURFOCUS, WPARAM(index), 0);
}

bool Checked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Waits until the condition holds; false after the time-out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWindowWaitMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// Closes the settings window as the title bar's close button does and waits for the end.
void CloseAndWait(Converter& converter, HWND main) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(converter.WaitForExit(), 0);
}

// The system's error number for starting this file as a program.
DWORD StartError(const ByteString& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ByteString commandLine = "\"" + path + "\"";
    if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &info)) {
        win::UniqueProcess started(info);
        TerminateProcess(info.hProcess, 1);
        return 0;
    }
    return GetLastError();
}

// Kept jobs ("$$kept-...ps") in the folder.
std::vector<ByteString> KeptJobs(const TempDir& dir) {
    std::vector<ByteString> names;
    for (const ByteString& name : testing_support::ListDirectory(dir.Path())) {
        if (name.rfind("$$kept-", 0) == 0 && name.size() > 3 &&
            name.compare(name.size() - 3, 3, ".ps") == 0)
            names.push_back(name);
    }
    return names;
}

// ---------------------------------------------------------------------------------------
// Job mode

TEST(JobMode, ConvertsInvisiblyUsingOnlyTheFirstArgumentAndWritesNoSettings) {
    TempDir work("vcjob");
    const ByteString outFolder = work / "pdf";
    testing_support::MakeDirectory(outFolder);
    const ByteString gs = testing_support::BuildFile("tools/gswin32c.exe");
    Converter converter(
        "[Pos]\r\nTop=33\r\nLeft=44\r\n[App]\r\nDoLaunch=2\r\n[Conv]\r\nPath=" + gs +
        "\r\n[Data]\r\nPath=" + outFolder + "\\\r\n[PDF]\r\nRes=0\r\n[Dlg]\r\nInh=1\r\n");
    const ByteString settingsBefore = ReadFileBytes(converter.IniPath());
    const ByteString job = converter.Dir() / "$$temp.ps";
    const ByteString secondJob = converter.Dir() / "second.ps";
    WriteFileBytes(job, kSlowJob);
    WriteFileBytes(secondJob, kSlowJob);
    WriteFileBytes(converter.Dir() / "log.txt", "REDMON_DOCNAME=report.txt\r\n");

    converter.Start("\"" + job + "\" \"" + secondJob + "\"");

    HWND main = converter.MainWindow();
    ASSERT_NE(main, nullptr);
    // The job-mode window takes no room at all (set before the job starts).
    ASSERT_TRUE(WaitUntil([&] {
        const RECT r = WindowRectOf(main);
        return r.right == r.left && r.bottom == r.top;
    }));
    HWND application = converter.ApplicationWindow();
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(application, GWL_EXSTYLE), LONG_PTR(WS_EX_TOOLWINDOW));
    EXPECT_FALSE(IsWindowVisible(application));
    const LONG_PTR style = GetWindowLongPtrA(main, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0) << std::hex << style;
    EXPECT_EQ(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetWindow(main, GW_OWNER), application); // owned: no taskbar button
    const RECT r = WindowRectOf(main);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);

    ASSERT_EQ(converter.WaitForExit(), 0);
    const ByteString pdf = ReadFileBytes(outFolder + "\\report.pdf");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_FALSE(testing_support::Exists(job));
    EXPECT_TRUE(testing_support::Exists(secondJob)) << "only the first argument is the job";
    EXPECT_EQ(ReadFileBytes(converter.IniPath()), settingsBefore);
}

TEST(JobMode, FailureIsShownInAMessageBoxAndThenTheProcessEnds) {
    Converter converter("");
    const ByteString notAProgram = converter.Dir() / "gswin32c.exe";
    WriteFileBytes(notAProgram, "this is text, not a program\r\n");
    WriteFileBytes(converter.IniPath(), "[Conv]\r\nPath=" + notAProgram +
                                            "\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n");
    const ByteString settingsBefore = ReadFileBytes(converter.IniPath());
    const DWORD error = StartError(notAProgram);
    ASSERT_NE(error, 0u);
    const ByteString job = converter.Dir() / "$$temp.ps";
    WriteFileBytes(job, kSlowJob);
    WriteFileBytes(converter.Dir() / "log.txt", "REDMON_DOCNAME=x\r\n");

    converter.Start("\"" + job + "\"");
    HWND box = converter.Dialog(kTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(drive::Text(Child(box, 0xFFFF, "Static")),
              "Exec Error " + std::to_string(error) + ".");
    EXPECT_EQ(drive::Text(box), kTitle);
    drive::Pause(500);
    EXPECT_TRUE(converter.Running()) << "the process waits for the user to read the message";

    drive::Click(DialogButton(box, IDOK));
    EXPECT_EQ(converter.WaitForExit(), 0);
    EXPECT_FALSE(testing_support::Exists(job)) << "taken over at once";
    EXPECT_EQ(KeptJobs(converter.Dir()).size(), 1u) << "a failed start keeps the job";
    EXPECT_EQ(ReadFileBytes(converter.IniPath()), settingsBefore);
}

TEST(JobMode, ASecondConvertersErrorBoxesStayUntilTheUserClosesThem) {
    // Another converter runs (its settings window open): the guard has posted the quit
    // message to the second one before its job starts.
    Converter first("[Pos]\r\nTop=10\r\nLeft=10\r\n");
    first.Start();
    HWND firstMain = first.MainWindow();
    ASSERT_NE(firstMain, nullptr);

    Converter probe("");
    const ByteString notAProgram = probe.Dir() / "gswin32c.exe";
    WriteFileBytes(notAProgram, "this is text, not a program\r\n");
    const DWORD error = StartError(notAProgram);
    ASSERT_EQ(error, 193u); // ERROR_BAD_EXE_FORMAT
    const struct {
        const char* label;
        ByteString converterPath;
        ByteString boxStart; // of the message box's text
    } cases[] = {
        {"Exec Error", notAProgram, "Exec Error 193."},
        {"no Ghostscript anywhere", probe.Dir() / "gone\\gswin32c.exe",
         "Ghostscript が見つかりません (設定されたパス: " + probe.Dir() / "gone\\gswin32c.exe)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Converter second("[Conv]\r\nPath=" + c.converterPath +
                         "\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n");
        const ByteString job = second.Dir() / "$$temp.ps";
        WriteFileBytes(job, kSlowJob);
        WriteFileBytes(second.Dir() / "log.txt", "REDMON_DOCNAME=x\r\n");
        second.Start("\"" + job + "\"");
        HWND box = second.Dialog(kTitle);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(drive::Text(Child(box, 0xFFFF, "Static")).rfind(c.boxStart, 0), 0u)
            << drive::Text(Child(box, 0xFFFF, "Static"));
        drive::Pause(1500);
        EXPECT_TRUE(IsWindow(box)) << "the box closed by itself";
        EXPECT_TRUE(second.Running());
        drive::Click(DialogButton(box, IDOK));
        EXPECT_EQ(second.WaitForExit(), 0) << "the process still ends after the job";
        EXPECT_EQ(KeptJobs(second.Dir()).size(), 1u);
    }
    CloseAndWait(first, firstMain);
}

TEST(JobMode, AJobThatNeverEndsIsEndedAtTheTimeLimitAndKept) {
    const ByteString gs = testing_support::BuildFile("tools/gswin32c.exe");
    TempDir data("vcdata");
    Converter converter("[Conv]\r\nPath=" + gs + "\r\nTimeLimit=5\r\n[Data]\r\nPath=" +
                        data.Path() + "\\\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n");
    const ByteString job = converter.Dir() / "$$temp.ps";
    WriteFileBytes(job, "%!PS\n{} loop\n");
    WriteFileBytes(converter.Dir() / "log.txt", "REDMON_DOCNAME=endless.doc\r\n");
    const DWORD start = GetTickCount();
    converter.Start("\"" + job + "\"");
    HWND box = converter.Dialog(kTitle, 90000);
    ASSERT_NE(box, nullptr);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 4900u);
    EXPECT_LT(elapsed, 60000u);
    const ByteString text = drive::Text(Child(box, 0xFFFF, "Static"));
    EXPECT_NE(text.find("制限時間 5 秒"), ByteString::npos) << text;
    const std::vector<ByteString> kept = KeptJobs(converter.Dir());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(text.find(converter.Dir() / kept[0]), ByteString::npos) << text;
    EXPECT_EQ(ReadFileBytes(converter.Dir() / kept[0]), "%!PS\n{} loop\n");
    drive::Click(DialogButton(box, IDOK));
    EXPECT_EQ(converter.WaitForExit(), 0);
    EXPECT_TRUE(testing_support::ListDirectory(data.Path()).empty());
}

// The progress windows of one converter process.
std::vector<HWND> ProgressWindows(DWORD processId) {
    return drive::TopLevelWindows(kProgressWindowClass, nullptr, processId);
}

HWND VisibleProgressWindow(DWORD processId) {
    for (HWND window : ProgressWindows(processId)) {
        if (IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// Settings that store automatically into data and start nothing afterwards.
ByteString AutomaticSettings(const TempDir& data, const ByteString& more = "") {
    return "[Conv]\r\nPath=" + testing_support::BuildFile("tools/gswin32c.exe") +
           "\r\n[Data]\r\nPath=" + data.Path() + "\\\r\n[Dlg]\r\nInh=1\r\n" + more +
           "[App]\r\nDoLaunch=2\r\n";
}

// A job handed on as the capture hands it on.
ByteString HandOn(Converter& converter, const ByteString& postScript, const ByteString& docName) {
    const ByteString job = converter.Dir() / "$$temp.ps";
    WriteFileBytes(job, postScript);
    WriteFileBytes(converter.Dir() / "log.txt", "REDMON_DOCNAME=" + docName + "\r\n");
    return job;
}

TEST(JobMode, ASlowJobShowsItsProgressWithoutTakingTheFocusAndClosesBeforeTheEnd) {
    TempDir data("vcdata");
    Converter converter(AutomaticSettings(data, "Notify=0\r\n"));
    const ByteString job = HandOn(converter, kSlowPagesJob, "議事録 - 第2版.doc");
    const DWORD start = GetTickCount();
    converter.Start("\"" + job + "\"");

    HWND window = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (window = VisibleProgressWindow(converter.ProcessId())); }, 60000));
    EXPECT_GE(GetTickCount() - start, 900u) << "not within the first second";
    EXPECT_EQ(drive::Text(Child(window, ProgressHeading)), "PDF を作成しています");
    EXPECT_EQ(drive::Text(Child(window, ProgressDocument)), "議事録 - 第2版.doc");
    EXPECT_EQ(drive::Text(Child(window, ProgressCancel, "Button")), "中止");
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE) << std::hex << exStyle;
    EXPECT_NE(GetForegroundWindow(), window);

    // The figures move while Ghostscript writes: the size grows, the clock runs.
    const ByteString firstFigures = drive::Text(Child(window, ProgressFigures));
    const ByteString firstElapsed = drive::Text(Child(window, ProgressElapsed));
    EXPECT_EQ(firstFigures.rfind("全 40 ページ ・ ", 0), 0u) << firstFigures;
    EXPECT_EQ(firstElapsed.rfind("経過時間 0:0", 0), 0u) << firstElapsed;
    EXPECT_TRUE(WaitUntil(
        [&] {
            return !IsWindow(window) ||
                   (drive::Text(Child(window, ProgressFigures)) != firstFigures &&
                    drive::Text(Child(window, ProgressElapsed)) != firstElapsed);
        },
        20000));
    EXPECT_TRUE(IsWindow(window)) << "the job ended before its progress moved";
    EXPECT_NE(GetForegroundWindow(), window);

    ASSERT_EQ(converter.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(data / "議事録 - 第2版.pdf").substr(0, 5), "%PDF-");
}

TEST(JobMode, AFastJobShowsNoProgressWindow) {
    TempDir data("vcdata");
    Converter converter(AutomaticSettings(data, "Notify=0\r\n"));
    const ByteString job = HandOn(converter,
                                  "%!PS\n/Helvetica findfont 24 scalefont setfont\n"
                                  "72 720 moveto (Fast) show showpage\n",
                                  "fast.doc");
    converter.Start("\"" + job + "\"");
    // Looked at until the process has ended: not even a hidden one was made.
    bool seen = false;
    while (converter.Running()) {
        seen = seen || !ProgressWindows(converter.ProcessId()).empty();
        Sleep(20);
    }
    EXPECT_FALSE(seen);
    EXPECT_EQ(converter.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(data / "fast.pdf").substr(0, 5), "%PDF-");
}

TEST(JobMode, CancelEndsTheConversionKeepsTheJobAndSaysWhere) {
    TempDir data("vcdata");
    Converter converter(AutomaticSettings(data));
    const ByteString endless = "%!PS-Adobe-3.0\n%%Pages: 3\n%%EndComments\n{} loop\n";
    const ByteString job = HandOn(converter, endless, "endless.doc");
    converter.Start("\"" + job + "\"");
    HWND window = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (window = VisibleProgressWindow(converter.ProcessId())); }, 60000));
    EXPECT_EQ(drive::Text(Child(window, ProgressFigures)).rfind("全 3 ページ ・ ", 0), 0u);
    drive::Click(Child(window, ProgressCancel, "Button"));

    HWND box = converter.Dialog(kTitle, 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindow(window)) << "the progress window goes before the message";
    const ByteString text = drive::Text(Child(box, 0xFFFF, "Static"));
    const std::vector<ByteString> kept = KeptJobs(converter.Dir());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(text, "PDF の作成を中止しました。ジョブファイルは " + converter.Dir() / kept[0] +
                        " に残してあります (このファイルを Vellumcast.exe に渡すと、あとで"
                        "変換できます)");
    EXPECT_EQ(ReadFileBytes(converter.Dir() / kept[0]), endless);
    // Nothing of Ghostscript's is left, and nothing was stored.
    for (const ByteString& name : testing_support::ListDirectory(converter.Dir().Path()))
        EXPECT_NE(name.rfind("$$pdf-", 0), 0u) << name;
    EXPECT_TRUE(testing_support::ListDirectory(data.Path()).empty());
    drive::Click(DialogButton(box, IDOK));
    EXPECT_EQ(converter.WaitForExit(), 0);
    EXPECT_TRUE(testing_support::ListDirectory(data.Path()).empty());
}

TEST(JobMode, ConvertersRunningAtOnceStackTheirProgressWindows) {
    TempDir data("vcdata");
    Converter first(AutomaticSettings(data, "Notify=0\r\n"));
    Converter second(AutomaticSettings(data, "Notify=0\r\n"));
    const ByteString firstJob = HandOn(first, kSlowPagesJob, "first.doc");
    const ByteString secondJob = HandOn(second, kSlowPagesJob, "second.doc");
    first.Start("\"" + firstJob + "\"");
    second.Start("\"" + secondJob + "\"");
    HWND a = nullptr;
    HWND b = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            a = VisibleProgressWindow(first.ProcessId());
            b = VisibleProgressWindow(second.ProcessId());
            return a && b;
        },
        60000));
    const RECT ra = WindowRectOf(a);
    const RECT rb = WindowRectOf(b);
    RECT overlap{};
    EXPECT_FALSE(IntersectRect(&overlap, &ra, &rb))
        << ra.left << "," << ra.top << " and " << rb.left << "," << rb.top;
    EXPECT_EQ(first.WaitForExit(), 0);
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(data / "first.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(ReadFileBytes(data / "second.pdf").substr(0, 5), "%PDF-");
}

// Wine's notification area: without a desktop's own tray it shows the icons in a window of
// its own, visible while it holds an icon, and the balloon as a balloon tooltip.
bool NotificationAreaShowsAnIcon() {
    for (HWND tray : drive::TopLevelWindows("__winex11_standalone_tray", nullptr)) {
        if (IsWindowVisible(tray))
            return true;
    }
    return false;
}

bool BalloonShown() {
    for (HWND tip : drive::TopLevelWindows("tooltips_class32", nullptr)) {
        if (IsWindowVisible(tip) && (GetWindowLongPtrA(tip, GWL_STYLE) & TTS_BALLOON))
            return true;
    }
    return false;
}

TEST(JobMode, AnAutomaticStoreAddsANotificationIconOnlyWithNotifyOn) {
    const struct {
        const char* what;
        const char* notify; // the [Dlg] line, "" for none
        bool icon;
    } cases[] = {
        {"default", "", true},
        {"on", "Notify=1\r\n", true},
        {"off", "Notify=0\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WaitUntil([] { return !NotificationAreaShowsAnIcon(); }, 20000))
            << "an icon of an earlier case is still there";
        TempDir data("vcdata");
        Converter converter(AutomaticSettings(data, c.notify));
        const ByteString job = HandOn(converter,
                                      "%!PS\n/Helvetica findfont 24 scalefont setfont\n"
                                      "72 720 moveto (Notice) show showpage\n",
                                      "notice.doc");
        converter.Start("\"" + job + "\"");
        bool icon = false;
        bool balloon = false;
        while (converter.Running()) {
            icon = icon || NotificationAreaShowsAnIcon();
            balloon = balloon || BalloonShown();
            Sleep(20);
        }
        EXPECT_EQ(converter.WaitForExit(), 0);
        EXPECT_EQ(ReadFileBytes(data / "notice.pdf").substr(0, 5), "%PDF-");
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(balloon, c.icon);
        // The icon goes with the notice.
        EXPECT_TRUE(WaitUntil([] { return !NotificationAreaShowsAnIcon(); }, 5000));
    }
}

TEST(JobMode, AClickOnTheNoticeOpensTheFolderAndEndsTheWait) {
    ASSERT_TRUE(WaitUntil([] { return !NotificationAreaShowsAnIcon(); }, 20000));
    TempDir data("vcclick");
    Converter converter(AutomaticSettings(data));
    const ByteString job =
        HandOn(converter,
               "%!PS\n72 720 moveto /Helvetica findfont 24 scalefont setfont (Click) "
               "show showpage\n",
               "click.doc");
    converter.Start("\"" + job + "\"");
    // Wine draws each icon as a child window of its tray; it passes a click on to the icon's
    // owner as the icon's message (it has no click on the balloon itself).
    HWND icon = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND tray : drive::TopLevelWindows("__winex11_standalone_tray", nullptr)) {
                if (IsWindowVisible(tray))
                    icon = FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr);
            }
            return icon != nullptr;
        },
        60000));
    EXPECT_EQ(ReadFileBytes(data / "click.pdf").substr(0, 5), "%PDF-");
    const DWORD clicked = GetTickCount();
    PostMessageA(icon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    PostMessageA(icon, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));

    // The folder opens in the shell's window, named after the folder.
    const ByteString folderName = ExtractFileName(data.Path());
    HWND folder = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        for (HWND window : drive::TopLevelWindows(nullptr, folderName.c_str())) {
            if (IsWindowVisible(window) && drive::ClassName(window) != "Static")
                folder = window;
        }
        return folder != nullptr;
    }));
    // The wait ends with the click, well before the notice's own end.
    EXPECT_EQ(converter.WaitForExit(), 0);
    EXPECT_LT(GetTickCount() - clicked, 6000u);
    if (folder)
        PostMessageA(folder, WM_CLOSE, 0, 0);
}

// ---------------------------------------------------------------------------------------
// Interactive mode: the window and the settings file

TEST(InteractiveMode, OpensAtTheSavedPositionAndSavesPositionAndSettingsOnClose) {
    Converter converter("[Pos]\r\nTop=120\r\nLeft=210\r\n[Conv]\r\nPath=C:\\gs\\gswin32c.exe\r\n"
                        "[Custom]\r\nKeep=me\r\n");
    converter.Start();
    HWND main = converter.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));

    RECT rect = WindowRectOf(main);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.left, 210);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 291);
    EXPECT_EQ(client.bottom, 167);
    EXPECT_EQ(drive::Text(main), kTitle);
    const LONG_PTR style = GetWindowLongPtrA(main, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "single fixed border";
    HWND application = converter.ApplicationWindow();
    ASSERT_NE(application, nullptr);
    EXPECT_FALSE(IsWindowVisible(application));

    SetWindowPos(main, nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CloseAndWait(converter, main);
    EXPECT_EQ(converter.Setting("Pos", "Top"), "250");
    EXPECT_EQ(converter.Setting("Pos", "Left"), "300");
    // Every key is written, the loaded values unchanged.
    EXPECT_EQ(converter.Setting("Conv", "Path"), "C:\\gs\\gswin32c.exe");
    EXPECT_EQ(converter.Setting("App", "DoLaunch"), "0");
    EXPECT_EQ(converter.Setting("App", "Launch"), "");
    EXPECT_EQ(converter.Setting("Data", "Path"), "");
    EXPECT_EQ(converter.Setting("PDF", "Res"), "3");
    EXPECT_EQ(converter.Setting("Dlg", "Inh"), "0");
    EXPECT_EQ(converter.Setting("Custom", "Keep"), "me");
}

TEST(InteractiveMode, UnwritableSettingsKeepTheWindowOpenUntilALaterCloseSucceeds) {
    Converter converter("[Pos]\r\nTop=10\r\nLeft=20\r\n");
    const ByteString before = ReadFileBytes(converter.IniPath());
    converter.Start();
    HWND main = converter.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    SetWindowPos(main, nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Read-only, and held open without sharing: Wine running as the Unix superuser lets a
    // read-only file be written, but no one can open a file that another holds this way.
    ASSERT_TRUE(SetFileAttributesA(converter.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    win::UniqueFile holder(CreateFileA(converter.IniPath().c_str(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = converter.Dialog(kTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(drive::Text(Child(box, 0xFFFF, "Static")),
              converter.IniPath() + " に書き込めません.");
    drive::Click(DialogButton(box, IDOK));
    ASSERT_TRUE(drive::WaitForNoTopLevel("#32770", kTitle, converter.ProcessId()));
    drive::Pause(500);
    EXPECT_TRUE(converter.Running()) << "a failed save keeps the window open";
    EXPECT_TRUE(IsWindowVisible(main));

    holder.reset();
    EXPECT_EQ(ReadFileBytes(converter.IniPath()), before);
    ASSERT_TRUE(SetFileAttributesA(converter.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    CloseAndWait(converter, main);
    EXPECT_EQ(converter.Setting("Pos", "Top"), "60");
    EXPECT_EQ(converter.Setting("Pos", "Left"), "70");
}

TEST(InteractiveMode, ASecondInstanceEndsByItselfWithoutWritingSettings) {
    Converter first("[Pos]\r\nTop=10\r\nLeft=10\r\n");
    first.Start();
    HWND firstMain = first.MainWindow();
    ASSERT_NE(firstMain, nullptr);

    Converter second("[Pos]\r\nTop=200\r\nLeft=200\r\n");
    const ByteString before = ReadFileBytes(second.IniPath());
    second.Start();
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(second.IniPath()), before);
    EXPECT_TRUE(first.Running());
    CloseAndWait(first, firstMain);
}

TEST(InteractiveMode, StartsInTheShowStateItWasStartedWith) {
    struct ShowCase {
        WORD show;
        bool zoomed;
        bool iconic;
    };
    const ShowCase cases[] = {
        {SW_SHOWNORMAL, false, false},
        {SW_SHOWMAXIMIZED, true, false},
        {SW_SHOWMINNOACTIVE, false, true},
    };
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(c.show);
        Converter converter("[Pos]\r\nTop=40\r\nLeft=40\r\n");
        converter.Start("", c.show);
        HWND main = converter.MainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
        EXPECT_EQ(IsZoomed(main) != FALSE, c.zoomed);
        EXPECT_EQ(IsIconic(main) != FALSE, c.iconic);
        CloseAndWait(converter, main);
        // The position is kept only from the normal state.
        EXPECT_EQ(converter.Setting("Pos", "Top"), "40");
    }
}

// ---------------------------------------------------------------------------------------
// The settings window

TEST(SettingsWindow, FillsFromTheSettingsAndWritesBackWhatTheControlsChanged) {
    Converter converter("[App]\r\nDoLaunch=7\r\nLaunch=C:\\tools\\viewer.exe\r\n"
                        "[Conv]\r\nPath=C:\\old\\gswin32c.exe\r\n[Data]\r\nPath=D:\\pdf\\\r\n"
                        "[PDF]\r\nRes=9\r\n[Dlg]\r\nInh=5\r\nNotify=5\r\n");
    converter.Start();
    HWND main = converter.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));

    HWND tabs = Child(main, PageControl1);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(drive::ClassName(tabs), "SysTabControl32");
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(Child(main, TabSheet1)));
    EXPECT_FALSE(IsWindowVisible(Child(main, TabSheet3)));
    EXPECT_FALSE(IsWindowVisible(Child(main, TabSheet2)));

    EXPECT_TRUE(Checked(Child(main, CheckBox2))) << "Inh 5 counts as set";
    EXPECT_TRUE(Checked(Child(main, CheckBox3))) << "Notify 5 counts as set";
    EXPECT_EQ(drive::Text(Child(main, CheckBox3)), "保存したら通知する");
    EXPECT_TRUE(Checked(Child(main, RadioButton1))) << "DoLaunch 7 leaves the initial choice";
    EXPECT_FALSE(Checked(Child(main, RadioButton2)));
    EXPECT_FALSE(Checked(Child(main, RadioButton3)));
    EXPECT_EQ(drive::Text(Child(main, EditCPath)), "C:\\old\\gswin32c.exe");
    EXPECT_EQ(drive::Text(Child(main, EditDPath)), "D:\\pdf\\");
    EXPECT_EQ(drive::Text(Child(main, EditLApp)), "C:\\tools\\viewer.exe");
    HWND resolution = Child(main, ComboBox1);
    EXPECT_EQ(SendMessageA(resolution, CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(SendMessageA(resolution, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(drive::Text(resolution), "ComboBox1") << "Res 9 selects nothing";
    EXPECT_EQ(drive::Text(Child(main, LabelMail)), kContactMail);
    EXPECT_EQ(drive::Text(Child(main, LabelVer)), "Ver0.15");
    // The About page names the folder of the bundled Ghostscript's source, in full: the
    // label holds its four lines and stays inside the page, clear of the link below it.
    HWND source = Child(main, LabelSource);
    EXPECT_NE(drive::Text(source).find("VellumcastSetup-0.15-source"), ByteString::npos);
    RECT sourceRect{}, page{}, link{};
    GetWindowRect(source, &sourceRect);
    GetWindowRect(Child(main, TabSheet2), &page);
    GetWindowRect(Child(main, LabelHP), &link);
    EXPECT_GE(sourceRect.left, page.left);
    EXPECT_LE(sourceRect.right, page.right);
    EXPECT_GE(sourceRect.bottom - sourceRect.top, 4 * 12);
    EXPECT_LE(sourceRect.bottom, link.top);
    // One hint covers the tab control, its three pages and the 21 controls on them.
    const auto hints = drive::TopLevelWindows(TOOLTIPS_CLASSA, nullptr, converter.ProcessId());
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(SendMessageA(hints.front(), TTM_GETTOOLCOUNT, 0, 0), 1 + 3 + 21);

    // Showing another page changes what is visible; the next start opens on the first.
    SelectPage(main, 2);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(IsWindowVisible(Child(main, TabSheet1)));
    EXPECT_TRUE(IsWindowVisible(Child(main, TabSheet2)));

    // Typed paths are for display only.
    drive::TypeText(Child(main, EditCPath), "C:\\typed\\gs.exe");
    drive::TypeText(Child(main, EditDPath), "C:\\typed\\");
    drive::TypeText(Child(main, EditLApp), "C:\\typed\\app.exe");
    CloseAndWait(converter, main);
    EXPECT_EQ(converter.Setting("Dlg", "Inh"), "1");
    EXPECT_EQ(converter.Setting("Dlg", "Notify"), "5") << "unchanged: not written";
    EXPECT_EQ(converter.Setting("App", "DoLaunch"), "7");
    EXPECT_EQ(converter.Setting("PDF", "Res"), "9");
    EXPECT_EQ(converter.Setting("Conv", "Path"), "C:\\old\\gswin32c.exe");
    EXPECT_EQ(converter.Setting("Data", "Path"), "D:\\pdf\\");
    EXPECT_EQ(converter.Setting("App", "Launch"), "C:\\tools\\viewer.exe");

    converter.Start();
    main = converter.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(SendMessageA(Child(main, PageControl1), TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(Child(main, TabSheet1)));
    CloseAndWait(converter, main);
}

TEST(SettingsWindow, ClicksAndChoicesChangeOneFieldEach) {
    struct ClickCase {
        const char* label;
        const char* settings;
        std::vector<int> clicks; // control IDs clicked in turn
        int resolutionItem;      // chosen in ComboBox1 afterwards; -1: none
        const char* section;
        const char* key;
        const char* expected;
    };
    const ClickCase cases[] = {
        {"RadioButton3 stores 2",
         "[App]\r\nDoLaunch=0\r\n",
         {RadioButton3},
         -1,
         "App",
         "DoLaunch",
         "2"},
        {"RadioButton1 after RadioButton3 stores 0",
         "[App]\r\nDoLaunch=1\r\n",
         {RadioButton3, RadioButton1},
         -1,
         "App",
         "DoLaunch",
         "0"},
        {"RadioButton2 from an unknown value",
         "[App]\r\nDoLaunch=7\r\n",
         {RadioButton2},
         -1,
         "App",
         "DoLaunch",
         "1"},
        {"a click on the checked button raises nothing",
         "[App]\r\nDoLaunch=7\r\n",
         {RadioButton1},
         -1,
         "App",
         "DoLaunch",
         "7"},
        {"check box on", "[Dlg]\r\nInh=0\r\n", {CheckBox2}, -1, "Dlg", "Inh", "1"},
        {"check box on and off",
         "[Dlg]\r\nInh=0\r\n",
         {CheckBox2, CheckBox2},
         -1,
         "Dlg",
         "Inh",
         "0"},
        {"notice off", "[Dlg]\r\nInh=0\r\n", {CheckBox3}, -1, "Dlg", "Notify", "0"},
        {"notice off and on again",
         "[Dlg]\r\nNotify=0\r\n",
         {CheckBox3, CheckBox3},
         -1,
         "Dlg",
         "Notify",
         "0"},
        {"notice left as it is: not written",
         "[Dlg]\r\nInh=0\r\n",
         {},
         -1,
         "Dlg",
         "Notify",
         "<missing>"},
        {"notice on from off", "[Dlg]\r\nNotify=0\r\n", {CheckBox3}, -1, "Dlg", "Notify", "1"},
        {"72dpi", "[PDF]\r\nRes=3\r\n", {}, 0, "PDF", "Res", "0"},
        {"1200dpi", "[PDF]\r\nRes=3\r\n", {}, 6, "PDF", "Res", "6"},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.label);
        Converter converter(c.settings);
        converter.Start();
        HWND main = converter.MainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
        for (int id : c.clicks) {
            HWND button = Child(main, id);
            const bool radio = id != CheckBox2 && id != CheckBox3;
            const bool before = Checked(button);
            drive::Click(button);
            // The click is posted: wait until the window shows its result.
            ASSERT_TRUE(
                WaitUntil([&] { return radio ? Checked(button) : Checked(button) != before; }));
            if (radio) {
                for (int other : {RadioButton1, RadioButton2, RadioButton3})
                    EXPECT_EQ(Checked(Child(main, other)), other == id) << other;
            }
        }
        if (c.resolutionItem >= 0) {
            drive::ChooseComboItem(Child(main, ComboBox1), c.resolutionItem);
        }
        drive::Pause(300); // let posted clicks be handled before the close
        CloseAndWait(converter, main);
        EXPECT_EQ(converter.Setting(c.section, c.key), c.expected);
    }
}

// The edit field of the open-file dialog's file name box (edt1 in older templates, inside
// the combo box cmb13 in newer ones).
HWND FileNameBox(HWND dialog) {
    if (HWND edit = Child(dialog, 0x480, "Edit"))
        return edit;
    return Child(dialog, 0x47C, "Edit");
}

TEST(SettingsWindow, OpenFileDialogConfirmedAndCancelled) {
    Converter converter("[App]\r\nLaunch=C:\\keep\\viewer.exe\r\n");
    const ByteString program = converter.Dir() / "mygs.exe";
    WriteFileBytes(program, "MZ");
    converter.Start();
    HWND main = converter.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));

    // Confirmed: ConverterPath and its edit box take the chosen file.
    drive::Click(Child(main, ButtonConv));
    HWND dialog = converter.Dialog("ファイルの読み込み");
    ASSERT_NE(dialog, nullptr);
    HWND name = FileNameBox(dialog);
    ASSERT_NE(name, nullptr);
    drive::TypeText(name, program);
    drive::Click(DialogButton(dialog, IDOK));
    ASSERT_TRUE(drive::WaitForNoTopLevel("#32770", "ファイルの読み込み", converter.ProcessId()));
    ASSERT_TRUE(WaitUntil([&] { return drive::Text(Child(main, EditCPath)) == program; }));

    // Cancelled: nothing changes. The dialog opens with the name it returned last.
    drive::Click(Child(main, ButtonLApp));
    dialog = converter.Dialog("ファイルの読み込み");
    ASSERT_NE(dialog, nullptr);
    name = FileNameBox(dialog);
    ASSERT_NE(name, nullptr);
    EXPECT_NE(drive::Text(name).find("mygs.exe"), ByteString::npos) << drive::Text(name);
    drive::Click(DialogButton(dialog, IDCANCEL));
    ASSERT_TRUE(drive::WaitForNoTopLevel("#32770", "ファイルの読み込み", converter.ProcessId()));
    EXPECT_EQ(drive::Text(Child(main, EditLApp)), "C:\\keep\\viewer.exe");

    CloseAndWait(converter, main);
    EXPECT_EQ(converter.Setting("Conv", "Path"), program);
    EXPECT_EQ(converter.Setting("App", "Launch"), "C:\\keep\\viewer.exe");
}

bool EndsWithSeparator(const ByteString& path) {
    return !path.empty() && path.back() == '\\';
}

// Picks a folder in the shell's folder dialog as a user would: highlights tree items one
// by one (the dialog's status line then shows the highlighted folder's path), expanding
// only those on the way to the target, until the target is highlighted.
bool HighlightFolder(HWND dialog, const ByteString& target) {
    HWND tree = drive::FindDescendant(dialog, "SysTreeView32");
    if (!tree)
        return false;
    auto statusLine = [&] {
        ByteString shown;
        for (HWND label : drive::Descendants(dialog, "Static")) {
            const ByteString text = drive::Text(label);
            if (!text.empty() && (text.find('\\') != ByteString::npos))
                shown = text;
        }
        return shown;
    };
    auto lower = [](ByteString text) {
        for (char& c : text)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const ByteString wanted = lower(target);
    std::vector<LPARAM> pending{SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)};
    for (int visited = 0; !pending.empty() && visited < 300; ++visited) {
        const LPARAM item = pending.back();
        pending.pop_back();
        if (!item)
            continue;
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, item);
        drive::Pause(100);
        const ByteString path = lower(statusLine());
        if (path == wanted)
            return true;
        const ByteString asFolder = EndsWithSeparator(path) ? path : path + "\\";
        // Virtual folders (no path) and folders above the target lead on; others do not.
        if (!path.empty() && wanted.compare(0, asFolder.size(), asFolder) != 0 &&
            !(path.size() == 3 && wanted.compare(0, 3, path) == 0))
            continue;
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, item);
        drive::Pause(200);
        std::vector<LPARAM> children;
        for (LPARAM child = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, item); child;
             child = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, child))
            children.push_back(child);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return false;
}

TEST(SettingsWindow, FolderPickerStoresTheChosenFolderWithOneTrailingSeparator) {
    TempDir folders("vcdata");
    struct FolderCase {
        ByteString chosen;
        ByteString stored;
    };
    const FolderCase cases[] = {
        {"C:\\", "C:\\"},
        {folders.Path(), folders.Path() + "\\"},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.chosen);
        Converter converter("[Data]\r\nPath=C:\\old\\\r\n");
        converter.Start();
        HWND main = converter.MainWindow();
        ASSERT_NE(main, nullptr);
        drive::Click(Child(main, ButtonData));
        HWND dialog = converter.Dialog(nullptr);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(
            WaitUntil([&] { return drive::FindDescendant(dialog, "SysTreeView32") != nullptr; }));
        ASSERT_TRUE(HighlightFolder(dialog, c.chosen));
        drive::Click(DialogButton(dialog, IDOK));
        ASSERT_TRUE(WaitUntil([&] { return drive::Text(Child(main, EditDPath)) == c.stored; }))
            << drive::Text(Child(main, EditDPath));
        CloseAndWait(converter, main);
        EXPECT_EQ(converter.Setting("Data", "Path"), c.stored);
    }
}

} // namespace
