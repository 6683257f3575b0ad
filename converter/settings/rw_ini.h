// The converter's settings record and its INI files (unit Rw_ini). A portable copy has one
// settings file, beside the executable. An installed copy has two layers: the machine's
// defaults beside the executable, which only administrators can change, and the user's
// own file in the user's data folder, which overrides them key by key and holds only the
// keys the user set to something else, so that every other key follows the defaults.
#pragma once

#include "base/bytes.h"

#include <cstdint>

// What happens after a PDF has been stored (AppSettings.DoLaunch); any other value: nothing.
enum LaunchMode : int32_t { OpenAssociated = 0, RunSpecified = 1, DoNothing = 2 };

struct TAppSettings {
    int32_t WindowTop = 0;
    int32_t WindowLeft = 0;
    int32_t DoLaunch = 0;
    ByteString LaunchApp;
    ByteString ConverterPath;
    ByteString DataFolder;
    int32_t ResolutionIndex = 0;
    int32_t SkipSaveDialog = 0;
    // Seconds Ghostscript may run on one job before it is ended; 0 (or less): no limit.
    // Set by hand in the settings file ([Conv] TimeLimit); the settings window keeps it.
    int32_t TimeLimit = 1800;
    // A notification-area notice once a PDF was stored without the save dialog; 0: none.
    // Written only when it differs from the file's value ([Dlg] Notify).
    int32_t Notify = 1;
};

// The one settings record of the process: all zero or empty until ReadSettings fills it.
extern TAppSettings AppSettings;

// The settings files of this copy.
struct SettingsFiles {
    ByteString machine; // beside the executable: the executable's path with ".ini"
    bool layered;       // an installed copy: machine holds the defaults, user the user's own
    ByteString user;    // in the user's data folder; empty when the user has none
};
SettingsFiles SettingsFilesOfThisCopy();

// The file the settings are written to: the one file of a portable copy, the user's own
// file of an installed one.
ByteString SettingsFilePath();

// Fills AppSettings from the settings files; never fails, never creates a file.
void ReadSettings();

// Writes the fields of AppSettings that the settings window edits (not TimeLimit; Notify
// only when it differs from the file's value): in a portable copy every such field to its
// one file, in an installed copy only those that differ from the machine's defaults to the
// user's file (a key equal to its default is removed there). Raises
// Exception "<path> に書き込めません" when the platform refuses a key (the keys before it stay
// written).
void WriteSettings();

// The same on an explicit file and record, for tests and for the two calls above.
void ReadSettingsFrom(const ByteString& iniPath, TAppSettings& settings);
void WriteSettingsTo(const ByteString& iniPath, const TAppSettings& settings);

// The key-by-key reads and writes on any INI file accessor, in the order of the record.
// A failing write passes its exception on, so the keys after it are not written.
class TCustomIniFile;
void ReadSettingsWith(const TCustomIniFile& ini, TAppSettings& settings);
void WriteSettingsWith(TCustomIniFile& ini, const TAppSettings& settings);

// The two layers: the machine's defaults, each key overridden by the user's file where it
// has that key (a malformed integer there keeps the default).
void ReadLayeredSettingsWith(const TCustomIniFile& machine, const TCustomIniFile& user,
                             TAppSettings& settings);
// To the user's file: each written key whose value differs from the machine's default; a
// key equal to its default is removed, so that it follows later changes of the default.
void WriteUserSettingsWith(const TCustomIniFile& machine, TCustomIniFile& user,
                           const TAppSettings& settings);
