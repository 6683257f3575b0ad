// The data folder of this test program under Wine: beside it without the install marker, in
// the user's own local application data folder with it, created there on first use, and
// never a file or anything else planted in the folder's place.
#include "handoff/data_folder_win.h"

#include "base/win/files_win.h"
#include "tests/support/test_support_win.h"

#include <gtest/gtest.h>

namespace {

using handoff::DataFolderProblem;
using handoff::PathBuffer;
using testing_support::ReadFileBytes;
using testing_support::UsersDataFolder;
using testing_support::WriteFileBytes;

ByteString ProgramFolderText() {
    PathBuffer folder;
    EXPECT_TRUE(handoff::ProgramFolder(folder));
    return folder.text;
}

// The settings file beside this program with the given text for the test's duration.
class SettingsBesideTheProgram {
  public:
    explicit SettingsBesideTheProgram(const ByteString& text)
        : path_(ProgramFolderText() + handoff::kSettingsFileName) {
        WriteFileBytes(path_, text);
    }
    ~SettingsBesideTheProgram() { DeleteFileA(path_.c_str()); }

  private:
    ByteString path_;
};

TEST(DataFolderOfThisProgram, PortableWithoutTheMarkerBesideTheProgram) {
    const UsersDataFolder user;
    for (const char* settings :
         {"", "[Install]\r\nPerUser=0\r\n", "[Conv]\r\nPath=C:\\gs.exe\r\n"}) {
        SCOPED_TRACE(settings);
        const SettingsBesideTheProgram file(settings);
        PathBuffer folder;
        ASSERT_EQ(handoff::FindDataFolder(folder), DataFolderProblem::None);
        EXPECT_EQ(ByteString(folder.text), ProgramFolderText());
        EXPECT_FALSE(testing_support::Exists(user.Path()));
    }
}

TEST(DataFolderOfThisProgram, InstalledInTheUsersOwnFolderCreatedOnFirstUse) {
    const UsersDataFolder user;
    ASSERT_FALSE(user.Path().empty());
    const SettingsBesideTheProgram marker("[Install]\r\nPerUser=1\r\n");
    for (int use = 0; use < 2; ++use) {
        PathBuffer folder;
        ASSERT_EQ(handoff::FindDataFolder(folder), DataFolderProblem::None);
        EXPECT_EQ(ByteString(folder.text), user.Path() + "\\");
        EXPECT_TRUE(win::DirectoryExists(user.Path()));
    }
}

TEST(DataFolderOfThisProgram, AFileInTheFoldersPlaceIsNeverUsed) {
    const UsersDataFolder user;
    const SettingsBesideTheProgram marker("[Install]\r\nPerUser=1\r\n");
    WriteFileBytes(user.Path(), "not a folder");
    PathBuffer folder;
    EXPECT_EQ(handoff::FindDataFolder(folder), DataFolderProblem::Unusable);
    EXPECT_STREQ(folder.text, "");
    EXPECT_EQ(ReadFileBytes(user.Path()), "not a folder");
}

} // namespace
