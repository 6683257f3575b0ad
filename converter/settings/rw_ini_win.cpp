// Where this copy's settings files lie, and the process's one settings record read from
// and written to them.
#include "converter/settings/rw_ini.h"

#include "base/errors.h"
#include "base/path_parts.h"
#include "base/win/files_win.h"
#include "converter/settings/ini_file.h"
#include "handoff/data_folder_win.h"

TAppSettings AppSettings;

SettingsFiles SettingsFilesOfThisCopy() {
    SettingsFiles files{ChangeFileExt(win::ModuleFileName(), ".ini"), false, ByteString()};
    handoff::PathBuffer programs;
    if (!handoff::ProgramFolder(programs) || !handoff::IsInstalledCopy(programs.text))
        return files;
    files.layered = true;
    handoff::PathBuffer data;
    if (handoff::FindDataFolder(data) == handoff::DataFolderProblem::None)
        files.user = ByteString(data.text) + handoff::kSettingsFileName;
    return files;
}

ByteString SettingsFilePath() {
    const SettingsFiles files = SettingsFilesOfThisCopy();
    return files.layered ? files.user : files.machine;
}

void ReadSettings() {
    const SettingsFiles files = SettingsFilesOfThisCopy();
    if (!files.layered) {
        ReadSettingsFrom(files.machine, AppSettings);
        return;
    }
    const TIniFile machine(files.machine);
    const TIniFile user(files.user);
    if (files.user.empty())
        ReadSettingsWith(machine, AppSettings);
    else
        ReadLayeredSettingsWith(machine, user, AppSettings);
}

void WriteSettings() {
    const SettingsFiles files = SettingsFilesOfThisCopy();
    if (!files.layered) {
        WriteSettingsTo(files.machine, AppSettings);
        return;
    }
    // Never the machine's defaults: an administrator's settings window would change them for
    // every user.
    if (files.user.empty())
        throw Exception(ByteString("%LOCALAPPDATA%\\") + handoff::kDataFolderName + "\\" +
                        handoff::kSettingsFileName + " に書き込めません");
    const TIniFile machine(files.machine);
    TIniFile user(files.user);
    WriteUserSettingsWith(machine, user, AppSettings);
}

void ReadSettingsFrom(const ByteString& iniPath, TAppSettings& settings) {
    const TIniFile ini(iniPath);
    ReadSettingsWith(ini, settings);
}

void WriteSettingsTo(const ByteString& iniPath, const TAppSettings& settings) {
    TIniFile ini(iniPath);
    WriteSettingsWith(ini, settings);
}
