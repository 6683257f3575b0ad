// The converter's settings record and its INI file beside the executable (unit Rw_ini).
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

// The settings file: the executable's full path with the extension ".ini".
ByteString SettingsFilePath();

// Fills AppSettings from the settings file; never fails, never creates the file.
void ReadSettings();

// Writes every field of AppSettings that the settings window edits (not TimeLimit; Notify
// only when it differs from the file's value); raises
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
