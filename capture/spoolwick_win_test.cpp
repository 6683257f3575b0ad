// Spoolwick.exe under Wine: the job file, the hand-off log and the converter's start, in
// folders of every awkward kind, on the failure paths, and for jobs that follow each other
// before the previous converter has finished.
#include "base/win/files_win.h"
#include "handoff/coordination_win.h"
#include "capture/capture_runner_win.h"
#include "tests/support/test_support_win.h"
#include "tests/support/window_driver_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

using capture::RunCapture;
using capture::RunningCapture;
using testing_support::BuildFile;
using testing_support::Exists;
using testing_support::ListDirectory;
using testing_support::MakeDirectory;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::UsersDataFolder;
using testing_support::WriteFileBytes;

namespace {

const ByteString kMarker = "REDMON_DOCNAME=";

// n bytes that run through every byte value, CR, LF, 0x1A and 0x00 included.
ByteString Pattern(size_t n, unsigned seed = 0) {
    ByteString bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = char((i * 31 + i / 251 + seed * 17) & 0xFF);
    return bytes;
}

ByteString Repeat(const ByteString& unit, size_t count) {
    ByteString text;
    for (size_t i = 0; i < count; ++i)
        text += unit;
    return text;
}

// A folder under a fresh temporary folder holding Spoolwick.exe and, when asked, the
// stand-in converter as Vellumcast.exe. The capture runs with another current directory.
class CaptureFolder {
  public:
    enum class Converter { None, StandIn };

    CaptureFolder(const ByteString& folderName, Converter converter) {
        Populate(folderName, converter);
    }

    // A folder whose directory prefix (path and "\\") is exactly prefixLength bytes long.
    CaptureFolder(size_t prefixLength, Converter converter) {
        const size_t rootLength = root_.Path().size() + 1;
        ByteString name;
        while (rootLength + name.size() + 1 < prefixLength) {
            if (!name.empty())
                name += "\\";
            const size_t room = prefixLength - rootLength - name.size() - 1;
            name += ByteString(std::min<size_t>(room, 60), 'p');
        }
        Populate(name, converter);
    }

    const ByteString& Path() const { return path_; }
    ByteString Prefix() const { return path_ + "\\"; }
    ByteString operator/(const ByteString& name) const { return path_ + "\\" + name; }
    ByteString JobFile() const { return *this / "$$temp.ps"; }
    ByteString Log() const { return ReadFileBytes(*this / "log.txt"); }
    ByteString Executable() const { return *this / "Spoolwick.exe"; }
    ByteString Elsewhere() const { return root_ / "elsewhere"; }

    int Capture(const ByteString& stream, const std::optional<ByteString>& documentName,
                size_t pieceSize = 0) const {
        return RunCapture(Executable(), stream, documentName, Elsewhere(), pieceSize);
    }

    // Returns once every started stand-in converter has finished: no job file and no kept
    // job is left (each converter deletes its kept job when done).
    void WaitForConverter() const {
        for (int waited = 0; waited < 1200; ++waited) {
            if (!Exists(JobFile()) && KeptJobs().empty())
                return;
            Sleep(100);
        }
        ADD_FAILURE() << "converters still busy after two minutes";
    }

    // Kept jobs ("$$kept-...ps") in the folder.
    std::vector<ByteString> KeptJobs() const {
        std::vector<ByteString> names;
        for (const ByteString& name : FilesEndingIn(".ps")) {
            if (name.rfind("$$kept-", 0) == 0)
                names.push_back(name);
        }
        return names;
    }

    std::vector<ByteString> FilesEndingIn(const ByteString& suffix) const {
        std::vector<ByteString> names;
        for (const ByteString& name : ListDirectory(path_)) {
            if (name.size() >= suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    void Populate(const ByteString& folderName, Converter converter) {
        path_ = root_.Path();
        size_t start = 0;
        while (start <= folderName.size()) {
            const size_t end = std::min(folderName.find('\\', start), folderName.size());
            path_ += "\\" + folderName.substr(start, end - start);
            MakeDirectory(path_);
            start = end + 1;
        }
        Copy(BuildFile("capture/Spoolwick.exe"), *this / "Spoolwick.exe");
        if (converter == Converter::StandIn)
            Copy(BuildFile("tools/fake_converter.exe"), *this / "Vellumcast.exe");
        MakeDirectory(root_ / "elsewhere");
    }

    static void Copy(const ByteString& from, const ByteString& to) {
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << " -> " << to;
    }

    TempDir root_{"cap"};
    ByteString path_;
};

// The stand-in converter's delay, for this process and the captures it starts.
class ConverterDelay {
  public:
    explicit ConverterDelay(int ms) {
        SetEnvironmentVariableA("FAKE_CONVERTER_DELAY_MS", std::to_string(ms).c_str());
    }
    ~ConverterDelay() { SetEnvironmentVariableA("FAKE_CONVERTER_DELAY_MS", nullptr); }
};

struct StreamCase {
    const char* label;
    ByteString stream;
    size_t pieceSize;
};

TEST(CaptureStream, StoresEveryByteAsItCame) {
    const StreamCase cases[] = {
        {"empty stream", "", 0},
        {"one byte short of a block", Pattern(8191), 0},
        {"exactly one block", Pattern(8192), 0},
        {"one byte over a block", Pattern(8193), 0},
        {"several blocks", Pattern(3 * 8192 + 77, 1), 0},
        {"line ends, Ctrl+Z and zero bytes",
         ByteString("%!PS\r\nCR LF\nlone LF\rlone CR\x1a after Ctrl+Z\0zero\r\r\n\x1a", 55), 0},
        {"short pieces through the pipe", Pattern(20000, 2), 7},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.label);
        CaptureFolder folder("jobs", CaptureFolder::Converter::None);
        // No converter to start: the job file stays for the next print to keep.
        EXPECT_EQ(folder.Capture(c.stream, ByteString("job.ps"), c.pieceSize), 2);
        EXPECT_TRUE(folder.FilesEndingIn(".out").empty());
        const ByteString stored = ReadFileBytes(folder.JobFile());
        EXPECT_EQ(stored.size(), c.stream.size());
        EXPECT_TRUE(stored == c.stream);
        EXPECT_EQ(folder.Log(), kMarker + "job.ps\r\n");
    }
}

TEST(CaptureInstalledCopy, KeepsTheJobInTheUsersFolderAndWritesNothingBesideThePrograms) {
    const UsersDataFolder user;
    CaptureFolder folder("Program Files\\表 Vellumcast", CaptureFolder::Converter::StandIn);
    WriteFileBytes(folder / "Vellumcast.ini", "[Install]\r\nPerUser=1\r\n");
    const ByteString stream = Pattern(20000, 3);
    EXPECT_EQ(folder.Capture(stream, ByteString("見積書")), 0);
    // The stand-in converter writes what it got beside itself.
    for (int waited = 0; waited < 600 && !Exists(folder / "見積書.out"); ++waited)
        Sleep(100);
    EXPECT_TRUE(ReadFileBytes(folder / "見積書.out") == stream);
    EXPECT_EQ(ReadFileBytes(folder / "見積書.args"), user / "$$temp.ps\n");
    EXPECT_EQ(ReadFileBytes(user / "log.txt"), kMarker + "見積書\r\n");
    std::vector<ByteString> names = ListDirectory(folder.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<ByteString>{"Spoolwick.exe", "Vellumcast.exe", "Vellumcast.ini",
                                              "見積書.args", "見積書.cmdline", "見積書.out"}));
}

struct NameCase {
    const char* label;
    std::optional<ByteString> name;
    size_t keptLength; // of the name in the log
};

TEST(CaptureLog, HoldsTheDocumentNameCutOnlyOnACharacterBoundary) {
    const ByteString japanese = "議事録 - 第2版.doc";
    const ByteString odd = "a:b*c?\"<>|/\\ ソ表 .doc  ";
    const NameCase cases[] = {
        {"unset", std::nullopt, 0},
        {"set but empty", ByteString(), 0},
        {"Japanese", japanese, japanese.size()},
        {"characters no file name allows, trailing blanks", odd, odd.size()},
        {"242 bytes fit", ByteString(242, 'n'), 242},
        {"243 bytes are cut to 242", ByteString(243, 'n'), 242},
        {"far longer than any buffer", ByteString(5000, 'n'), 242},
        {"121 double-byte characters fit", Repeat("表", 121), 242},
        {"a cut through 表 moves before it", "a" + Repeat("表", 121), 241},
        {"a cut through ソ moves before it", "ab" + Repeat("ソ", 150), 242},
        {"long double-byte name", Repeat("議", 3000), 242},
        {"single-byte katakana are whole characters", Repeat("ｱｲｳ", 100), 242},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.label);
        CaptureFolder folder("names", CaptureFolder::Converter::None);
        EXPECT_EQ(folder.Capture("%!PS\n", c.name), 2);
        const ByteString expected = c.name ? c.name->substr(0, c.keptLength) : ByteString();
        EXPECT_EQ(folder.Log(), kMarker + expected + "\r\n");
    }
    CaptureFolder folder("unset", CaptureFolder::Converter::None);
    folder.Capture("%!PS\n", std::nullopt);
    EXPECT_EQ(folder.Log().size(), 17u);
}

struct FolderCase {
    const char* label;
    ByteString folderName; // or, when empty,
    size_t prefixLength;   // a folder whose prefix has this length
};

TEST(CaptureConverterStart, FindsItselfAndTheConverterInAnyFolder) {
    const FolderCase cases[] = {
        {"plain", "plain", 0},
        {"表 (trail byte 0x5C)", "表", 0},
        {"ソ (trail byte 0x5C)", "ソ", 0},
        {"spaces", "print jobs of today", 0},
        {"nested double-byte names", "表 and ソ\\ソ表", 0},
        {"prefix of 115 bytes: a command line of 258", "", 115},
        {"prefix of 116 bytes: one more than the old buffer held", "", 116},
        {"prefix of 200 bytes", "", 200},
    };
    const ByteString stream = "%!PS-Adobe-3.0\r\n" + Pattern(10000, 3);
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.label);
        const auto converter = CaptureFolder::Converter::StandIn;
        const CaptureFolder folder = c.folderName.empty() ? CaptureFolder(c.prefixLength, converter)
                                                          : CaptureFolder(c.folderName, converter);
        if (c.prefixLength != 0) {
            ASSERT_EQ(folder.Prefix().size(), c.prefixLength);
        }
        const ByteString prefix = folder.Prefix();
        EXPECT_EQ(folder.Capture(stream, ByteString("job 表")), 0);
        folder.WaitForConverter();

        ASSERT_EQ(folder.FilesEndingIn(".out"), std::vector<ByteString>{"job 表.out"});
        EXPECT_TRUE(ReadFileBytes(folder / "job 表.out") == stream);
        EXPECT_EQ(ReadFileBytes(folder / "job 表.cmdline"),
                  "\"" + prefix + "Vellumcast.exe\" \"" + prefix + "$$temp.ps\"");
        EXPECT_EQ(ReadFileBytes(folder / "job 表.args"), prefix + "$$temp.ps\n");
        EXPECT_EQ(folder.Log(), kMarker + "job 表\r\n");
        EXPECT_FALSE(Exists(folder.JobFile()));
        EXPECT_FALSE(Exists(folder.Elsewhere() + "\\$$temp.ps"));
    }
}

struct BlockedJobCase {
    const char* label;
    win::UniqueFile (*block)(const ByteString& jobFile); // what it returns stays open
};

TEST(CaptureFailures, AJobFileThatCannotBeReplacedKeepsTheNewJobUnderAKeptName) {
    const BlockedJobCase cases[] = {
        {"the job file is a directory",
         [](const ByteString& job) {
             MakeDirectory(job);
             return win::UniqueFile();
         }},
        {"another process holds the job file without sharing",
         [](const ByteString& job) {
             WriteFileBytes(job, "previous job");
             return win::UniqueFile(CreateFileA(job.c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
         }},
    };
    const ByteString previousLog = kMarker + "previous.doc\r\n";
    const ByteString stream = Pattern(1000, 4);
    for (const BlockedJobCase& c : cases) {
        SCOPED_TRACE(c.label);
        CaptureFolder folder("blocked", CaptureFolder::Converter::StandIn);
        WriteFileBytes(folder / "log.txt", previousLog);
        const win::UniqueFile held = c.block(folder.JobFile());

        RunningCapture capture(folder.Executable(), ByteString("new.doc"), folder.Elsewhere(),
                               /*keepReadEnd=*/true);
        capture.Feed(stream);
        EXPECT_EQ(capture.Wait(), 2) << "stored, but not handed on";
        EXPECT_EQ(capture.UnreadBytes(), 0u);

        const std::vector<ByteString> kept = folder.KeptJobs();
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_TRUE(ReadFileBytes(folder / kept[0]) == stream);
        EXPECT_EQ(ReadFileBytes(folder / (kept[0].substr(0, kept[0].size() - 3) + ".name")),
                  kMarker + "new.doc\r\n");
        EXPECT_EQ(folder.Log(), previousLog);
        EXPECT_TRUE(folder.FilesEndingIn(".out").empty());
        EXPECT_TRUE(folder.FilesEndingIn(".args").empty());
    }
}

TEST(CaptureFailures, ALogThatCannotBeWrittenStillStartsTheConverter) {
    const struct {
        const char* label;
        std::function<win::UniqueFile(const ByteString&)> block; // what it returns stays open
    } cases[] = {
        {"log.txt is a folder",
         [](const ByteString& log) {
             MakeDirectory(log);
             return win::UniqueFile();
         }},
        {"a scanner holds log.txt without sharing",
         [](const ByteString& log) {
             WriteFileBytes(log, kMarker + "an earlier job.doc\r\n");
             return win::UniqueFile(CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CaptureFolder folder("nolog", CaptureFolder::Converter::StandIn);
        const win::UniqueFile held = c.block(folder / "log.txt");
        const ByteString stream = Pattern(9000, 5);
        EXPECT_EQ(folder.Capture(stream, ByteString("kept.doc")), 0);
        folder.WaitForConverter();
        // The converter had no name to read: never an earlier job's.
        ASSERT_EQ(folder.FilesEndingIn(".out"), std::vector<ByteString>{"unnamed.out"});
        EXPECT_TRUE(ReadFileBytes(folder / "unnamed.out") == stream);
    }
}

TEST(CaptureFailures, AnUnconvertedJobFileIsKeptWithItsNameNotReplaced) {
    CaptureFolder folder("leftover", CaptureFolder::Converter::StandIn);
    // A converter crashed (or was killed) before it took this job over.
    WriteFileBytes(folder.JobFile(), "%!PS the earlier job");
    WriteFileBytes(folder / "log.txt", kMarker + "見積書.xlsx\r\n");
    const ByteString stream = Pattern(5000, 13);
    EXPECT_EQ(folder.Capture(stream, ByteString("later")), 0);
    // The later job's converter runs; wait for its output only (the kept job stays).
    for (int waited = 0; waited < 600 && !Exists(folder / "later.out"); ++waited)
        Sleep(100);
    ASSERT_TRUE(Exists(folder / "later.out"));
    EXPECT_TRUE(ReadFileBytes(folder / "later.out") == stream);
    const std::vector<ByteString> kept = folder.KeptJobs();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFileBytes(folder / kept[0]), "%!PS the earlier job");
    EXPECT_EQ(ReadFileBytes(folder / (kept[0].substr(0, kept[0].size() - 3) + ".name")),
              kMarker + "見積書.xlsx\r\n");
}

struct Job {
    ByteString name;
    ByteString stream;
};

// Every job's own output under its own name, and nothing else.
void ExpectEachJobConvertedOnce(const CaptureFolder& folder, const std::vector<Job>& jobs) {
    std::vector<ByteString> expectedNames;
    for (const Job& job : jobs) {
        expectedNames.push_back(job.name + ".out");
        SCOPED_TRACE(job.name);
        ASSERT_TRUE(Exists(folder / (job.name + ".out")));
        const ByteString converted = ReadFileBytes(folder / (job.name + ".out"));
        EXPECT_EQ(converted.size(), job.stream.size());
        EXPECT_TRUE(converted == job.stream);
    }
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(folder.FilesEndingIn(".out"), expectedNames);
    EXPECT_FALSE(Exists(folder.JobFile()));
}

std::vector<Job> DistinctJobs() {
    return {
        {"第1版", "%!PS first\n" + Pattern(4000, 6)},
        {"report", "%!PS second\n" + Pattern(300000, 7)}, // more than the pipe holds
        {"議事録 - 第2版.doc", "%!PS third\r\n"},
        {"ソース一覧", "%!PS fourth\n" + Pattern(8192, 8)},
        {"empty", ""},
        {"sixth", "%!PS sixth\n" + Pattern(123, 9)},
    };
}

TEST(CaptureBackToBack, EachJobReachesItsOwnConverterWhileEarlierOnesStillRun) {
    CaptureFolder folder("back to back", CaptureFolder::Converter::StandIn);
    const ConverterDelay delay(400); // each converter holds its job a while before reading
    const std::vector<Job> jobs = DistinctJobs();
    for (const Job& job : jobs)
        EXPECT_EQ(folder.Capture(job.stream, job.name), 0) << job.name;
    folder.WaitForConverter();
    ExpectEachJobConvertedOnce(folder, jobs);
}

TEST(CaptureBackToBack, CapturesStartedTogetherTakeTurns) {
    CaptureFolder folder("together", CaptureFolder::Converter::StandIn);
    const ConverterDelay delay(200);
    // Small enough for the pipes to hold while a capture waits for its turn.
    const std::vector<Job> jobs = {
        {"left", "%!PS left\n" + Pattern(1500, 10)},
        {"right", "%!PS right\n" + Pattern(1700, 11)},
        {"middle", "%!PS middle\n" + Pattern(1600, 12)},
    };
    std::vector<RunningCapture> captures;
    captures.reserve(jobs.size());
    for (const Job& job : jobs)
        captures.emplace_back(folder.Executable(), job.name, folder.Elsewhere());
    for (size_t offset = 0; offset < 1800; offset += 100) {
        for (size_t i = 0; i < jobs.size(); ++i) {
            if (offset < jobs[i].stream.size())
                captures[i].Feed(jobs[i].stream.substr(offset, 100));
        }
    }
    // Every input ends before any wait: whichever capture took its turn first needs its own.
    for (RunningCapture& capture : captures)
        capture.CloseInput();
    for (RunningCapture& capture : captures)
        EXPECT_EQ(capture.Wait(), 0);
    folder.WaitForConverter();
    ExpectEachJobConvertedOnce(folder, jobs);
}

} // namespace

namespace {

// The file name box of a save dialog: a combo box in the Explorer-style dialog, else an
// edit box.
HWND FileNameBox(HWND dialog) {
    constexpr int kFileNameCombo = 0x47C;
    constexpr int kFileNameEdit = 0x480;
    HWND box = GetDlgItem(dialog, kFileNameCombo);
    return box ? box : GetDlgItem(dialog, kFileNameEdit);
}

// Visible save dialogs of any process (only this test's converters show any).
std::vector<HWND> SaveDialogs() {
    std::vector<HWND> dialogs;
    for (HWND window : testing_support::TopLevelWindows("#32770", nullptr)) {
        if (IsWindowVisible(window) && FileNameBox(window))
            dialogs.push_back(window);
    }
    return dialogs;
}

ByteString OnePage(const ByteString& text) {
    return "%!PS-Adobe-3.0\n/Helvetica findfont 20 scalefont setfont\n72 700 moveto (" + text +
           ") show\nshowpage\n";
}

} // namespace

TEST(CaptureWithTheConverter, PrintsWhileSaveDialogsAreOpenAreCapturedAtOnceEachItsOwnPdf) {
    CaptureFolder folder("dialogs", CaptureFolder::Converter::None);
    ASSERT_TRUE(CopyFileA(BuildFile("converter/app/Vellumcast.exe").c_str(),
                          (folder / "Vellumcast.exe").c_str(), FALSE));
    TempDir data("capdata");
    WriteFileBytes(folder / "Vellumcast.ini",
                   "[Conv]\r\nPath=" + BuildFile("tools/gswin32c.exe") + "\r\n[Data]\r\nPath=" +
                       data.Path() + "\\\r\n[Dlg]\r\nInh=0\r\n[App]\r\nDoLaunch=2\r\n");
    const std::vector<std::pair<ByteString, ByteString>> jobs = {
        {"見積書.xlsx", "First of three"},
        {"見積書.xlsx", "Second of three"}, // the same name: each its own PDF all the same
        {"report.doc", "Third of three"},
    };
    for (size_t i = 0; i < jobs.size(); ++i) {
        SCOPED_TRACE(jobs[i].second);
        const DWORD start = GetTickCount();
        EXPECT_EQ(folder.Capture(OnePage(jobs[i].second), jobs[i].first), 0);
        // Never waits for another job's dialog.
        EXPECT_LT(GetTickCount() - start, 30000u);
        for (int waited = 0; waited < 600 && SaveDialogs().size() < i + 1; ++waited)
            Sleep(100);
        ASSERT_EQ(SaveDialogs().size(), i + 1);
    }
    // Each dialog offers its job's name; the user stores each under a name of its own.
    std::vector<ByteString> offered;
    int n = 0;
    for (HWND dialog : SaveDialogs()) {
        offered.push_back(testing_support::Text(FileNameBox(dialog)));
        testing_support::TypeText(FileNameBox(dialog),
                                  data / ("answer" + std::to_string(++n) + ".pdf"));
        testing_support::Click(GetDlgItem(dialog, IDOK));
        ASSERT_TRUE(
            testing_support::WaitForNoTopLevel("#32770", testing_support::Text(dialog).c_str()) ||
            !IsWindow(dialog));
    }
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<ByteString>{"report.pdf", "見積書.pdf", "見積書.pdf"}));
    std::vector<ByteString> texts;
    for (int i = 1; i <= 3; ++i) {
        const ByteString pdf = data / ("answer" + std::to_string(i) + ".pdf");
        for (int waited = 0; waited < 600 && !Exists(pdf); ++waited)
            Sleep(100);
        ASSERT_TRUE(Exists(pdf));
        const ByteString textFile = data / "text.txt";
        ASSERT_EQ(
            testing_support::RunHostProgram({"/usr/bin/pdftotext", testing_support::UnixPathOf(pdf),
                                             testing_support::UnixPathOf(textFile)}),
            0);
        const ByteString text = ReadFileBytes(textFile);
        texts.push_back(text.substr(0, text.find_first_of("\r\n\f")));
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts,
              (std::vector<ByteString>{"First of three", "Second of three", "Third of three"}));
    EXPECT_FALSE(Exists(folder.JobFile()));
    EXPECT_TRUE(folder.KeptJobs().empty());
}
