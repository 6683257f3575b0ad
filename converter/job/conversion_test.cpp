// The conversion run: its pure pieces as tables, and whole runs on real files in a
// temporary folder with real Ghostscript (the bridge built as gswin32c.exe).
#include "converter/job/conversion.h"
#include "converter/job/save_dialog.h"

#include "base/errors.h"
#include "base/path_parts.h"
#include "base/win/files.h"
#include "base/win/handles.h"
#include "tests/support/test_support.h"
#include "tests/support/window_driver.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using testing_support::TempDir;

namespace {

// ---- helpers -------------------------------------------------------------------------

std::tm FixedTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::wstring Wide(const ByteString& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(size);
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
    return wide.data();
}

ByteString Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> narrow(size);
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow.data();
}

// A command line split the way the platform splits it for a program.
std::vector<ByteString> SplitCommandLine(const ByteString& commandLine) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(Wide(commandLine).c_str(), &count);
    std::vector<ByteString> pieces;
    for (int i = 0; i < count; ++i)
        pieces.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return pieces;
}

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

    HWND WindowHandle() const override { return window_; }

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

    std::optional<ByteString> ChooseSavePath(const ByteString& initialDirectory,
                                             const ByteString& fileName) override {
        ++dialogCalls;
        askedDirectory = initialDirectory;
        askedName = fileName;
        return dialogAnswer;
    }

    std::optional<ByteString> dialogAnswer;
    int dialogCalls = 0;
    ByteString askedDirectory;
    ByteString askedName;
    int processCalls = 0;
    int quitsNoted = 0;
    std::function<void(UINT, WPARAM)> onMessage;
    std::function<void()> onQuit;

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

// ---- pure pieces ---------------------------------------------------------------------

TEST(ResolutionText, TableValuesAndEmptyOutsideIt) {
    const struct {
        int32_t index;
        const char* text;
    } cases[] = {{0, "72"},   {1, "150"}, {2, "200"}, {3, "300"}, {4, "400"},      {5, "600"},
                 {6, "1200"}, {7, ""},    {-1, ""},   {100, ""},  {INT32_MIN, ""}, {INT32_MAX, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(ResolutionText(c.index), c.text);
    }
}

TEST(SanitizeDocName, ReplacesUnsafeSingleByteCharactersKeepingLength) {
    const struct {
        const char* name;
        const char* cleaned;
    } cases[] = {
        {"a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"\\\\//::", "______"},
        {"plain name.doc", "plain name.doc"},
        // 表 and ソ end in the byte of "\" and keep their bytes.
        {"表ソ\\表", "表ソ_表"},
        {"\x83\x7C|", "\x83\x7C_"}, // a double-byte character whose trail byte is "|"
        {"tab\there\x01\x1F\r\n.doc", "tab_here____.doc"},
        {"   ", "   "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteString cleaned = SanitizeDocName(c.name);
        EXPECT_EQ(cleaned, c.cleaned);
        EXPECT_EQ(cleaned.size(), ByteString(c.name).size());
    }
}

TEST(Timestamp, FourDigitYearAndTwoDigitParts) {
    EXPECT_EQ(Timestamp(FixedTime(2026, 12, 6, 22, 52, 2)), "2026年12月06日22時52分02秒");
    EXPECT_EQ(Timestamp(FixedTime(2027, 1, 2, 3, 4, 5)), "2027年01月02日03時04分05秒");
    EXPECT_EQ(Timestamp(FixedTime(1999, 10, 31, 0, 0, 59)), "1999年10月31日00時00分59秒");
}

TEST(OutputPath, NamesThePdfInTheJobsDirectory) {
    const std::tm when = FixedTime(2026, 12, 6, 22, 52, 2);
    const struct {
        const char* jobPath;
        const char* docName;
        const char* output;
    } cases[] = {
        {"C:\\jobs\\$$temp.ps", "議事録 - 第2版.doc", "C:\\jobs\\議事録 - 第2版.pdf"},
        {"C:\\jobs\\$$temp.ps", "C:\\docs\\report.txt", "C:\\jobs\\C__docs_report.pdf"},
        {"C:\\jobs\\$$temp.ps", "index.html?q=1", "C:\\jobs\\index.pdf"},
        {"C:\\jobs\\$$temp.ps", "a.b.c", "C:\\jobs\\a.b.pdf"},
        {"C:\\jobs\\$$temp.ps", "readme", "C:\\jobs\\readme.pdf"},
        {"C:\\jobs\\$$temp.ps", "abc.", "C:\\jobs\\abc.pdf"},
        {"C:\\jobs\\$$temp.ps", "表ソ.txt", "C:\\jobs\\表ソ.pdf"},
        {"C:\\jobs\\$$temp.ps", "見積表", "C:\\jobs\\見積表.pdf"},
        {"C:\\jobs\\$$temp.ps", "   ", "C:\\jobs\\   .pdf"},
        {"C:\\jobs\\$$temp.ps", "line\x01two\x1F.doc", "C:\\jobs\\line_two_.pdf"},
        {"C:\\jobs\\$$temp.ps", "", "C:\\jobs\\prn_data(2026年12月06日22時52分02秒).pdf"},
        {"C:\\表\\$$temp.ps", "x.doc", "C:\\表\\x.pdf"},
        {"C:\\表\\$$temp.ps", "", "C:\\表\\prn_data(2026年12月06日22時52分02秒).pdf"},
        {"\\\\server\\share\\$$temp.ps", "r.txt", "\\\\server\\share\\r.pdf"},
        // Device names become real files; names that only begin like one stay.
        {"C:\\jobs\\$$temp.ps", "CON", "C:\\jobs\\CON_.pdf"},
        {"C:\\jobs\\$$temp.ps", "con.doc", "C:\\jobs\\con_.pdf"},
        {"C:\\jobs\\$$temp.ps", "Nul.tar.gz", "C:\\jobs\\Nul_.tar.pdf"},
        {"C:\\jobs\\$$temp.ps", "lpt9.txt", "C:\\jobs\\lpt9_.pdf"},
        {"C:\\jobs\\$$temp.ps", "COM1", "C:\\jobs\\COM1_.pdf"},
        {"C:\\jobs\\$$temp.ps", "aux .doc", "C:\\jobs\\aux_ .pdf"},
        {"C:\\jobs\\$$temp.ps", "PRN", "C:\\jobs\\PRN_.pdf"},
        {"C:\\jobs\\$$temp.ps", "COM10", "C:\\jobs\\COM10.pdf"},
        {"C:\\jobs\\$$temp.ps", "CONSOLE.doc", "C:\\jobs\\CONSOLE.pdf"},
        {"C:\\jobs\\$$temp.ps", "LPT", "C:\\jobs\\LPT.pdf"},
        {"C:\\jobs\\$$temp.ps", "my con.doc", "C:\\jobs\\my con.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.docName);
        EXPECT_EQ(OutputPath(c.jobPath, c.docName, when), c.output);
    }
}

TEST(GhostscriptCommandLine, ExactTextOfTheUsualCase) {
    EXPECT_EQ(GhostscriptCommandLine("C:\\gs\\bin\\gswin32c.exe", "300", "C:\\jobs\\Report.pdf",
                                     "C:\\jobs\\$$temp.ps", u"Report"),
              "gswin32c.exe -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 "
              "-sOutputFile=\"C:\\jobs\\Report.pdf\" -c 300000 setvmthreshold save pop -f "
              "\"C:\\jobs\\$$temp.ps\" -c [ /Title <FEFF005200650070006F00720074> "
              "/Creator (Vellumcast) /DOCINFO pdfmark");
}

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
        EXPECT_EQ(SplitCommandLine(line), c.argv) << line;
    }
}

// The title travels as hex digits of UTF-16BE after a byte-order mark: whatever the name
// holds (quotes, blanks, parentheses, backslashes, Japanese), the same eight arguments
// follow the job.
TEST(GhostscriptCommandLine, TitleAfterTheJobAsUtf16HexString) {
    const struct {
        std::u16string title;
        const char* hex;
    } cases[] = {
        {u"見積書", "<FEFF898B7A4D66F8>"},
        {u"a\"b) (c\\", "<FEFF0061002200620029002000280063005C>"},
        {u"議事録 - 第2版.doc", "<FEFF8B704E8B93320020002D00207B2C00327248002E0064006F0063>"},
        {u"\uFFFF\u0001", "<FEFFFFFF0001>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex);
        const ByteString line = GhostscriptCommandLine("C:\\gs\\gswin32c.exe", "72", "C:\\j\\a.pdf",
                                                       "C:\\j\\$$temp.ps", c.title);
        const std::vector<ByteString> args = SplitCommandLine(line);
        const std::vector<ByteString> untitled = SplitCommandLine(GhostscriptCommandLine(
            "C:\\gs\\gswin32c.exe", "72", "C:\\j\\a.pdf", "C:\\j\\$$temp.ps", u""));
        const std::vector<ByteString> docInfo = {
            "-c", "[", "/Title", c.hex, "/Creator", "(Vellumcast)", "/DOCINFO", "pdfmark"};
        ASSERT_EQ(args.size(), untitled.size() + docInfo.size()) << line;
        EXPECT_TRUE(std::equal(untitled.begin(), untitled.end(), args.begin())) << line;
        EXPECT_TRUE(std::equal(docInfo.begin(), docInfo.end(), args.begin() + untitled.size()))
            << line;
    }
    // No name: nothing after the job, so Ghostscript's own Title and Creator stay.
    EXPECT_EQ(DocInfoArguments(u""), "");
}

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
        EXPECT_EQ(MakeUniqueName(dir / c.name), dir / c.expected);
    }
}

TEST(MakeUniqueName, ADirectoryOfThatNameIsNoFile) {
    TempDir dir;
    testing_support::MakeDirectory(dir / "Report.pdf");
    EXPECT_EQ(MakeUniqueName(dir / "Report.pdf"), dir / "Report.pdf");
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
        EXPECT_EQ(StoragePath(c.folder, "C:\\jobs\\Report.pdf"), c.expected);
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
        WriteJob(kOnePageJob);
        WriteDocName("Report.doc");
        SetEnvironmentVariableA("VELLUMCAST_RECORD_ARGS", record_.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("VELLUMCAST_RECORD_ARGS", nullptr);
        SetCurrentDirectoryA(savedDirectory_.c_str());
    }

    void WriteJob(const ByteString& postScript) {
        testing_support::WriteFileBytes(inputs_.jobFile, postScript);
    }
    void WriteDocName(const ByteString& name) {
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
    bool JobKeptUnchanged(const ByteString& postScript) {
        return win::FileExists(inputs_.jobFile) &&
               testing_support::ReadFileBytes(inputs_.jobFile) == postScript;
    }

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
        EXPECT_FALSE(win::FileExists(inputs_.jobFile));
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

TEST_F(ConversionRun, FailedGhostscriptKeepsTheJobAndLeavesNoPdf) {
    const struct {
        const char* what;
        ByteString job;
        ByteString docName;
    } cases[] = {
        {"not PostScript", "this is not PostScript at all\n", "Report.doc"},
        {"PostScript error",
         "%!PS\n/Helvetica findfont 24 scalefont setfont\n72 720 moveto "
         "(Half) show\nundefined_operator_here\nshowpage\n",
         "Report.doc"},
        {"output name too long", kOnePageJob, ByteString(300, 'a') + ".doc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteJob(c.job);
        WriteDocName(c.docName);
        inputs_.settings.DoLaunch = RunSpecified;
        inputs_.settings.LaunchApp = InstallRecorder();
        const Raised raised = Run();
        ASSERT_TRUE(raised.raised);
        EXPECT_FALSE(raised.inOutError);
        EXPECT_NE(raised.message.find("PDF を作成できませんでした"), ByteString::npos)
            << raised.message;
        EXPECT_NE(raised.message.find(inputs_.jobFile), ByteString::npos) << raised.message;
        EXPECT_TRUE(JobKeptUnchanged(c.job));
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"$$temp.ps"});
        EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
        EXPECT_FALSE(Recorded(0));
    }
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
        const ByteString kept = root_ / "jobs\\Report.pdf";
        EXPECT_NE(raised.message.find(kept), ByteString::npos) << raised.message;
        EXPECT_NE(PdfText(kept, scratch_).find("Hello Vellumcast"), ByteString::npos);
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"Report.pdf"});
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
    const std::vector<ByteString> argv = SplitCommandLine(recorded->first);
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
    const std::vector<ByteString> argv = SplitCommandLine(recorded->first);
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

    // The chosen path is the output path itself (also spelled in another letter case).
    for (const ByteString& same : {root_ / "jobs\\Report.pdf", root_ / "JOBS\\report.PDF"}) {
        SCOPED_TRACE(same);
        WriteJob(kOnePageJob);
        host_.dialogAnswer = same;
        ASSERT_FALSE(Run().raised);
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"Report.pdf"});
        EXPECT_NE(PdfText(root_ / "jobs\\Report.pdf", scratch_).find("Hello Vellumcast"),
                  ByteString::npos);
        DeleteFileA((root_ / "jobs\\Report.pdf").c_str());
    }
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
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

TEST_F(ConversionRun, NoJobOrNoConverterTouchesNothing) {
    const struct {
        const char* what;
        ByteString jobFile;
        ByteString converter;
    } cases[] = {
        {"no job", "", converter_},
        {"no converter", inputs_.jobFile, ""},
        {"converter missing", inputs_.jobFile, root_ / "gs 表\\gone.exe"},
        {"converter is a folder", inputs_.jobFile, root_ / "gs 表"},
    };
    const ByteString directoryBefore = CurrentDirectory();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConversionInputs inputs = inputs_;
        inputs.jobFile = c.jobFile;
        inputs.settings.ConverterPath = c.converter;
        const Raised raised = Capture([&] { RunConversion(inputs, host_); });
        EXPECT_FALSE(raised.raised) << raised.message;
        EXPECT_TRUE(JobKeptUnchanged(kOnePageJob));
        EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"$$temp.ps"});
        EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
        EXPECT_EQ(host_.processCalls, 0);
        EXPECT_EQ(CurrentDirectory(), directoryBefore);
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
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"$$temp.ps"});
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

TEST_F(ConversionRun, UnreadableHandOffLogStopsBeforeGhostscript) {
    // A capture program writing the log holds it without sharing.
    win::UniqueFile writer(CreateFileA(inputs_.handOffLog.c_str(), GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    const Raised raised = Run();
    ASSERT_TRUE(raised.raised);
    EXPECT_TRUE(raised.inOutError);
    EXPECT_EQ(raised.code, 32u);
    EXPECT_TRUE(JobKeptUnchanged(kOnePageJob));
    EXPECT_EQ(Files("jobs"), std::vector<ByteString>{"$$temp.ps"});
    EXPECT_EQ(Files("pdf"), std::vector<ByteString>{});
    EXPECT_EQ(host_.processCalls, 0);
}

TEST_F(ConversionRun, MessagesAreDispatchedWhileGhostscriptRuns) {
    WriteJob(kSlowJob);
    int postedSeen = 0;
    int ticksWhileRunning = 0;
    bool jobPresentAtPosted = false;
    host_.onMessage = [&](UINT message, WPARAM w) {
        const bool running = win::FileExists(inputs_.jobFile); // deleted once the wait ends
        if (message == WM_APP && w == 42) {
            ++postedSeen;
            jobPresentAtPosted = running;
        }
        if (message == WM_TIMER && running)
            ++ticksWhileRunning;
    };
    PostMessageA(host_.WindowHandle(), WM_APP, 42, 0);
    SetTimer(host_.WindowHandle(), 1, 50, nullptr);
    const Raised raised = Run();
    KillTimer(host_.WindowHandle(), 1);
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
    host_.onQuit = [&] { jobPresentAtQuit = win::FileExists(inputs_.jobFile); };
    SetTimer(host_.WindowHandle(), 1, 100, nullptr);
    const Raised raised = Run();
    KillTimer(host_.WindowHandle(), 1);
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
             window_driver::TopLevelWindows("#32770", nullptr, GetCurrentProcessId())) {
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
        shownName = window_driver::Text(FileNameBox(shown));
        filterText = FirstFilterText(shown);
        window_driver::TypeText(FileNameBox(shown), "typed");
        window_driver::Click(GetDlgItem(shown, IDOK));
    });
    const auto chosen =
        ChooseSavePath(dialog, owner.WindowHandle(), dir.Path() + "\\", "Report.pdf");
    user.join();
    EXPECT_EQ(shownName, "Report.pdf");
    EXPECT_EQ(filterText, "*.pdf");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, dir / "typed.pdf");
}

TEST(SaveDialog, CancelGivesNothing) {
    TempDir dir;
    TestHost owner;
    TSaveDialog dialog(nullptr, kPdfSaveDialog);
    std::thread user([&] {
        if (HWND shown = WaitForDialog(nullptr))
            window_driver::Click(GetDlgItem(shown, IDCANCEL));
    });
    const auto chosen = ChooseSavePath(dialog, owner.WindowHandle(), dir.Path(), "Report.pdf");
    user.join();
    EXPECT_FALSE(chosen);
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
        window_driver::TypeText(FileNameBox(shown), "Old.pdf");
        window_driver::Click(GetDlgItem(shown, IDOK));
        HWND confirmation = WaitForDialog(shown);
        confirmationShown = confirmation != nullptr;
        if (confirmation)
            window_driver::Click(GetDlgItem(confirmation, IDYES));
    });
    const auto chosen = ChooseSavePath(dialog, owner.WindowHandle(), dir.Path(), "Report.pdf");
    user.join();
    EXPECT_TRUE(confirmationShown);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, dir / "Old.pdf");
}

TEST(CommonDialogFilter, PairsWithALoneTextAsItsOwnPattern) {
    const struct {
        const char* filter;
        ByteString expected;
    } cases[] = {
        {"*.pdf", ByteString("*.pdf\0*.pdf\0\0", 13)},
        {"PDF|*.pdf", ByteString("PDF\0*.pdf\0\0", 11)},
        {"PDF|*.pdf|All|*.*", ByteString("PDF\0*.pdf\0All\0*.*\0\0", 19)},
        {"表|*.pdf", ByteString("表\0*.pdf\0\0", 10)},
        {"", ByteString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(CommonDialogFilter(c.filter), c.expected);
    }
}
