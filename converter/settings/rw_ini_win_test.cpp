// The settings store on real INI files in a temporary folder, and the integer read rule.
#include "converter/settings/rw_ini.h"

#include "base/errors.h"
#include "base/win/files_win.h"
#include "base/win/handles_win.h"
#include "converter/settings/ini_file.h"
#include "tests/support/test_support_win.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <typeinfo>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using IniSections = std::map<ByteString, std::map<ByteString, ByteString>>;

// The sections and keys of an INI text as written on disk, blanks around "=" trimmed.
IniSections ParseIniText(const ByteString& text) {
    IniSections sections;
    ByteString section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == ByteString::npos)
            end = text.size();
        const ByteString line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            sections[section];
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == ByteString::npos)
            continue;
        auto trim = [](ByteString s) {
            s.erase(0, s.find_first_not_of(' '));
            s.erase(s.find_last_not_of(' ') + 1);
            return s;
        };
        sections[section][trim(line.substr(0, equals))] = trim(line.substr(equals + 1));
    }
    return sections;
}

bool operator==(const TAppSettings& a, const TAppSettings& b) {
    return a.WindowTop == b.WindowTop && a.WindowLeft == b.WindowLeft && a.DoLaunch == b.DoLaunch &&
           a.LaunchApp == b.LaunchApp && a.ConverterPath == b.ConverterPath &&
           a.DataFolder == b.DataFolder && a.ResolutionIndex == b.ResolutionIndex &&
           a.SkipSaveDialog == b.SkipSaveDialog && a.Notify == b.Notify;
}

// Every field set to something other than its default.
TAppSettings SampleSettings() {
    TAppSettings s;
    s.WindowTop = -20;
    s.WindowLeft = 2147483647;
    s.DoLaunch = 7; // outside the window's range: stored as it is
    s.LaunchApp = "C:\\Program Files\\表示ソフト\\viewer.exe";
    s.ConverterPath = "C:\\gs\\bin\\gswin32c.exe";
    s.DataFolder = "D:\\PDF 資料\\ソ\\";
    s.ResolutionIndex = -1;
    s.SkipSaveDialog = 1;
    s.Notify = 0;
    return s;
}

} // namespace

TEST(SettingsFile, LiesBesideTheExecutableUnderItsName) {
    EXPECT_EQ(SettingsFilePath(), testing_support::BuildFile("converter/settings/rw_ini_test.ini"));
}

TEST(SettingsFile, MissingFileGivesTheDefaultsAndIsNotCreated) {
    TempDir dir;
    TAppSettings settings = SampleSettings();
    ReadSettingsFrom(dir / "Vellumcast.ini", settings);

    EXPECT_EQ(settings.WindowTop, 0);
    EXPECT_EQ(settings.WindowLeft, 0);
    EXPECT_EQ(settings.DoLaunch, 0);
    EXPECT_EQ(settings.LaunchApp, "");
    EXPECT_EQ(settings.ConverterPath, "");
    EXPECT_EQ(settings.DataFolder, "");
    EXPECT_EQ(settings.ResolutionIndex, 3);
    EXPECT_EQ(settings.SkipSaveDialog, 0);
    EXPECT_EQ(settings.Notify, 1);
    EXPECT_TRUE(testing_support::ListDirectory(dir.Path()).empty());
}

TEST(SettingsFile, WriteCreatesSixSectionsWithEightKeys) {
    TempDir dir;
    const ByteString ini = dir / "Vellumcast.ini";
    TAppSettings defaults;
    defaults.ResolutionIndex = 3;
    WriteSettingsTo(ini, defaults);

    const IniSections expected = {
        {"Pos", {{"Top", "0"}, {"Left", "0"}}},
        {"App", {{"DoLaunch", "0"}, {"Launch", ""}}},
        {"Conv", {{"Path", ""}}},
        {"Data", {{"Path", ""}}},
        {"PDF", {{"Res", "3"}}},
        {"Dlg", {{"Inh", "0"}}},
    };
    const ByteString text = ReadFileBytes(ini);
    EXPECT_EQ(ParseIniText(text), expected) << text;
}

TEST(SettingsFile, RoundTripKeepsEveryFieldUnchanged) {
    TempDir dir;
    const ByteString ini = dir / "Vellumcast.ini";
    const TAppSettings written = SampleSettings();
    WriteSettingsTo(ini, written);

    TAppSettings read;
    ReadSettingsFrom(ini, read);
    EXPECT_TRUE(read == written);

    // Integers in "%d" form, texts exactly as held (Shift-JIS bytes, trailing "\").
    const IniSections sections = ParseIniText(ReadFileBytes(ini));
    EXPECT_EQ(sections.at("Pos").at("Top"), "-20");
    EXPECT_EQ(sections.at("Pos").at("Left"), "2147483647");
    EXPECT_EQ(sections.at("PDF").at("Res"), "-1");
    EXPECT_EQ(sections.at("Data").at("Path"), "D:\\PDF 資料\\ソ\\");
}

TEST(SettingsFile, RewriteReplacesValuesAndKeepsUnknownSectionsAndKeys) {
    TempDir dir;
    const ByteString ini = dir / "Vellumcast.ini";
    WriteFileBytes(ini, "[Pos]\r\nTop=5\r\nExtra=keep me\r\n\r\n[Other]\r\nA=b\r\n\r\n"
                        "[PDF]\r\nRes=6\r\n");
    TAppSettings settings = SampleSettings();
    WriteSettingsTo(ini, settings);
    WriteSettingsTo(ini, settings); // a second write adds nothing

    const IniSections sections = ParseIniText(ReadFileBytes(ini));
    EXPECT_EQ(sections.size(), 7u);
    EXPECT_EQ(sections.at("Pos"),
              (std::map<ByteString, ByteString>{
                  {"Top", "-20"}, {"Left", "2147483647"}, {"Extra", "keep me"}}));
    EXPECT_EQ(sections.at("Other"), (std::map<ByteString, ByteString>{{"A", "b"}}));
    EXPECT_EQ(sections.at("PDF"), (std::map<ByteString, ByteString>{{"Res", "-1"}}));

    TAppSettings read;
    ReadSettingsFrom(ini, read);
    EXPECT_TRUE(read == settings);
}

TEST(SettingsFile, IntegerKeysFollowTheReadRuleWithTheirOwnDefaults) {
    struct Case {
        const char* section;
        const char* key;
        const char* text;
        int32_t TAppSettings::*field;
        int32_t expected;
    };
    const Case cases[] = {
        {"PDF", "Res", "0x6", &TAppSettings::ResolutionIndex, 6},
        {"PDF", "Res", "$A", &TAppSettings::ResolutionIndex, 10},
        {"PDF", "Res", "x10", &TAppSettings::ResolutionIndex, 16},
        {"PDF", "Res", "0x", &TAppSettings::ResolutionIndex, 3},
        {"PDF", "Res", "6dpi", &TAppSettings::ResolutionIndex, 3},
        {"PDF", "Res", "-0x1", &TAppSettings::ResolutionIndex, 3},
        {"PDF", "Res", "", &TAppSettings::ResolutionIndex, 3},
        {"PDF", "Res", "9", &TAppSettings::ResolutionIndex, 9},
        {"Pos", "Top", "-20", &TAppSettings::WindowTop, -20},
        {"Pos", "Top", "+5", &TAppSettings::WindowTop, 5},
        {"Pos", "Top", "2147483648", &TAppSettings::WindowTop, 0},
        {"Pos", "Top", "-2147483648", &TAppSettings::WindowTop, INT_MIN},
        {"Pos", "Left", "abc", &TAppSettings::WindowLeft, 0},
        {"App", "DoLaunch", "7", &TAppSettings::DoLaunch, 7},
        {"Dlg", "Inh", "$FFFFFFFF", &TAppSettings::SkipSaveDialog, -1},
        {"Dlg", "Notify", "0", &TAppSettings::Notify, 0},
        {"Dlg", "Notify", "$2", &TAppSettings::Notify, 2},
        {"Dlg", "Notify", "off", &TAppSettings::Notify, 1},
        {"Dlg", "Notify", "", &TAppSettings::Notify, 1},
    };
    TempDir dir;
    const ByteString ini = dir / "Vellumcast.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(ByteString(c.section) + "/" + c.key + "=" + c.text);
        // Beside a well-formed integer key in another section, which must keep its value.
        const bool besideDoLaunch =
            c.field == &TAppSettings::SkipSaveDialog || c.field == &TAppSettings::Notify;
        const ByteString neighbour =
            besideDoLaunch ? "[App]\r\nDoLaunch=1\r\n" : "[Dlg]\r\nInh=1\r\n";
        WriteFileBytes(ini, neighbour + "[" + c.section + "]\r\n" + c.key + "=" + c.text + "\r\n");
        TAppSettings settings;
        ReadSettingsFrom(ini, settings);
        EXPECT_EQ(settings.*c.field, c.expected);
        EXPECT_EQ(besideDoLaunch ? settings.DoLaunch : settings.SkipSaveDialog, 1);
    }
}

TEST(SettingsFile, NotifyIsWrittenOnlyWhenItDiffersFromTheFile) {
    struct Case {
        const char* name;
        const char* fileDlg; // the [Dlg] section before the write
        int32_t notify;      // the value held when the window closes
        const char* after;   // [Dlg] Notify after the write, "<missing>" when absent
    };
    const Case cases[] = {
        {"absent, left on", "[Dlg]\r\nInh=0\r\n", 1, "<missing>"},
        {"absent, turned off", "[Dlg]\r\nInh=0\r\n", 0, "0"},
        {"off, left off", "[Dlg]\r\nInh=0\r\nNotify=0\r\n", 0, "0"},
        {"off, turned on", "[Dlg]\r\nInh=0\r\nNotify=0\r\n", 1, "1"},
        {"malformed (reads as on), left on", "[Dlg]\r\nInh=0\r\nNotify=ja\r\n", 1, "ja"},
        {"malformed, turned off", "[Dlg]\r\nInh=0\r\nNotify=ja\r\n", 0, "0"},
    };
    TempDir dir;
    const ByteString ini = dir / "Vellumcast.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(ini, c.fileDlg);
        TAppSettings settings;
        ReadSettingsFrom(ini, settings);
        settings.Notify = c.notify;
        WriteSettingsTo(ini, settings);
        const IniSections sections = ParseIniText(ReadFileBytes(ini));
        const auto& dlg = sections.at("Dlg");
        const auto found = dlg.find("Notify");
        EXPECT_EQ(found == dlg.end() ? ByteString("<missing>") : found->second, c.after);
        TAppSettings read;
        ReadSettingsFrom(ini, read);
        EXPECT_EQ(read.Notify, c.notify);
    }

    // A file the settings window wrote, read and written back unchanged, stays byte for
    // byte the same.
    DeleteFileA(ini.c_str());
    WriteSettingsTo(ini, TAppSettings());
    const ByteString before = ReadFileBytes(ini);
    EXPECT_EQ(before.find("Notify"), ByteString::npos) << before;
    TAppSettings settings;
    ReadSettingsFrom(ini, settings);
    WriteSettingsTo(ini, settings);
    EXPECT_EQ(ReadFileBytes(ini), before);
}

TEST(SettingsFile, LongTextValueIsCutTo2047Bytes) {
    TempDir dir;
    const ByteString ini = dir / "Vellumcast.ini";
    ByteString longValue;
    for (int i = 0; longValue.size() < 3000; ++i)
        longValue += char('a' + i % 26);
    WriteFileBytes(ini, "[Conv]\r\nPath=" + longValue + "\r\n");

    TAppSettings settings;
    ReadSettingsFrom(ini, settings);
    EXPECT_EQ(settings.ConverterPath, longValue.substr(0, 2047));
}

namespace {
// WriteSettingsTo must raise Exception "<path> に書き込めません".
void ExpectWriteRefused(const ByteString& ini) {
    try {
        WriteSettingsTo(ini, SampleSettings());
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(typeid(e), typeid(Exception));
        EXPECT_EQ(e.Message(), ini + " に書き込めません");
    }
}

// Whether the platform refuses to open a read-only file for writing. Wine running as the
// Unix superuser does not: the Unix permission bits it maps the attribute to bind no one.
bool PlatformRefusesWritingReadOnlyFiles(const ByteString& readOnlyFile) {
    const win::UniqueFile probe(CreateFileA(readOnlyFile.c_str(), GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !probe;
}
} // namespace

TEST(SettingsFile, WriteRefusedRaisesTheErrorAndLeavesTheFileUnchanged) {
    TempDir dir;
    {
        SCOPED_TRACE("settings file held open by another writer without sharing");
        const ByteString ini = dir / "held.ini";
        WriteSettingsTo(ini, TAppSettings());
        const ByteString before = ReadFileBytes(ini);
        {
            const win::UniqueFile holder(CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(holder);
            ExpectWriteRefused(ini);
        }
        EXPECT_EQ(ReadFileBytes(ini), before);
    }
    {
        SCOPED_TRACE("folder of the settings file missing");
        ExpectWriteRefused(dir / "missing folder\\Vellumcast.ini");
        EXPECT_FALSE(testing_support::Exists(dir / "missing folder"));
    }
}

TEST(SettingsFile, ReadOnlyFileRaisesTheWriteErrorAndStaysUnchanged) {
    TempDir dir;
    const ByteString ini = dir / "Vellumcast.ini";
    WriteSettingsTo(ini, TAppSettings());
    ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    if (!PlatformRefusesWritingReadOnlyFiles(ini))
        GTEST_SKIP() << "this platform lets a read-only file be written (Wine as root)";
    const ByteString before = ReadFileBytes(ini);
    ExpectWriteRefused(ini);
    EXPECT_EQ(ReadFileBytes(ini), before);
}

namespace {
// An accessor that records each write and refuses one key, as the platform would.
class RefusingIniFile : public TCustomIniFile {
  public:
    explicit RefusingIniFile(ByteString refusedKey)
        : TCustomIniFile("X:\\v.ini"), refused_(std::move(refusedKey)) {}

    ByteString ReadString(const char*, const char*, const ByteString& d) const override {
        return d;
    }
    void WriteString(const char* section, const char* key, const ByteString& value) override {
        const ByteString name = ByteString(section) + "/" + key;
        if (name == refused_)
            throw Exception(FileName() + " に書き込めません");
        written.push_back(name + "=" + value);
    }
    void DeleteKey(const char* section, const char* key) override {
        written.push_back(ByteString(section) + "/" + key + " removed");
    }

    std::vector<ByteString> written;

  private:
    ByteString refused_;
};
} // namespace

TEST(SettingsFile, WritesKeysInRecordOrderAndStopsAtTheRefusedOne) {
    RefusingIniFile all("none");
    WriteSettingsWith(all, SampleSettings());
    EXPECT_EQ(all.written, (std::vector<ByteString>{
                               "Pos/Top=-20",
                               "Pos/Left=2147483647",
                               "App/DoLaunch=7",
                               "App/Launch=C:\\Program Files\\表示ソフト\\viewer.exe",
                               "Conv/Path=C:\\gs\\bin\\gswin32c.exe",
                               "Data/Path=D:\\PDF 資料\\ソ\\",
                               "PDF/Res=-1",
                               "Dlg/Inh=1",
                               "Dlg/Notify=0",
                           }));

    RefusingIniFile refusing("Conv/Path");
    EXPECT_THROW(WriteSettingsWith(refusing, SampleSettings()), Exception);
    EXPECT_EQ(refusing.written,
              std::vector<ByteString>(all.written.begin(), all.written.begin() + 4));
}

TEST(SettingsFile, GlobalRecordGoesToTheFileBesideTheExecutable) {
    const ByteString ini = SettingsFilePath();
    DeleteFileA(ini.c_str());
    const win::ScopeExit removeIni([&] { DeleteFileA(ini.c_str()); });

    AppSettings = SampleSettings();
    WriteSettings();
    EXPECT_TRUE(win::FileExists(ini));

    AppSettings = TAppSettings();
    ReadSettings();
    EXPECT_TRUE(AppSettings == SampleSettings());
}
