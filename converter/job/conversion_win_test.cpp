// The conversion run: the command line split as Windows splits it, unique names on real
// files, and whole runs on real files in a
// temporary folder with real Ghostscript (the bridge built as gswin32c.exe).
#include "converter/job/conversion.h"
#include "toolkit/file_dialogs_win.h"

#include "base/errors.h"
#include "base/path_parts.h"
#include "base/win/files_win.h"
#include "base/win/handles_win.h"
#include "tests/support/test_support_win.h"
#include "tests/support/window_driver_win.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace job;
using testing_support::TempDir;

namespace {

// ---- helpers -------------------------------------------------------------------------

// The text that pdftotext reads from a PDF.
ByteString PdfText(const ByteString& pdfPath, const TempDir& scratch) {
    const ByteString textPath = scratch / "pdftext.txt";
    const int status =
        testing_support::RunHostProgram({"/usr/bin/pdftotext", testing_support::UnixPathOf(pdfPath),
                                         testing_support::UnixPathOf(textPath)});
    if (status != 0)
        return "pdftotext failed: " + std::to_string(status);
    return testing_support::ReadFileBytes(textPath);
}

std::vector<ByteString> Sorted(std::vector<ByteString> names) {
    std::sort(names.begin(), names.end());
    return names;
}

ByteString CurrentDirectory() {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return ByteString(buffer, length);
}

bool CopyInto(const ByteString& from, const ByteString& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

// Polls for a file that another process writes; false after the time-out.
bool WaitForFile(const ByteString& path, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!win::FileExists(path)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// The exception a call raises, with its class and message.
struct Raised {
    bool raised = false;
    bool inOutError = false;
    unsigned long code = 0;
    ByteString message;
};

Raised Capture(const std::function<void()>& call) {
    Raised result;
    try {
        call();
    } catch (const EInOutError& e) {
        result = {true, true, e.Code(), e.Message()};
    } catch (const Exception& e) {
        result = {true, false, 0, e.Message()};
    }
    return result;
}

// ---- the main window as the run sees it ----------------------------------------------

// A hidden window and a message pump like the application's; the save dialog answers as
// configured. Messages WM_APP and WM_TIMER reach onMessage.
class TestHost : public ConversionHost {
  public:
    TestHost() {
        static const ATOM windowClass = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &TestHost::WindowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "VellumcastConversionTestHost";
            return RegisterClassA(&wc);
        }();
        window_ = CreateWindowExA(0, MAKEINTATOM(windowClass), "host", WS_OVERLAPPED, 0, 0, 100,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TestHost() override { DestroyWindow(window_); }

    HWND OwnerWindow() const override { return window_; }

    void ProcessMessages() override {
        ++processCalls;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ++quitsNoted;
                if (onQuit)
                    onQuit();
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    SaveChoice ChooseSavePath(const ByteString& initialDirectory,
                              const ByteString& fileName) override {
        ++dialogCalls;
        askedDirectory = initialDirectory;
        askedName = fileName;
        events.push_back("dialog");
        return {dialogAnswer, dialogFailure};
    }

    void ConversionStarted(const ConversionProgress& shown) override {
        events.push_back("started");
        progress = shown;
    }
    bool CancelRequested() const override { return cancelWhen && cancelWhen(); }
    void ConversionEnded() override { events.push_back("ended"); }
    void NotifyStored(const ByteString& pdfPath) override {
        events.push_back("notify");
        notified.push_back(pdfPath);
    }

    std::optional<ByteString> dialogAnswer;
    unsigned long dialogFailure = 0;
    int dialogCalls = 0;
    ByteString askedDirectory;
    ByteString askedName;
    int processCalls = 0;
    int quitsNoted = 0;
    std::function<void(UINT, WPARAM)> onMessage;
    std::function<void()> onQuit;
    // The run's calls in order: "started", "ended", "dialog", "notify".
    std::vector<ByteString> events;
    std::optional<ConversionProgress> progress;
    std::function<bool()> cancelWhen;
    std::vector<ByteString> notified;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
        auto* host = reinterpret_cast<TestHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (host && (message == WM_APP || message == WM_TIMER) && host->onMessage) {
            host->onMessage(message, w);
            return 0;
        }
        return DefWindowProcA(window, message, w, l);
    }

    HWND window_ = nullptr;
};

// ---- print jobs ----------------------------------------------------------------------

const char kOnePageJob[] = "%!PS\n"
                           "/Helvetica findfont 24 scalefont setfont\n"
                           "72 720 moveto (Hello Vellumcast) show\n"
                           "showpage\n";

const char kTwoPageJob[] = "%!PS\n"
                           "/Helvetica findfont 24 scalefont setfont\n"
                           "72 720 moveto (First page) show showpage\n"
                           "72 720 moveto (Second page) show showpage\n";

// Keeps Ghostscript busy for about a second before it draws, so that the wait is long.
const char kSlowJob[] = "%!PS\n"
                        "/t0 usertime def { usertime t0 sub 1000 gt { exit } if } loop\n"
                        "/Helvetica findfont 24 scalefont setfont\n"
                        "72 720 moveto (Slow job) show\n"
                        "showpage\n";

} // namespace

// ---- the command line as Windows splits it, unique names on real files ---------------

TEST(GhostscriptCommandLine, SplitsIntoTheArgumentsGhostscriptNeeds) {
    const struct {
        const char* converter;
        const char* resolution;
        const char* output;
        const char* job;
        std::vector<ByteString> argv;
    } cases[] = {
        {"C:\\gs\\gswin32c.exe",
         "300",
         "C:\\jobs\\Report.pdf",
         "C:\\jobs\\$$temp.ps",
         {"gswin32c.exe", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-r300",
          "-sOutputFile=C:\\jobs\\Report.pdf", "-c", "300000", "setvmthreshold", "save", "pop",
          "-f", "C:\\jobs\\$$temp.ps"}},
        // No resolution: no bare "-r" (which Ghostscript refuses).
        {"C:\\gs\\gswin32c.exe",
         "",
         "C:\\j\\a.pdf",
         "C:\\j\\$$temp.ps",
         {"gswin32c.exe", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-sOutputFile=C:\\j\\a.pdf",
          "-c", "300000", "setvmthreshold", "save", "pop", "-f", "C:\\j\\$$temp.ps"}},
        // Blanks and Japanese in both paths; 表 before the closing quote.
        {"C:\\Program Files\\gs\\gswin32c.exe",
         "1200",
         "C:\\ジョブ 表\\議事録 - 第2版.pdf",
         "C:\\ジョブ 表\\$$temp.ps",
         {"gswin32c.exe", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-r1200",
          "-sOutputFile=C:\\ジョブ 表\\議事録 - 第2版.pdf", "-c", "300000", "setvmthreshold",
          "save", "pop", "-f", "C:\\ジョブ 表\\$$temp.ps"}},
        // "%" is a page-number template for Ghostscript: doubled in the output path only.
        {"C:\\gs\\gswin32c.exe",
         "72",
         "C:\\50%\\Report 100%.pdf",
         "C:\\50%\\$$temp.ps",
         {"gswin32c.exe", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-r72",
          "-sOutputFile=C:\\50%%\\Report 100%%.pdf", "-c", "300000", "setvmthreshold", "save",
          "pop", "-f", "C:\\50%\\$$temp.ps"}},
        // A program name with a blank stays one argument.
        {"C:\\gs\\gs win32c.exe",
         "150",
         "C:\\j\\a.pdf",
         "C:\\j\\b.ps",
         {"gs win32c.exe", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-r150",
          "-sOutputFile=C:\\j\\a.pdf", "-c", "300000", "setvmthreshold", "save", "pop", "-f",
          "C:\\j\\b.ps"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        const ByteString line =
            GhostscriptCommandLine(c.converter, c.resolution, c.output, c.job, u"");
        EXPECT_EQ(testing_support::PlatformCommandLineArguments(line), c.argv) << line;
    }
}

// The title travels as hex digits of UTF-16BE after a byte-order mark: whatever the name
// holds (quotes, blanks, parentheses, backslashes, Japanese), the same eight arguments
// follow the job.
TEST(MakeUniqueName, LowestFreeNumberBeforeTheExtension) {
    const struct {
        std::vector<const char*> present;
        const char* name;
        const char* expected;
    } cases[] = {
        {{}, "Report.pdf", "Report.pdf"},
        {{"Report.pdf"}, "Report.pdf", "Report(1).pdf"},
        {{"Report.pdf", "Report(1).pdf"}, "Report.pdf", "Report(2).pdf"},
        {{"Report.pdf", "Report(2).pdf"}, "Report.pdf", "Report(1).pdf"},
        {{"notes", "notes(1)"}, "notes", "notes(2)"},
        {{"表.pdf"}, "表.pdf", "表(1).pdf"},
        {{"a.b.pdf"}, "a.b.pdf", "a.b(1).pdf"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        for (const char* name : c.present)
            testing_support::WriteFileBytes(dir / name, "x");
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(MakeUniqueName(dir / c.name, win::FileExists), dir / c.expected);
    }
}

TEST(MakeUniqueName, ADirectoryOfThatNameIsNoFile) {
    TempDir dir;
    testing_support::MakeDirectory(dir / "Report.pdf");
    EXPECT_EQ(MakeUniqueName(dir / "Report.pdf", win::FileExists), dir / "Report.pdf");
}

TEST(StoragePath, OneSeparatorBetweenFolderAndName) {
    TempDir dir;
    testing_support::MakeDirectory(dir / "out");
    testing_support::MakeDirectory(dir / "出力表");
    testing_support::WriteFileBytes(dir / "out\\Report.pdf", "x");
    const struct {
        ByteString folder;
        ByteString expected;
    } cases[] = {
        {dir / "out\\", dir / "out\\Report(1).pdf"},
        {dir / "out", dir / "out\\Report(1).pdf"},
        // The last byte of 表 is that of "\", yet the folder has no separator at its end.
        {dir / "出力表", dir / "出力表\\Report.pdf"},
        {dir / "出力表\\", dir / "出力表\\Report.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(StoragePath(c.folder, "C:\\jobs\\Report.pdf", win::FileExists), c.expected);
    }
}

// ---- whole runs ----------------------------------------------------------------------

// A converter directory with the Ghostscript bridge, a job folder with the job and the
// hand-off log, a data folder; settings that store automatically and start nothing.
class ConversionRun : public ::testing::Test {
  protected:
    void SetUp() override {
        savedDirectory_ = CurrentDirectory();
        testing_support::MakeDirectory(root_ / "gs 表");
        testing_support::MakeDirectory(root_ / "jobs");
        testing_support::MakeDirectory(root_ / "pdf");
        converter_ = root_ / "gs 表\\gswin32c.exe";
        ASSERT_TRUE(CopyInto(testing_support::BuildFile("tools\\gswin32c.exe"), converter_));
        inputs_.jobFile = root_ / "jobs\\$$temp.ps";
        inputs_.handOffLog = root_ / "log.txt";
        inputs_.settings.ConverterPath = converter_;
        inputs_.settings.DataFolder = root_ / "pdf\\";
        inputs_.settings.ResolutionIndex = 0;
        inputs_.settings.SkipSaveDialog = 1;
        inputs_.settings.DoLaunch = DoNothing;
        WriteDocName("Report.doc");
        WriteJob(kOnePageJob);
        SetEnvironmentVariableA("VELLUMCAST_RECORD_ARGS", record_.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("VELLUMCAST_RECORD_ARGS", nullptr);
        SetCurrentDirectoryA(savedDirectory_.c_str());
    }

    // The job file and then its hand-off log, as a capture hands them on.
    void WriteJob(const ByteString& postScript) {
        testing_support::WriteFileBytes(inputs_.jobFile, postScript);
        testing_support::WriteFileBytes(inputs_.handOffLog, "REDMON_DOCNAME=" + docName_ + "\r\n");
    }
    void WriteDocName(const ByteString& name) {
        docName_ = name;
        testing_support::WriteFileBytes(inputs_.handOffLog, "REDMON_DOCNAME=" + name + "\r\n");
    }
    Raised Run() {
        return Capture([this] { RunConversion(inputs_, host_); });
    }
    // A copy of the recording program in a folder of its own, as LaunchApp.
    ByteString InstallRecorder() {
        testing_support::MakeDirectory(root_ / "app 表");
        const ByteString app = root_ / "app 表\\record_args.exe";
        EXPECT_TRUE(CopyInto(testing_support::BuildFile("tools\\record_args.exe"), app));
        return app;
    }
    // The recorded command line and current directory, or nothing after the time-out.
    std::optional<std::pair<ByteString, ByteString>> Recorded(DWORD timeoutMs) {
        if (!WaitForFile(record_, timeoutMs))
            return std::nullopt;
        const ByteString text = testing_support::ReadFileBytes(record_);
        const size_t first = text.find('\n');
        const size_t second = text.find('\n', first + 1);
        return std::make_pair(text.substr(0, first), text.substr(first + 1, second - first - 1));
    }
    std::vector<ByteString> Files(const char* folder) {
        return Sorted(testing_support::ListDirectory(root_ / folder));
    }
    // The files of the job folder whose names start with prefix.
    std::vector<ByteString> JobFilesStartingWith(const ByteString& prefix) {
        std::vector<ByteString> names;
        for (const ByteString& name : Files("jobs")) {
            if (name.rfind(prefix, 0) == 0)
                names.push_back(name);
        }
        return names;
    }
    // The one kept job's path ("" when there is not exactly one).
    ByteString KeptJob() {
        std::vector<ByteString> jobs;
        for (const ByteString& name : JobFilesStartingWith("$$kept-")) {
            if (ExtractFileExt(name) == ".ps")
                jobs.push_back(name);
        }
        return jobs.size() == 1 ? root_ / "jobs\\" + jobs[0] : ByteString();
    }
    // The job file was taken over: nothing is left under the job file's name; the job is
    // kept whole under a kept name, with its document name beside it.
    bool JobKeptUnchanged(const ByteString& postScript) {
        const ByteString kept = KeptJob();
        return !win::FileExists(inputs_.jobFile) && !kept.empty() &&
               testing_support::ReadFileBytes(kept) == postScript &&
               testing_support::ReadFileBytes(ChangeFileExt(kept, ".name")) ==
                   "REDMON_DOCNAME=" + docName_ + "\r\n";
    }
    void RemoveKeptJobs() {
        for (const ByteString& name : JobFilesStartingWith("$$kept-"))
            DeleteFileA((root_ / "jobs\\" + name).c_str());
    }

    ByteString docName_ = "Report.doc";
    TempDir root_{"conv"};
    TempDir scratch_{"convtext"};
    ByteString converter_;
    ByteString record_ = scratch_ / "record.txt";
    ConversionInputs inputs_;
    TestHost host_;
    ByteString savedDirectory_;
};

TEST_F(ConversionRun, ConvertsTheJobIntoAPdfWhoseTextReadsBack) {
    const Raised raised = Run();
    ASSERT_FALSE(raised.raised) << raised.message;
    const ByteString pdf = root_ / "pdf\\Report.pdf";
    ASSERT_TRUE(win::FileExists(pdf));
    EXPECT_EQ(testing_support::ReadFileBytes(pdf).substr(0, 5), "%PDF-");
    EXPECT_NE(PdfText(pdf, scratch_).find("Hello Vellumcast"), ByteString::npos);
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{}); // job deleted, PDF moved away
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{"Report.pdf"});
    // Ghostscript was started in its own directory, which stays current.
    EXPECT_EQ(IncludeTrailingBackslash(CurrentDirectory()), root_ / "gs 表\\");
}

TEST_F(ConversionRun, JapaneseDocumentNameAndTimestampName) {
    const struct {
        ByteString docName;
        ByteString prefix; // of the stored name
    } cases[] = {
        {"議事録 - 第2版.doc", "議事録 - 第2版.pdf"},
        {"見積表", "見積表.pdf"},
        {"", "prn_data("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.docName);
        WriteJob(kOnePageJob);
        WriteDocName(c.docName);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        const std::vector<ByteString> stored = Files("pdf");
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0].rfind(c.prefix, 0), 0u) << stored[0];
        EXPECT_EQ(ExtractFileExt(stored[0]), ".pdf");
        EXPECT_NE(PdfText(root_ / "pdf\\" + stored[0], scratch_).find("Hello Vellumcast"),
                  ByteString::npos);
        testing_support::RemoveTree(root_ / "pdf");
        testing_support::MakeDirectory(root_ / "pdf");
    }
}

// The PDF's Title is the document name in Unicode (the job's own %%Title holds Shift-JIS
// bytes that Ghostscript would take for Latin text) and its Creator is Vellumcast; without
// a name both stay as Ghostscript makes them from the job.
TEST_F(ConversionRun, DocumentNameBecomesTheUnicodeTitle) {
    const ByteString job = ByteString("%!PS-Adobe-3.0\n%%Title: 見積書 第3版\n"
                                      "%%Creator: Job Writer\n%%EndComments\n") +
                           kOnePageJob;
    const struct {
        ByteString docName;
        ByteString stored;
        ByteString info; // lines pdfinfo must print (UTF-8)
    } cases[] = {
        {"見積書 第3版.doc", "見積書 第3版.pdf",
         "Title:           \xE8\xA6\x8B\xE7\xA9\x8D\xE6\x9B\xB8 "
         "\xE7\xAC\xAC"
         "3\xE7\x89\x88.doc\nCreator:         Vellumcast\n"},
        {"(a) \"b\" c\\d", "(a) _b_ c_d.pdf",
         "Title:           (a) \"b\" c\\d\nCreator:         Vellumcast\n"},
        {"", "prn_data(", "Creator:         Job Writer\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.docName);
        WriteJob(job);
        WriteDocName(c.docName);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        const std::vector<ByteString> stored = Files("pdf");
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0].rfind(c.stored, 0), 0u) << stored[0];
        const ByteString infoPath = scratch_ / "pdfinfo.txt";
        ASSERT_EQ(testing_support::RunHostProgram(
                      {"/bin/sh", "-c", "pdfinfo -enc UTF-8 \"$1\" >\"$2\"", "sh",
                       testing_support::UnixPathOf(root_ / "pdf\\" + stored[0]),
                       testing_support::UnixPathOf(infoPath)}),
                  0);
        const ByteString info = testing_support::ReadFileBytes(infoPath);
        size_t from = 0;
        for (size_t end; (end = c.info.find('\n', from)) != ByteString::npos; from = end + 1) {
            const ByteString line = c.info.substr(from, end - from + 1);
            EXPECT_NE(info.find(line), ByteString::npos) << line << " not in\n" << info;
        }
        if (c.docName.empty()) {
            EXPECT_EQ(info.find("Vellumcast"), ByteString::npos) << info;
        }
        testing_support::RemoveTree(root_ / "pdf");
        testing_support::MakeDirectory(root_ / "pdf");
    }
}

TEST_F(ConversionRun, ResolutionOutsideTheTableStillConverts) {
    for (const int32_t index : {-1, 7, 6}) {
        SCOPED_TRACE(index);
        inputs_.settings.ResolutionIndex = index;
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        EXPECT_FALSE(raised.raised) << raised.message;
        EXPECT_TRUE(win::FileExists(root_ / "pdf\\Report.pdf"));
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{});
        DeleteFileA((root_ / "pdf\\Report.pdf").c_str());
    }
}

TEST_F(ConversionRun, PercentAndDeviceNamesGiveOneRealFileUnderTheirOwnName) {
    const struct {
        const char* docName;
        const char* stored;
    } cases[] = {
        {"Report 100%.doc", "Report 100%.pdf"},
        {"pg%d", "pg%d.pdf"},
        {"%%.doc", "%%.pdf"},
        {"CON", "CON_.pdf"},
        {"nul.txt", "nul_.pdf"},
        {"bad\x01name\x1F", "bad_name_.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.docName);
        WriteJob(kTwoPageJob);
        WriteDocName(c.docName);
        const Raised raised = Run();
        EXPECT_FALSE(raised.raised) << raised.message;
        EXPECT_EQ(Files("pdf"), std::vector<ByteString>{c.stored});
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{});
        const ByteString text = PdfText(root_ / "pdf\\" + c.stored, scratch_);
        EXPECT_NE(text.find("First page"), ByteString::npos) << text;
        EXPECT_NE(text.find("Second page"), ByteString::npos) << text;
        testing_support::RemoveTree(root_ / "pdf");
        testing_support::MakeDirectory(root_ / "pdf");
    }
}

TEST_F(ConversionRun, FailedGhostscriptKeepsTheJobUnderAKeptNameAndLeavesNoPdf) {
    const struct {
        const char* what;
        ByteString job;
        unsigned long timeLimit;
        const char* reason;
    } cases[] = {
        {"not PostScript", "this is not PostScript at all\n", 0, "Ghostscript の終了コード"},
        {"PostScript error",
         "%!PS\n/Helvetica findfont 24 scalefont setfont\n72 720 moveto "
         "(Half) show\nundefined_operator_here\nshowpage\n",
         0, "Ghostscript の終了コード"},
        // A job that never ends is ended at the time limit.
        {"endless loop", "%!PS\n{} loop\n", 3, "制限時間 3 秒"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteJob(c.job);
        inputs_.settings.TimeLimit = int32_t(c.timeLimit);
        inputs_.settings.DoLaunch = RunSpecified;
        inputs_.settings.LaunchApp = InstallRecorder();
        const DWORD start = GetTickCount();
        const Raised raised = Run();
        ASSERT_TRUE(raised.raised);
        if (c.timeLimit != 0) {
            EXPECT_GE(GetTickCount() - start, c.timeLimit * 1000 - 100);
            EXPECT_LT(GetTickCount() - start, 60000u);
        }
        EXPECT_FALSE(raised.inOutError);
        EXPECT_NE(raised.message.find("PDF を作成できませんでした"), ByteString::npos)
            << raised.message;
        EXPECT_NE(raised.message.find(c.reason), ByteString::npos) << raised.message;
        EXPECT_TRUE(JobKeptUnchanged(c.job));
        // The message names where the job is kept.
        EXPECT_NE(raised.message.find(KeptJob()), ByteString::npos) << raised.message;
        EXPECT_EQ(JobFilesStartingWith("$$pdf-"), std::vector<ByteString>{});
        EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
        EXPECT_FALSE(Recorded(0));
        RemoveKeptJobs();
    }
}

TEST_F(ConversionRun, TheProgressWindowSpansGhostscriptAloneAndEndsBeforeTheDialog) {
    const struct {
        const char* what;
        ByteString job;
        std::optional<int32_t> pages;
    } cases[] = {
        {"no DSC comments", kOnePageJob, std::nullopt},
        {"count in the header",
         "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n" + ByteString(kOnePageJob), 1},
        // As Windows' PostScript drivers write it: the count follows the pages.
        {"count in the trailer",
         "%!PS-Adobe-3.0\n%%Pages: (atend)\n%%EndComments\n" + ByteString(kTwoPageJob) +
             "%%Trailer\n%%Pages: 2\n%%EOF\n",
         2},
    };
    testing_support::MakeDirectory(root_ / "chosen");
    inputs_.settings.SkipSaveDialog = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteDocName("議事録 - 第2版.doc");
        WriteJob(c.job);
        host_.events.clear();
        host_.progress.reset();
        host_.dialogAnswer = root_ / "chosen\\Mine.pdf";
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        EXPECT_EQ(host_.events, (std::vector<ByteString>{"started", "ended", "dialog"}));
        ASSERT_TRUE(host_.progress);
        EXPECT_EQ(host_.progress->docName, "議事録 - 第2版.doc");
        EXPECT_EQ(host_.progress->announcedPages, c.pages);
        // The measure is the file Ghostscript writes: the private PDF beside the job.
        EXPECT_EQ(ExtractFilePath(host_.progress->pdfPath), root_ / "jobs\\");
        EXPECT_EQ(ExtractFileName(host_.progress->pdfPath).rfind("$$pdf-", 0), 0u)
            << host_.progress->pdfPath;
        EXPECT_TRUE(win::FileExists(root_ / "chosen\\Mine.pdf"));
    }

    // A failing Ghostscript ends the window too, before its message is raised.
    host_.events.clear();
    WriteJob("this is not PostScript at all\n");
    ASSERT_TRUE(Run().raised);
    EXPECT_EQ(host_.events, (std::vector<ByteString>{"started", "ended"}));
}

TEST_F(ConversionRun, CancelEndsGhostscriptKeepsTheJobRemovesThePdfAndStartsNothing) {
    // A job that never ends by itself: only the cancel (or the time limit) ends it.
    const ByteString job = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n{} loop\n";
    WriteJob(job);
    inputs_.settings.TimeLimit = 120;
    inputs_.settings.DoLaunch = RunSpecified;
    inputs_.settings.LaunchApp = InstallRecorder();
    // The user presses 「中止」 after a second and a half; until then the run goes on.
    DWORD started = 0;
    int asked = 0;
    host_.cancelWhen = [&] {
        ++asked;
        if (started == 0 && host_.progress)
            started = GetTickCount();
        return started != 0 && GetTickCount() - started >= 1500;
    };
    // A timer keeps messages coming, so that the run asks again while Ghostscript runs.
    const UINT_PTR timer = SetTimer(host_.OwnerWindow(), 7, 100, nullptr);
    host_.onMessage = [](UINT, WPARAM) {};
    const DWORD start = GetTickCount();
    const Raised raised = Run();
    KillTimer(host_.OwnerWindow(), timer);
    const DWORD elapsed = GetTickCount() - start;

    ASSERT_TRUE(raised.raised);
    EXPECT_FALSE(raised.inOutError);
    EXPECT_GE(elapsed, 1400u);
    EXPECT_LT(elapsed, 60000u) << "ended by the cancel, not the time limit";
    EXPECT_GT(asked, 1);
    EXPECT_TRUE(JobKeptUnchanged(job));
    // One sentence, the same as every other kept job's.
    EXPECT_EQ(raised.message, "PDF の作成を中止しました。ジョブファイルは " + KeptJob() +
                                  " に残してあります (このファイルを Vellumcast.exe "
                                  "に渡すと、あとで変換できます)");
    EXPECT_EQ(host_.events, (std::vector<ByteString>{"started", "ended"}));
    EXPECT_EQ(JobFilesStartingWith("$$pdf-"), std::vector<ByteString>{});
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
    EXPECT_FALSE(Recorded(2000)) << "no after-action";

    // The kept job converts later as any kept job does.
    const ByteString kept = KeptJob();
    testing_support::WriteFileBytes(kept, kOnePageJob);
    host_.cancelWhen = nullptr;
    inputs_.jobFile = kept;
    const Raised later = Run();
    ASSERT_FALSE(later.raised) << later.message;
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{"Report.pdf"});
}

TEST_F(ConversionRun, TheNoticeFollowsOnlyAnAutomaticStoreWithNotifyOn) {
    testing_support::MakeDirectory(root_ / "chosen");
    const struct {
        const char* what;
        int32_t skipSaveDialog;
        int32_t notify;
        bool notified;
    } cases[] = {
        {"stored automatically", 1, 1, true},
        {"any value but 0 is on", 1, 7, true},
        {"notice off", 1, 0, false},
        {"stored through the dialog", 0, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inputs_.settings.SkipSaveDialog = c.skipSaveDialog;
        inputs_.settings.Notify = c.notify;
        host_.dialogAnswer = root_ / "chosen\\Mine.pdf";
        host_.events.clear();
        host_.notified.clear();
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        const ByteString stored =
            c.skipSaveDialog ? root_ / "pdf\\Report.pdf" : root_ / "chosen\\Mine.pdf";
        EXPECT_TRUE(win::FileExists(stored));
        if (c.notified) {
            EXPECT_EQ(host_.notified, std::vector<ByteString>{stored});
            EXPECT_EQ(host_.events.back(), "notify");
        } else {
            EXPECT_EQ(host_.notified, std::vector<ByteString>{});
        }
        DeleteFileA(stored.c_str());
    }

    // A PDF that could not be stored is no stored PDF: no notice.
    inputs_.settings.SkipSaveDialog = 1;
    inputs_.settings.Notify = 1;
    inputs_.settings.DataFolder = root_ / "missing\\";
    host_.notified.clear();
    WriteJob(kOnePageJob);
    ASSERT_TRUE(Run().raised);
    EXPECT_EQ(host_.notified, std::vector<ByteString>{});
}

TEST_F(ConversionRun, AKeptJobSurvivesLaterJobsAndConvertsLaterUnderItsOwnName) {
    WriteDocName("見積書 第1版.xlsx");
    WriteJob("this is not PostScript at all\n");
    ASSERT_TRUE(Run().raised);
    const ByteString kept = KeptJob();
    ASSERT_FALSE(kept.empty());
    const ByteString keptBytes = testing_support::ReadFileBytes(kept);

    // Three later jobs, one of them of the same name.
    for (const char* name : {"見積書 第1版.xlsx", "second.doc", "third.doc"}) {
        SCOPED_TRACE(name);
        WriteDocName(name);
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        EXPECT_EQ(KeptJob(), kept);
        EXPECT_EQ(testing_support::ReadFileBytes(kept), keptBytes);
    }
    EXPECT_EQ(Files("pdf"),
              (std::vector<ByteString>{"second.pdf", "third.pdf", "見積書 第1版.pdf"}));

    // Mended, and converted by passing the kept job itself; the log now names another job.
    testing_support::WriteFileBytes(kept, kTwoPageJob);
    WriteDocName("unrelated.doc");
    inputs_.jobFile = kept;
    const Raised raised = Run();
    ASSERT_FALSE(raised.raised) << raised.message;
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{});
    EXPECT_NE(PdfText(root_ / "pdf\\見積書 第1版(1).pdf", scratch_).find("Second page"),
              ByteString::npos);
}

TEST_F(ConversionRun, DataFolderWithoutSeparatorOrEndingInADoubleByteCharacter) {
    for (const char* folder : {"out", "出力表"}) {
        SCOPED_TRACE(folder);
        testing_support::MakeDirectory(root_ / folder);
        inputs_.settings.DataFolder = root_ / folder; // no "\" at the end
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        EXPECT_EQ(Sorted(testing_support::ListDirectory(root_ / folder)),
                  std::vector<ByteString>{"Report.pdf"});
        EXPECT_FALSE(win::FileExists(root_.Path() + "\\" + folder + "Report.pdf"));
    }
}

TEST_F(ConversionRun, NoDataFolderKeepsThePdfWhereGhostscriptWroteIt) {
    for (const ByteString& folder : {ByteString(), root_ / "missing\\"}) {
        SCOPED_TRACE(folder);
        inputs_.settings.DataFolder = folder;
        inputs_.settings.DoLaunch = RunSpecified;
        inputs_.settings.LaunchApp = InstallRecorder();
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_TRUE(raised.raised);
        const std::vector<ByteString> left = JobFilesStartingWith("$$pdf-");
        ASSERT_EQ(left.size(), 1u);
        const ByteString kept = root_ / "jobs\\" + left[0];
        EXPECT_NE(raised.message.find(kept), ByteString::npos) << raised.message;
        EXPECT_NE(PdfText(kept, scratch_).find("Hello Vellumcast"), ByteString::npos);
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{left[0]});
        EXPECT_FALSE(Recorded(0));
        DeleteFileA(kept.c_str());
    }
}

TEST_F(ConversionRun, UniqueNameInTheDataFolderGoesToTheStartedProgram) {
    testing_support::WriteFileBytes(root_ / "pdf\\Report.pdf", "old one");
    testing_support::WriteFileBytes(root_ / "pdf\\Report(1).pdf", "old two");
    inputs_.settings.DoLaunch = RunSpecified;
    const ByteString app = InstallRecorder();
    inputs_.settings.LaunchApp = app;

    const Raised raised = Run();
    ASSERT_FALSE(raised.raised) << raised.message;
    const ByteString stored = root_ / "pdf\\Report(2).pdf";
    EXPECT_EQ(testing_support::ReadFileBytes(root_ / "pdf\\Report.pdf"), "old one");
    EXPECT_EQ(testing_support::ReadFileBytes(root_ / "pdf\\Report(1).pdf"), "old two");
    EXPECT_EQ(testing_support::ReadFileBytes(stored).substr(0, 5), "%PDF-");

    const auto recorded = Recorded(20000);
    ASSERT_TRUE(recorded);
    // The final path in double quotes is the only parameter; the program runs in its folder.
    const std::vector<ByteString> argv =
        testing_support::PlatformCommandLineArguments(recorded->first);
    ASSERT_EQ(argv.size(), 2u) << recorded->first;
    EXPECT_EQ(argv[1], stored);
    EXPECT_NE(recorded->first.find('"' + stored + '"'), ByteString::npos) << recorded->first;
    EXPECT_EQ(IncludeTrailingBackslash(recorded->second), ExtractFilePath(app));
}

TEST_F(ConversionRun, AfterActionsThatStartNothing) {
    const ByteString app = InstallRecorder();
    const struct {
        int32_t doLaunch;
        ByteString launchApp;
    } cases[] = {
        {DoNothing, app},
        {3, app},
        {-1, app},
        {RunSpecified, root_ / "app 表\\missing.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.doLaunch);
        inputs_.settings.DoLaunch = c.doLaunch;
        inputs_.settings.LaunchApp = c.launchApp;
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        EXPECT_TRUE(win::FileExists(root_ / "pdf\\Report.pdf"));
        // A started program would have written its record well within this time.
        EXPECT_FALSE(Recorded(3000));
        DeleteFileA((root_ / "pdf\\Report.pdf").c_str());
    }
}

TEST_F(ConversionRun, OpenAssociatedOpensTheStoredPdf) {
    // For this test the .pdf type opens with the recording program; the type's own
    // application comes back afterwards.
    char previous[256] = "";
    LONG previousSize = sizeof previous;
    const bool hadType =
        RegQueryValueA(HKEY_CLASSES_ROOT, ".pdf", previous, &previousSize) == ERROR_SUCCESS;
    win::ScopeExit restoreType([&] {
        if (hadType)
            RegSetValueA(HKEY_CLASSES_ROOT, ".pdf", REG_SZ, previous, 0);
        else
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ".pdf");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "VellumcastTest.Pdf");
    });
    const ByteString app = InstallRecorder();
    const ByteString command = "\"" + app + "\" \"%1\"";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "VellumcastTest.Pdf\\shell\\open\\command", REG_SZ,
                           command.c_str(), 0),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".pdf", REG_SZ, "VellumcastTest.Pdf", 0),
              ERROR_SUCCESS);

    inputs_.settings.DoLaunch = OpenAssociated;
    const Raised raised = Run();
    ASSERT_FALSE(raised.raised) << raised.message;
    const auto recorded = Recorded(20000);
    ASSERT_TRUE(recorded);
    const std::vector<ByteString> argv =
        testing_support::PlatformCommandLineArguments(recorded->first);
    ASSERT_EQ(argv.size(), 2u) << recorded->first;
    EXPECT_EQ(argv[1], root_ / "pdf\\Report.pdf");
}

TEST_F(ConversionRun, SaveDialogDecidesWhereThePdfGoes) {
    testing_support::MakeDirectory(root_ / "chosen");
    inputs_.settings.SkipSaveDialog = 0;
    inputs_.settings.DataFolder = root_ / "pdf\\";

    // Accepted: the PDF moves to the chosen path; the dialog opened in DataFolder.
    host_.dialogAnswer = root_ / "chosen\\Mine.pdf";
    ASSERT_FALSE(Run().raised);
    EXPECT_EQ(host_.askedDirectory, root_ / "pdf\\");
    EXPECT_EQ(host_.askedName, "Report.pdf");
    EXPECT_EQ(testing_support::ReadFileBytes(root_ / "chosen\\Mine.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{});

    // An existing file at the chosen path is replaced.
    WriteJob(kOnePageJob);
    testing_support::WriteFileBytes(root_ / "chosen\\Old.pdf", "older content");
    host_.dialogAnswer = root_ / "chosen\\Old.pdf";
    ASSERT_FALSE(Run().raised);
    EXPECT_NE(PdfText(root_ / "chosen\\Old.pdf", scratch_).find("Hello Vellumcast"),
              ByteString::npos);
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{});

    // A PDF left in the job folder under the user-visible name is not Ghostscript's output:
    // choosing that name replaces it with the new PDF.
    testing_support::WriteFileBytes(root_ / "jobs\\Report.pdf", "left behind");
    WriteJob(kOnePageJob);
    host_.dialogAnswer = root_ / "jobs\\Report.pdf";
    ASSERT_FALSE(Run().raised);
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"Report.pdf"});
    EXPECT_NE(PdfText(root_ / "jobs\\Report.pdf", scratch_).find("Hello Vellumcast"),
              ByteString::npos);
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
}

TEST_F(ConversionRun, APdfLeftBehindUnderTheJobsNameIsNeverOverwritten) {
    // Left by a failed move, a missing DataFolder or a converter killed during the dialog.
    testing_support::WriteFileBytes(root_ / "jobs\\Report.pdf", "%PDF- an earlier Report");
    const Raised raised = Run();
    ASSERT_FALSE(raised.raised) << raised.message;
    EXPECT_EQ(testing_support::ReadFileBytes(root_ / "jobs\\Report.pdf"),
              "%PDF- an earlier Report");
    EXPECT_NE(PdfText(root_ / "pdf\\Report.pdf", scratch_).find("Hello Vellumcast"),
              ByteString::npos);
}

TEST_F(ConversionRun, AFailedSaveDialogKeepsThePdfAndSaysWhere) {
    inputs_.settings.SkipSaveDialog = 0;
    inputs_.settings.DoLaunch = RunSpecified;
    inputs_.settings.LaunchApp = InstallRecorder();
    host_.dialogFailure = 0x3003; // FNERR_BUFFERTOOSMALL
    const Raised raised = Run();
    ASSERT_TRUE(raised.raised);
    const std::vector<ByteString> left = JobFilesStartingWith("$$pdf-");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(raised.message.find("保存ダイアログを表示できませんでした (エラー 0x3003)"),
              ByteString::npos)
        << raised.message;
    EXPECT_NE(raised.message.find(root_ / "jobs\\" + left[0]), ByteString::npos) << raised.message;
    EXPECT_NE(PdfText(root_ / "jobs\\" + left[0], scratch_).find("Hello Vellumcast"),
              ByteString::npos);
    EXPECT_FALSE(Recorded(2000));
}

TEST_F(ConversionRun, AFailedMoveKeepsThePdfNeverDeletesTheOldOneAndStartsNothing) {
    testing_support::MakeDirectory(root_ / "chosen");
    inputs_.settings.DoLaunch = RunSpecified;
    inputs_.settings.LaunchApp = InstallRecorder();
    inputs_.settings.SkipSaveDialog = 0;
    const struct {
        const char* what;
        ByteString target;
        std::function<win::UniqueFile(const ByteString&)> block; // what it returns stays open
        bool oldFileStays;
    } cases[] = {
        {"a viewer holds the old PDF open without sharing", root_ / "chosen\\Held.pdf",
         [](const ByteString& target) {
             testing_support::WriteFileBytes(target, "%PDF- old");
             return win::UniqueFile(CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
         },
         true},
        {"a folder of the PDF's name", root_ / "chosen\\Report.pdf",
         [](const ByteString& target) {
             testing_support::MakeDirectory(target);
             return win::UniqueFile();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ByteString& target = c.target;
        const win::UniqueFile held = c.block(target);
        WriteJob(kOnePageJob);
        host_.dialogAnswer = target;
        const Raised raised = Run();
        ASSERT_TRUE(raised.raised);
        const std::vector<ByteString> left = JobFilesStartingWith("$$pdf-");
        ASSERT_EQ(left.size(), 1u);
        const ByteString kept = root_ / "jobs\\" + left[0];
        EXPECT_NE(raised.message.find("PDF を " + target + " に保存できませんでした"),
                  ByteString::npos)
            << raised.message;
        EXPECT_NE(raised.message.find(kept), ByteString::npos) << raised.message;
        EXPECT_NE(PdfText(kept, scratch_).find("Hello Vellumcast"), ByteString::npos);
        if (c.oldFileStays) {
            EXPECT_TRUE(win::FileExists(target));
        }
        EXPECT_FALSE(Recorded(2000));
        DeleteFileA(kept.c_str());
    }
    // Storing automatically, a folder of the PDF's name is passed by.
    inputs_.settings.SkipSaveDialog = 1;
    inputs_.settings.DataFolder = root_ / "chosen";
    WriteJob(kOnePageJob);
    const Raised raised = Run();
    ASSERT_FALSE(raised.raised) << raised.message;
    EXPECT_TRUE(win::FileExists(root_ / "chosen\\Report(1).pdf"));
}

TEST_F(ConversionRun, CancelledSaveDialogLeavesNothingAndStartsNothing) {
    inputs_.settings.SkipSaveDialog = 0;
    inputs_.settings.DoLaunch = RunSpecified;
    inputs_.settings.LaunchApp = InstallRecorder();
    host_.dialogAnswer = std::nullopt;
    const Raised raised = Run();
    ASSERT_FALSE(raised.raised) << raised.message;
    EXPECT_EQ(host_.dialogCalls, 1);
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{});
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
    EXPECT_FALSE(Recorded(3000));
}

TEST_F(ConversionRun, NoJobTouchesNothing) {
    const ByteString directoryBefore = CurrentDirectory();
    for (const ByteString& job : {ByteString(), root_ / "jobs\\other\\$$temp.ps"}) {
        SCOPED_TRACE(job); // none given, or no job file waiting (another converter took it)
        ConversionInputs inputs = inputs_;
        inputs.jobFile = job;
        const Raised raised = Capture([&] { RunConversion(inputs, host_); });
        EXPECT_FALSE(raised.raised) << raised.message;
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"$$temp.ps"});
        EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
        EXPECT_EQ(CurrentDirectory(), directoryBefore);
    }
}

// Ghostscript's registry entries as its installer writes them, removed again at the end.
class RegisteredGhostscripts {
  public:
    ~RegisteredGhostscripts() {
        for (const char* view : {"/reg:32", "/reg:64"})
            testing_support::RunProcess(
                ByteString("reg delete \"HKLM\\SOFTWARE\\GPL Ghostscript\" /f ") + view);
    }
    // `reg add` as an installer would; view is "/reg:32" or "/reg:64".
    bool Add(const ByteString& version, const ByteString& dll, const char* view) {
        return testing_support::RunProcess("reg add \"HKLM\\SOFTWARE\\GPL Ghostscript\\" + version +
                                           "\" /v GS_DLL /t REG_SZ /d \"" + dll + "\" /f " +
                                           view) == 0;
    }
};

TEST_F(ConversionRun, WithoutAConfiguredGhostscriptTheRegisteredOneConverts) {
    for (const char* folder : {"gs10.02.1", "gs10.02.1\\bin", "gs9.56.1", "gs9.56.1\\bin"})
        testing_support::MakeDirectory(root_ / folder);
    ASSERT_TRUE(CopyInto(testing_support::BuildFile("tools\\gswin32c.exe"),
                         root_ / "gs10.02.1\\bin\\gswin32c.exe"));
    // An older version whose program is not Ghostscript at all: never chosen over a newer one.
    testing_support::WriteFileBytes(root_ / "gs9.56.1\\bin\\gswin32c.exe", "not a program");
    RegisteredGhostscripts registry;
    ASSERT_TRUE(registry.Add("9.56.1", root_ / "gs9.56.1\\bin\\gsdll32.dll", "/reg:64"));
    ASSERT_TRUE(registry.Add("10.02.1", root_ / "gs10.02.1\\bin\\gsdll32.dll", "/reg:32"));
    // A newer entry whose console program is gone (an uninstall left the key).
    ASSERT_TRUE(registry.Add("10.03.0", root_ / "gs10.03.0\\bin\\gsdll64.dll", "/reg:64"));

    for (const ByteString& configured : {ByteString(), root_ / "gs10.01.0\\bin\\gswin32c.exe"}) {
        SCOPED_TRACE(configured);
        inputs_.settings.ConverterPath = configured;
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        EXPECT_NE(PdfText(root_ / "pdf\\Report.pdf", scratch_).find("Hello Vellumcast"),
                  ByteString::npos);
        EXPECT_EQ(IncludeTrailingBackslash(CurrentDirectory()), root_ / "gs10.02.1\\bin\\");
        DeleteFileA((root_ / "pdf\\Report.pdf").c_str());
    }
}

TEST_F(ConversionRun, NoGhostscriptAnywhereKeepsTheJobAndSaysWhatToSet) {
    const struct {
        const char* what;
        ByteString converter;
        ByteString named;
    } cases[] = {
        {"not configured", "", "パスが設定されていません"},
        {"configured but gone", root_ / "gs10.01.0\\bin\\gswin32c.exe",
         "設定されたパス: " + root_ / "gs10.01.0\\bin\\gswin32c.exe"},
        {"a folder", root_ / "gs 表", "設定されたパス: " + root_ / "gs 表"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inputs_.settings.ConverterPath = c.converter;
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_TRUE(raised.raised);
        EXPECT_EQ(raised.message.rfind("Ghostscript が見つかりません (" + c.named + ")", 0), 0u)
            << raised.message;
        EXPECT_NE(raised.message.find("設定画面"), ByteString::npos) << raised.message;
        EXPECT_TRUE(JobKeptUnchanged(kOnePageJob));
        EXPECT_NE(raised.message.find(KeptJob()), ByteString::npos) << raised.message;
        EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
        RemoveKeptJobs();
    }
}

TEST_F(ConversionRun, LongTitlesInADeepFolderAreCutToFitAndStored) {
    // Program and data folders as deep as "C:\Program Files (x86)\Vellumcast\" or deeper.
    ByteString deep = root_.Path();
    while (deep.size() < 70)
        deep += "\\Program Files (x86)";
    testing_support::MakeDirectory(root_ / "Program Files (x86)");
    for (size_t at = root_.Path().size() + 1; at <= deep.size(); ++at) {
        if (at == deep.size() || deep[at] == '\\')
            testing_support::MakeDirectory(deep.substr(0, at));
    }
    ByteString japanese;
    for (int i = 0; i < 120; ++i)
        japanese += "議";
    const struct {
        const char* what;
        ByteString title;
        char first;
    } cases[] = {
        {"240-byte URL without a dot", "https:__example_com_" + ByteString(220, 'u'), 'h'},
        {"120 Japanese characters", japanese + ".docx", japanese[0]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inputs_.jobFile = deep + "\\$$temp.ps";
        inputs_.settings.DataFolder = deep + "\\";
        WriteDocName(c.title);
        WriteJob(kOnePageJob);
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        std::vector<ByteString> stored;
        for (const ByteString& name : testing_support::ListDirectory(deep)) {
            if (ExtractFileExt(name) == ".pdf")
                stored.push_back(name);
        }
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0][0], c.first);
        EXPECT_LE(deep.size() + 1 + stored[0].size(), 259u);
        EXPECT_NE(PdfText(deep + "\\" + stored[0], scratch_).find("Hello Vellumcast"),
                  ByteString::npos);
        DeleteFileA((deep + "\\" + stored[0]).c_str());
    }
}

TEST_F(ConversionRun, ConverterThatIsNoProgramRaisesExecError) {
    const ByteString notAProgram = root_ / "gs 表\\notgs.exe";
    testing_support::WriteFileBytes(notAProgram, "just text, not a program\r\n");
    inputs_.settings.ConverterPath = notAProgram;

    // The platform's own answer for starting this file.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ByteString line = "notgs.exe";
    ASSERT_FALSE(CreateProcessA(notAProgram.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                nullptr, nullptr, &startup, &info));
    const unsigned long expectedCode = GetLastError();
    ASSERT_NE(expectedCode, 0u);

    const Raised raised = Run();
    ASSERT_TRUE(raised.raised);
    EXPECT_FALSE(raised.inOutError);
    EXPECT_EQ(raised.message, "Exec Error " + std::to_string(expectedCode));
    EXPECT_TRUE(JobKeptUnchanged(kOnePageJob));
    EXPECT_EQ(JobFilesStartingWith("$$pdf-"), std::vector<ByteString>{});
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
}

TEST_F(ConversionRun, ConverterDirectoryThatCannotBeEnteredRaisesInOutError) {
    // A bare file name in the current directory has an empty directory part, which the
    // platform refuses as a current directory.
    ASSERT_TRUE(SetCurrentDirectoryA((root_ / "gs 表").c_str()));
    inputs_.settings.ConverterPath = "gswin32c.exe";
    ASSERT_FALSE(SetCurrentDirectoryA(""));
    const unsigned long expectedCode = GetLastError();

    const Raised raised = Run();
    ASSERT_TRUE(raised.raised);
    EXPECT_TRUE(raised.inOutError);
    EXPECT_EQ(raised.code, expectedCode);
    EXPECT_EQ(raised.message, InOutErrorMessage(expectedCode));
    EXPECT_TRUE(JobKeptUnchanged(kOnePageJob));
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
    EXPECT_EQ(host_.processCalls, 0);
}

TEST_F(ConversionRun, AnUnreadableOrStaleHandOffLogGivesTheDateAndTimeName) {
    // Held open without sharing by another program (a scanner), or left from an earlier
    // job because the capture could not replace it.
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "held" : "stale");
        WriteJob(kOnePageJob);
        win::UniqueFile holder;
        if (held) {
            holder.reset(CreateFileA(inputs_.handOffLog.c_str(), GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(holder);
        } else {
            FILETIME old{};
            old.dwHighDateTime = 0x01D00000; // years before the job file
            win::UniqueFile log(CreateFileA(inputs_.handOffLog.c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(SetFileTime(log.get(), nullptr, nullptr, &old));
        }
        const Raised raised = Run();
        ASSERT_FALSE(raised.raised) << raised.message;
        const std::vector<ByteString> stored = Files("pdf");
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0].rfind("prn_data(", 0), 0u) << stored[0];
        testing_support::RemoveTree(root_ / "pdf");
        testing_support::MakeDirectory(root_ / "pdf");
    }
}

TEST_F(ConversionRun, MessagesAreDispatchedWhileGhostscriptRuns) {
    WriteJob(kSlowJob);
    int postedSeen = 0;
    int ticksWhileRunning = 0;
    bool jobPresentAtPosted = false;
    host_.onMessage = [&](UINT message, WPARAM w) {
        const bool running = !KeptJob().empty(); // deleted once the wait ends
        if (message == WM_APP && w == 42) {
            ++postedSeen;
            jobPresentAtPosted = running;
        }
        if (message == WM_TIMER && running)
            ++ticksWhileRunning;
    };
    PostMessageA(host_.OwnerWindow(), WM_APP, 42, 0);
    SetTimer(host_.OwnerWindow(), 1, 50, nullptr);
    const Raised raised = Run();
    KillTimer(host_.OwnerWindow(), 1);
    ASSERT_FALSE(raised.raised) << raised.message;
    EXPECT_EQ(postedSeen, 1);
    EXPECT_TRUE(jobPresentAtPosted);
    // Messages that arrive during the wait are dispatched as they come, not at its end.
    EXPECT_GE(ticksWhileRunning, 3);
    EXPECT_TRUE(win::FileExists(root_ / "pdf\\Report.pdf"));
}

TEST_F(ConversionRun, QuitDuringTheWaitIsNotedAndTheRunGoesOn) {
    WriteJob(kSlowJob);
    bool posted = false;
    bool jobPresentAtQuit = false;
    host_.onMessage = [&](UINT message, WPARAM) {
        if (message == WM_TIMER && !posted) {
            posted = true;
            PostQuitMessage(0);
        }
    };
    host_.onQuit = [&] { jobPresentAtQuit = !KeptJob().empty(); };
    SetTimer(host_.OwnerWindow(), 1, 100, nullptr);
    const Raised raised = Run();
    KillTimer(host_.OwnerWindow(), 1);
    ASSERT_FALSE(raised.raised) << raised.message;
    EXPECT_EQ(host_.quitsNoted, 1);
    EXPECT_TRUE(jobPresentAtQuit);
    // The wait went on to Ghostscript's end: the whole PDF is stored.
    EXPECT_NE(PdfText(root_ / "pdf\\Report.pdf", scratch_).find("Slow job"), ByteString::npos);
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{});
}

// ---- the save dialog, operated from a second thread as a user would ------------------

namespace {
// A visible common dialog of this process other than except; nullptr after the time-out.
HWND WaitForDialog(HWND except) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000) {
        for (HWND window :
             testing_support::TopLevelWindows("#32770", nullptr, GetCurrentProcessId())) {
            if (window != except && IsWindowVisible(window))
                return window;
        }
        Sleep(50);
    }
    return nullptr;
}

// The file name box: a combo box in the Explorer-style dialog, else an edit box.
HWND FileNameBox(HWND dialog) {
    constexpr int kFileNameCombo = 0x47C;
    constexpr int kFileNameEdit = 0x480;
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    return box ? box : GetDlgItem(dialog, kFileNameEdit);
}

ByteString FirstFilterText(HWND dialog) {
    constexpr int kFilterCombo = 0x470;
    char text[256] = "";
    SendDlgItemMessageA(dialog, kFilterCombo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    return text;
}
} // namespace

TEST(SaveDialog, TypedNameGetsTheDefaultExtensionInTheInitialDirectory) {
    TempDir dir;
    TestHost owner;
    TSaveDialog dialog(nullptr, kPdfSaveDialog);
    ByteString shownName;
    ByteString filterText;
    std::thread user([&] {
        HWND shown = WaitForDialog(nullptr);
        if (!shown)
            return;
        shownName = testing_support::Text(FileNameBox(shown));
        filterText = FirstFilterText(shown);
        testing_support::TypeText(FileNameBox(shown), "typed");
        testing_support::Click(GetDlgItem(shown, IDOK));
    });
    const auto chosen =
        ChooseSavePath(dialog, owner.OwnerWindow(), dir.Path() + "\\", "Report.pdf");
    user.join();
    EXPECT_EQ(shownName, "Report.pdf");
    EXPECT_EQ(filterText, "*.pdf");
    ASSERT_TRUE(chosen.path);
    EXPECT_EQ(chosen.failure, 0u);
    EXPECT_EQ(*chosen.path, dir / "typed.pdf");
}

TEST(SaveDialog, CancelGivesNothing) {
    TempDir dir;
    TestHost owner;
    TSaveDialog dialog(nullptr, kPdfSaveDialog);
    std::thread user([&] {
        if (HWND shown = WaitForDialog(nullptr))
            testing_support::Click(GetDlgItem(shown, IDCANCEL));
    });
    const auto chosen = ChooseSavePath(dialog, owner.OwnerWindow(), dir.Path(), "Report.pdf");
    user.join();
    EXPECT_FALSE(chosen.path);
    EXPECT_EQ(chosen.failure, 0u) << "a cancel is no failure";
    EXPECT_EQ(dialog.FileName, "Report.pdf");
}

TEST(SaveDialog, AnExistingFileIsChosenOnlyAfterConfirmation) {
    TempDir dir;
    testing_support::WriteFileBytes(dir / "Old.pdf", "older content");
    TestHost owner;
    TSaveDialog dialog(nullptr, kPdfSaveDialog);
    bool confirmationShown = false;
    std::thread user([&] {
        HWND shown = WaitForDialog(nullptr);
        if (!shown)
            return;
        testing_support::TypeText(FileNameBox(shown), "Old.pdf");
        testing_support::Click(GetDlgItem(shown, IDOK));
        HWND confirmation = WaitForDialog(shown);
        confirmationShown = confirmation != nullptr;
        if (confirmation)
            testing_support::Click(GetDlgItem(confirmation, IDYES));
    });
    const auto chosen = ChooseSavePath(dialog, owner.OwnerWindow(), dir.Path(), "Report.pdf");
    user.join();
    EXPECT_TRUE(confirmationShown);
    ASSERT_TRUE(chosen.path);
    EXPECT_EQ(*chosen.path, dir / "Old.pdf");
}
