// The data folder on the platform: module path, private-profile read, known folder and
// the folder's creation.
#include "handoff/data_folder_win.h"

#include "handoff/object_names.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstring>

namespace handoff {

static_assert(kPathCapacity == MAX_PATH, "the data folder is an ANSI path");

namespace {

// The user's local application data folder in the ANSI code page; false when the platform
// does not know it or it has a character the code page cannot hold exactly.
bool UserLocalAppData(PathBuffer& folder) {
    folder.text[0] = '\0';
    wchar_t* wide = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &wide))) {
        CoTaskMemFree(wide);
        return false;
    }
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, folder.text,
                                           sizeof folder.text, nullptr, &lossy);
    CoTaskMemFree(wide);
    if (length == 0 || lossy) {
        folder.text[0] = '\0';
        return false;
    }
    return true;
}

// A folder of our own: created when missing; an existing entry must be a plain folder.
bool IsPlainFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

bool ProgramFolder(PathBuffer& folder) {
    folder.text[0] = '\0';
    const DWORD length = GetModuleFileNameA(nullptr, folder.text, sizeof folder.text);
    if (length == 0 || length >= sizeof folder.text) {
        folder.text[0] = '\0';
        return false;
    }
    const size_t directory = DirectoryPartLength(folder.text);
    folder.text[directory] = '\0';
    return directory != 0;
}

bool IsInstalledCopy(const char* programFolder) {
    PathBuffer settings;
    size_t length = 0;
    return AppendToPath(settings, length, programFolder) &&
           AppendToPath(settings, length, kSettingsFileName) &&
           GetPrivateProfileIntA(kInstallSection, kPerUserKey, 0, settings.text) != 0;
}

DataFolderProblem FindDataFolder(PathBuffer& folder) {
    PathBuffer programs;
    if (!ProgramFolder(programs)) {
        folder.text[0] = '\0';
        return DataFolderProblem::TooLong;
    }
    if (!IsInstalledCopy(programs.text))
        return ChooseDataFolder(programs.text, false, nullptr, folder);

    PathBuffer user;
    UserLocalAppData(user);
    const DataFolderProblem problem = ChooseDataFolder(programs.text, true, user.text, folder);
    if (problem != DataFolderProblem::None)
        return problem;
    // Without its final separator for the directory calls.
    const size_t length = std::strlen(folder.text);
    folder.text[length - 1] = '\0';
    CreateDirectoryA(folder.text, nullptr);
    const bool usable = IsPlainFolder(folder.text);
    folder.text[length - 1] = '\\';
    if (!usable) {
        folder.text[0] = '\0';
        return DataFolderProblem::Unusable;
    }
    return DataFolderProblem::None;
}

} // namespace handoff
