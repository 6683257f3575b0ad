// The settings record and its INI files: which key holds which field, read and written in
// the order of the record, in one file or in two layers (portable).
#include "converter/settings/rw_ini.h"

#include "converter/settings/ini_file.h"

namespace {
// One key of the settings file and the field it holds: an integer field with its default,
// or a text field (whose default is always empty).
// Keys set only by hand are read but never written: the file keeps what its user wrote.
// Keys newer than the file's first form are written only when their value differs from the
// file's, so that a file nobody changed stays byte for byte as it was (integer keys only).
enum class Written { Always, Never, WhenChanged };

struct SettingKey {
    const char* section;
    const char* key;
    int32_t TAppSettings::*integer;
    ByteString TAppSettings::*text;
    int32_t defaultInteger;
    Written written;
};

constexpr SettingKey IntegerKey(const char* section, const char* key, int32_t TAppSettings::*field,
                                int32_t defaultValue, Written written = Written::Always) {
    return {section, key, field, nullptr, defaultValue, written};
}

constexpr SettingKey TextKey(const char* section, const char* key,
                             ByteString TAppSettings::*field) {
    return {section, key, nullptr, field, 0, Written::Always};
}

// In the order of the record, which is also the order of the reads and the writes.
const SettingKey kSettingKeys[] = {
    IntegerKey("Pos", "Top", &TAppSettings::WindowTop, 0),
    IntegerKey("Pos", "Left", &TAppSettings::WindowLeft, 0),
    IntegerKey("App", "DoLaunch", &TAppSettings::DoLaunch, 0),
    TextKey("App", "Launch", &TAppSettings::LaunchApp),
    TextKey("Conv", "Path", &TAppSettings::ConverterPath),
    TextKey("Data", "Path", &TAppSettings::DataFolder),
    IntegerKey("PDF", "Res", &TAppSettings::ResolutionIndex, 3),
    IntegerKey("Dlg", "Inh", &TAppSettings::SkipSaveDialog, 0),
    IntegerKey("Conv", "TimeLimit", &TAppSettings::TimeLimit, 1800, Written::Never),
    IntegerKey("Dlg", "Notify", &TAppSettings::Notify, 1, Written::WhenChanged),
};
} // namespace

namespace {
// Each key from the file, or the record's value where the file lacks it (or holds a
// malformed integer).
void OverlaySettingsWith(const TCustomIniFile& ini, TAppSettings& settings) {
    for (const SettingKey& entry : kSettingKeys) {
        if (entry.integer)
            settings.*entry.integer =
                ini.ReadInteger(entry.section, entry.key, settings.*entry.integer);
        else
            settings.*entry.text = ini.ReadString(entry.section, entry.key, settings.*entry.text);
    }
}

bool SameValue(const SettingKey& entry, const TAppSettings& a, const TAppSettings& b) {
    return entry.integer ? a.*entry.integer == b.*entry.integer : a.*entry.text == b.*entry.text;
}
} // namespace

void ReadSettingsWith(const TCustomIniFile& ini, TAppSettings& settings) {
    for (const SettingKey& entry : kSettingKeys) {
        if (entry.integer)
            settings.*entry.integer = entry.defaultInteger;
        else
            (settings.*entry.text).clear();
    }
    OverlaySettingsWith(ini, settings);
}

void ReadLayeredSettingsWith(const TCustomIniFile& machine, const TCustomIniFile& user,
                             TAppSettings& settings) {
    ReadSettingsWith(machine, settings);
    OverlaySettingsWith(user, settings);
}

void WriteUserSettingsWith(const TCustomIniFile& machine, TCustomIniFile& user,
                           const TAppSettings& settings) {
    TAppSettings defaults;
    ReadSettingsWith(machine, defaults);
    for (const SettingKey& entry : kSettingKeys) {
        if (entry.written == Written::Never)
            continue;
        if (SameValue(entry, settings, defaults))
            user.DeleteKey(entry.section, entry.key);
        else if (entry.integer)
            user.WriteInteger(entry.section, entry.key, settings.*entry.integer);
        else
            user.WriteString(entry.section, entry.key, settings.*entry.text);
    }
}

void WriteSettingsWith(TCustomIniFile& ini, const TAppSettings& settings) {
    for (const SettingKey& entry : kSettingKeys) {
        if (entry.written == Written::Never)
            continue;
        if (entry.written == Written::WhenChanged &&
            ini.ReadInteger(entry.section, entry.key, entry.defaultInteger) ==
                settings.*entry.integer)
            continue;
        if (entry.integer)
            ini.WriteInteger(entry.section, entry.key, settings.*entry.integer);
        else
            ini.WriteString(entry.section, entry.key, settings.*entry.text);
    }
}
