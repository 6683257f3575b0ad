// The data-folder rule (pure logic).
#include "handoff/data_folder.h"

#include "base/bytes.h"

#include <cstring>

namespace handoff {

namespace {

bool Append(PathBuffer& path, size_t& length, const char* text) {
    const size_t size = std::strlen(text);
    if (size >= sizeof path.text - length)
        return false;
    std::memcpy(path.text + length, text, size + 1);
    length += size;
    return true;
}

} // namespace

bool EndsInSeparator(const char* text) {
    bool separator = false;
    for (const char* p = text; *p != '\0'; ++p) {
        separator = *p == '\\';
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
            ++p;
    }
    return separator;
}

DataFolderProblem ChooseDataFolder(const char* programFolder, bool installed,
                                   const char* userDataFolder, PathBuffer& folder) {
    folder.text[0] = '\0';
    size_t length = 0;
    bool fits = false;
    if (!installed) {
        fits = Append(folder, length, programFolder);
    } else {
        if (userDataFolder == nullptr || userDataFolder[0] == '\0')
            return DataFolderProblem::UserFolderUnknown;
        fits = Append(folder, length, userDataFolder) &&
               (EndsInSeparator(userDataFolder) || Append(folder, length, "\\")) &&
               Append(folder, length, kDataFolderName) && Append(folder, length, "\\");
    }
    if (!fits || length + kLongestDataFileName >= sizeof folder.text) {
        folder.text[0] = '\0';
        return DataFolderProblem::TooLong;
    }
    return DataFolderProblem::None;
}

} // namespace handoff
