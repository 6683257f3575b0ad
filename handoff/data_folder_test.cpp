// The data-folder rule: beside the programs in a portable copy, the user's own folder in an
// installed one, Shift-JIS folders whose last byte looks like "\", and folders too long.
#include "handoff/data_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using handoff::ChooseDataFolder;
using handoff::DataFolderProblem;

TEST(DataFolder, PortableBesideTheProgramsInstalledInTheUsersOwnFolder) {
    const struct {
        const char* programFolder;
        bool installed;
        const char* userDataFolder;
        const char* expected;
    } cases[] = {
        {"C:\\Tools\\Vellumcast\\", false, "C:\\Users\\a\\AppData\\Local",
         "C:\\Tools\\Vellumcast\\"},
        {"C:\\Tools\\Vellumcast\\", false, nullptr, "C:\\Tools\\Vellumcast\\"},
        {"D:\\帳票\\表\\", false, "", "D:\\帳票\\表\\"},
        {"C:\\Program Files\\Vellumcast\\", true, "C:\\Users\\a\\AppData\\Local",
         "C:\\Users\\a\\AppData\\Local\\Vellumcast\\"},
        {"C:\\Program Files\\Vellumcast\\", true, "C:\\Users\\a\\AppData\\Local\\",
         "C:\\Users\\a\\AppData\\Local\\Vellumcast\\"},
        // 表 and ソ end in 0x5C: a separator must still be added after them.
        {"C:\\Program Files\\Vellumcast\\", true, "C:\\Users\\表", "C:\\Users\\表\\Vellumcast\\"},
        {"C:\\Program Files\\Vellumcast\\", true, "E:\\ソ", "E:\\ソ\\Vellumcast\\"},
        {"C:\\Program Files\\Vellumcast\\", true, "E:\\ソ\\", "E:\\ソ\\Vellumcast\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        handoff::PathBuffer folder;
        EXPECT_EQ(ChooseDataFolder(c.programFolder, c.installed, c.userDataFolder, folder),
                  DataFolderProblem::None);
        EXPECT_EQ(std::string(folder.text), c.expected);
    }
}

TEST(DataFolder, AnInstalledCopyWithoutTheUsersFolderOrATooLongFolderHasNone) {
    // The longest folder that leaves room for the longest name and the terminating zero.
    const std::string fits(handoff::kPathCapacity - 1 - handoff::kLongestDataFileName, 'a');
    const std::string portableFits = "C:\\" + fits.substr(4) + "\\";
    const std::string portableTooLong = "C:\\" + fits.substr(3) + "\\";
    // The user's folder gains "\Vellumcast\" (12 bytes).
    const std::string userFits = "C:\\" + fits.substr(3 + 12);
    const std::string userTooLong = "C:\\" + fits.substr(2 + 12);
    const std::string farTooLong(400, 'x');
    const struct {
        const char* programFolder;
        bool installed;
        const char* userDataFolder;
        DataFolderProblem expected;
    } cases[] = {
        {"C:\\P\\", true, nullptr, DataFolderProblem::UserFolderUnknown},
        {"C:\\P\\", true, "", DataFolderProblem::UserFolderUnknown},
        {portableFits.c_str(), false, "", DataFolderProblem::None},
        {portableTooLong.c_str(), false, "", DataFolderProblem::TooLong},
        {"C:\\P\\", true, userFits.c_str(), DataFolderProblem::None},
        {"C:\\P\\", true, userTooLong.c_str(), DataFolderProblem::TooLong},
        {"C:\\P\\", true, farTooLong.c_str(), DataFolderProblem::TooLong},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        handoff::PathBuffer folder;
        EXPECT_EQ(ChooseDataFolder(cases[i].programFolder, cases[i].installed,
                                   cases[i].userDataFolder, folder),
                  cases[i].expected);
        if (cases[i].expected != DataFolderProblem::None) {
            EXPECT_STREQ(folder.text, "");
        } else {
            EXPECT_LT(std::string(folder.text).size() + handoff::kLongestDataFileName,
                      handoff::kPathCapacity);
        }
    }
}

} // namespace
