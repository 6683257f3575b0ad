// The data-folder rule (pure logic).
#include "handoff/data_folder.h"

#include "base/path_parts.h"

namespace handoff {

DataFolderProblem ChooseDataFolder(const char* programFolder, bool installed,
                                   const char* userDataFolder, PathBuffer& folder) {
    folder.text[0] = '\0';
    size_t length = 0;
    bool fits = false;
    if (!installed) {
        fits = AppendToPath(folder, length, programFolder);
    } else {
        if (userDataFolder == nullptr || userDataFolder[0] == '\0')
            return DataFolderProblem::UserFolderUnknown;
        fits = AppendToPath(folder, length, userDataFolder) &&
               (EndsWithBackslash(userDataFolder) || AppendToPath(folder, length, "\\")) &&
               AppendToPath(folder, length, kDataFolderName) && AppendToPath(folder, length, "\\");
    }
    if (!fits || length + kLongestDataFileName >= sizeof folder.text) {
        folder.text[0] = '\0';
        return DataFolderProblem::TooLong;
    }
    return DataFolderProblem::None;
}

} // namespace handoff
