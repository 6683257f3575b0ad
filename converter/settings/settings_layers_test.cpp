// The settings of an installed copy in two layers: the machine's defaults and the user's own
// file, read key by key and written back as the user's differences only.
#include "converter/settings/ini_file.h"
#include "converter/settings/rw_ini.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// An INI file in memory; "<missing>" stands for a key that is not there.
class MemoryIniFile : public TCustomIniFile {
  public:
    MemoryIniFile() : TCustomIniFile("M:\\memory.ini") {}

    ByteString ReadString(const char* section, const char* key,
                          const ByteString& defaultValue) const override {
        const auto found = keys.find({section, key});
        return found == keys.end() ? defaultValue : found->second;
    }
    void WriteString(const char* section, const char* key, const ByteString& value) override {
        keys[{section, key}] = value;
    }
    void DeleteKey(const char* section, const char* key) override { keys.erase({section, key}); }

    ByteString Get(const char* section, const char* key) const {
        return ReadString(section, key, "<missing>");
    }

    std::map<std::pair<ByteString, ByteString>, ByteString> keys;
};

TEST(SettingsLayers, EachKeyComesFromTheUsersFileElseFromTheMachinesDefaults) {
    MemoryIniFile machine;
    machine.WriteString("Conv", "Path", "C:\\Program Files\\Vellumcast\\gs\\gswin32c.exe");
    machine.WriteString("PDF", "Res", "5");
    machine.WriteString("Dlg", "Inh", "1");
    machine.WriteString("App", "DoLaunch", "2");
    machine.WriteString("Conv", "TimeLimit", "600");

    const struct {
        const char* section;
        const char* key;
        const char* userValue; // nullptr: the user's file lacks the key
        int32_t TAppSettings::*integer;
        ByteString TAppSettings::*text;
        const char* expectedText;
        int32_t expectedInteger;
    } cases[] = {
        // absent: the machine's default, or the built-in one where the machine has none
        {"Conv", "Path", nullptr, nullptr, &TAppSettings::ConverterPath,
         "C:\\Program Files\\Vellumcast\\gs\\gswin32c.exe", 0},
        {"Dlg", "Notify", nullptr, &TAppSettings::Notify, nullptr, "", 1},
        // equal to the default
        {"PDF", "Res", "5", &TAppSettings::ResolutionIndex, nullptr, "", 5},
        // changed by the user, text and integer, an empty text included
        {"Conv", "Path", "D:\\gs\\表\\gswin32c.exe", nullptr, &TAppSettings::ConverterPath,
         "D:\\gs\\表\\gswin32c.exe", 0},
        {"Data", "Path", "", nullptr, &TAppSettings::DataFolder, "", 0},
        {"Dlg", "Inh", "0", &TAppSettings::SkipSaveDialog, nullptr, "", 0},
        {"Conv", "TimeLimit", "0", &TAppSettings::TimeLimit, nullptr, "", 0},
        // malformed in the user's file: the machine's default stands
        {"App", "DoLaunch", "often", &TAppSettings::DoLaunch, nullptr, "", 2},
        {"PDF", "Res", "", &TAppSettings::ResolutionIndex, nullptr, "", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ByteString(c.section) + "/" + c.key + "=" +
                     (c.userValue ? c.userValue : "<missing>"));
        MemoryIniFile user;
        if (c.userValue)
            user.WriteString(c.section, c.key, c.userValue);
        TAppSettings settings;
        settings.ResolutionIndex = 99; // nothing of an earlier record survives the read
        ReadLayeredSettingsWith(machine, user, settings);
        if (c.integer)
            EXPECT_EQ(settings.*c.integer, c.expectedInteger);
        else
            EXPECT_EQ(settings.*c.text, c.expectedText);
    }
}

TEST(SettingsLayers, OnlyTheUsersChangesAreWrittenAndUntouchedKeysFollowTheDefaults) {
    MemoryIniFile machine;
    machine.WriteString("Conv", "Path", "C:\\gs\\9\\gswin32c.exe");
    machine.WriteString("PDF", "Res", "4");
    MemoryIniFile user;
    user.WriteString("PDF", "Res", "2");         // set earlier, now back to the default
    user.WriteString("Conv", "TimeLimit", "60"); // set by hand: the window never writes it
    user.WriteString("Other", "Key", "kept");    // not ours: left alone

    TAppSettings settings;
    ReadLayeredSettingsWith(machine, user, settings);
    ASSERT_EQ(settings.ResolutionIndex, 2);
    settings.ResolutionIndex = 4;
    settings.DoLaunch = DoNothing;
    settings.LaunchApp = "C:\\Tools\\表示.exe";
    settings.TimeLimit = 5;
    WriteUserSettingsWith(machine, user, settings);

    EXPECT_EQ(user.keys, (std::map<std::pair<ByteString, ByteString>, ByteString>{
                             {{"App", "DoLaunch"}, "2"},
                             {{"App", "Launch"}, "C:\\Tools\\表示.exe"},
                             {{"Conv", "TimeLimit"}, "60"},
                             {{"Other", "Key"}, "kept"},
                         }));
    // The machine's defaults are never written.
    EXPECT_EQ(machine.keys.size(), 2u);

    // An administrator changes the defaults later: the keys the user never changed follow.
    machine.WriteString("Conv", "Path", "C:\\gs\\10\\gswin32c.exe");
    machine.WriteString("PDF", "Res", "6");
    machine.WriteString("App", "DoLaunch", "0");
    TAppSettings later;
    ReadLayeredSettingsWith(machine, user, later);
    EXPECT_EQ(later.ConverterPath, "C:\\gs\\10\\gswin32c.exe");
    EXPECT_EQ(later.ResolutionIndex, 6);
    EXPECT_EQ(later.DoLaunch, DoNothing);
    EXPECT_EQ(later.LaunchApp, "C:\\Tools\\表示.exe");
    EXPECT_EQ(later.TimeLimit, 60);
}

} // namespace
