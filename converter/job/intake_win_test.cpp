// Job intake on real files: long-path expansion of 8.3 aliases, and the document name from
// the hand-off log, its line-ending rules and its sharing.
#include "converter/job/intake.h"

#include "base/errors.h"
#include "base/path_parts.h"
#include "base/win/files_win.h"
#include "base/win/handles_win.h"
#include "tests/support/test_support_win.h"

#include <gtest/gtest.h>

using namespace job;
using testing_support::MakeDirectory;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

ByteString ShortPathOf(const ByteString& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? ByteString(buffer, length) : ByteString();
}

// The platform's own long form of an existing path: the oracle for the folders above the
// ones a test makes, whose letter case the test does not choose.
ByteString LongPathOf(const ByteString& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? ByteString(buffer, length) : ByteString();
}

ByteString ToUpperAscii(ByteString s) {
    for (size_t i = 0; i < s.size(); i += CharLengthAt(s, i)) {
        if (s[i] >= 'a' && s[i] <= 'z')
            s[i] = char(s[i] - 'a' + 'A');
    }
    return s;
}

// A temporary folder, named in its long form, with a file three levels down whose names
// are all too long for 8.3, so that each has an alias.
struct LongTree {
    TempDir temp{"intake"};
    ByteString root = LongPathOf(temp.Path());
    ByteString outer = root + "\\Long Directory Name";
    ByteString inner = outer + "\\Another Long Folder";
    ByteString file = inner + "\\job file with a long name.ps";

    LongTree() {
        MakeDirectory(outer);
        MakeDirectory(inner);
        WriteFileBytes(file, "%!PS\n");
    }
};

} // namespace

TEST(ExpandLongPath, DriveFormsNeedNoSearch) {
    EXPECT_EQ(ExpandLongPath(""), "");
    EXPECT_EQ(ExpandLongPath("C:"), "C:");
    EXPECT_EQ(ExpandLongPath("C:\\"), "C:");
    EXPECT_EQ(ExpandLongPath("c:\\"), "c:"); // the drive keeps the case of the input
}

TEST(ExpandLongPath, ReplacesEveryShortAliasByItsLongName) {
    LongTree tree;
    ASSERT_FALSE(tree.root.empty());
    const ByteString shortFile = ShortPathOf(tree.file);
    ASSERT_FALSE(shortFile.empty());
    ASSERT_NE(shortFile, tree.file) << "the platform made no 8.3 aliases";
    ASSERT_EQ(FindChar(ExtractFileName(shortFile), ' '), ByteString::npos) << shortFile;

    EXPECT_EQ(ExpandLongPath(shortFile), tree.file);
    EXPECT_EQ(ExpandLongPath(ShortPathOf(tree.inner)), tree.inner);
    // Already long: unchanged.
    EXPECT_EQ(ExpandLongPath(tree.file), tree.file);
}

TEST(ExpandLongPath, LongComponentsComeBackInTheEntrysLetterCase) {
    LongTree tree;
    const ByteString below = tree.file.substr(tree.root.size());
    EXPECT_EQ(ExpandLongPath(tree.root + ToUpperAscii(below)), tree.file);
}

TEST(ExpandLongPath, OneTrailingBackslashIsDropped) {
    LongTree tree;
    EXPECT_EQ(ExpandLongPath(ShortPathOf(tree.inner) + "\\"), tree.inner);
    EXPECT_EQ(ExpandLongPath(tree.inner + "\\"), tree.inner);
}

TEST(ExpandLongPath, MissingEntryEndsTheExpansionAndComesBackUnchanged) {
    LongTree tree;
    const ByteString missing = ShortPathOf(tree.inner) + "\\missing.ps";
    EXPECT_EQ(ExpandLongPath(missing), missing);
    EXPECT_EQ(ExpandLongPath(missing + "\\"), missing);
}

TEST(ExpandLongPath, HiddenAndSystemEntriesExpandLikeAnyOther) {
    LongTree tree;
    const ByteString hidden = tree.root + "\\Hidden System Folder";
    const ByteString file = hidden + "\\Hidden Long File.ps";
    MakeDirectory(hidden);
    WriteFileBytes(file, "%!PS\n");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_NE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    const ByteString shortFile = ShortPathOf(file);
    ASSERT_NE(shortFile, file);
    EXPECT_EQ(ExpandLongPath(shortFile), file);
}

TEST(ExpandLongPath, DoubleByteNamesWhoseTrailByteIsBackslashKeepTheirCharacter) {
    LongTree tree;
    // 表 and ソ end in the byte 0x5C, the code of "\".
    for (const char* name : {"集計表", "データソ", "表"}) {
        SCOPED_TRACE(name);
        const ByteString dir = tree.root + "\\" + name;
        const ByteString file = dir + "\\報告書の一覧表.ps";
        MakeDirectory(dir);
        WriteFileBytes(file, "%!PS\n");
        ASSERT_TRUE(win::FileExists(file));

        EXPECT_EQ(ExpandLongPath(file), file);
        EXPECT_EQ(ExpandLongPath(dir + "\\"), dir);
        const ByteString shortFile = ShortPathOf(file);
        ASSERT_FALSE(shortFile.empty());
        EXPECT_EQ(ExpandLongPath(shortFile), file) << shortFile;
    }
}

TEST(ExpandLongPath, WildcardsNameNoEntry) {
    LongTree tree;
    // A pattern would otherwise be replaced by whatever entry it matches first.
    const ByteString pattern = ShortPathOf(tree.inner) + "\\*.ps";
    EXPECT_EQ(ExpandLongPath(pattern), pattern);
    EXPECT_EQ(ExpandLongPath(tree.inner + "\\job?file with a long name.ps"),
              tree.inner + "\\job?file with a long name.ps");
}

TEST(ExpandLongPath, NetworkShareRootStaysAsGiven) {
    const ByteString path = "\\\\nosuchserver\\share\\DIR~1\\$$temp.ps";
    EXPECT_EQ(ExpandLongPath(path), path);
}

TEST(ExpandLongPath, RelativePathsStayRelative) {
    LongTree tree;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(tree.outer.c_str()));
    const win::ScopeExit restore([&] { SetCurrentDirectoryA(previous); });

    const ByteString shortInner = ExtractFileName(ShortPathOf(tree.inner));
    EXPECT_EQ(ExpandLongPath(shortInner + "\\" + ExtractFileName(ShortPathOf(tree.file))),
              "Another Long Folder\\job file with a long name.ps");
}

TEST(HandOffLog, LiesBesideTheExecutable) {
    EXPECT_EQ(HandOffLogPath(), testing_support::BuildFile("converter/job/log.txt"));
}

TEST(HandOffLog, MissingLogOrFolderGivesNoName) {
    TempDir dir;
    EXPECT_EQ(ReadDocNameFrom(dir / "log.txt"), "");
    MakeDirectory(dir / "log.txt"); // a folder of that name is no log either
    EXPECT_EQ(ReadDocNameFrom(dir / "log.txt"), "");
}

TEST(HandOffLog, ReadsTheNameFromTheFileAndLeavesItInPlace) {
    TempDir dir;
    const ByteString log = dir / "log.txt";
    WriteFileBytes(log, "REDMON_DOCNAME=月次報告 表.xls - Excel\r\n");
    EXPECT_EQ(ReadDocNameFrom(log), "月次報告 表.xls - Excel");

    // Closed after reading: the capture program can replace it at once.
    WriteFileBytes(log, "REDMON_DOCNAME=next\r\n");
    EXPECT_EQ(ReadDocNameFrom(log), "next");

    ByteString big(1 << 20, 'x');
    WriteFileBytes(log, big + "\r\nREDMON_DOCNAME=after a megabyte\r\n");
    EXPECT_EQ(ReadDocNameFrom(log), "after a megabyte");
}

TEST(HandOffLog, SharedWithReadersOnly) {
    TempDir dir;
    const ByteString log = dir / "log.txt";
    WriteFileBytes(log, "REDMON_DOCNAME=Report.doc\r\n");

    struct Holder {
        const char* what;
        DWORD access;
        DWORD share;
        bool readable;
    };
    const Holder holders[] = {
        {"reader sharing reads", GENERIC_READ, FILE_SHARE_READ, true},
        {"reader sharing everything", GENERIC_READ,
         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        {"writer sharing nothing", GENERIC_WRITE, 0, false},
        {"writer sharing reads", GENERIC_WRITE, FILE_SHARE_READ, false},
        {"writer sharing everything", GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false},
        {"reader sharing nothing", GENERIC_READ, 0, false},
    };
    for (const Holder& h : holders) {
        SCOPED_TRACE(h.what);
        const win::UniqueFile holder(
            CreateFileA(log.c_str(), h.access, h.share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        if (h.readable) {
            EXPECT_EQ(ReadDocNameFrom(log), "Report.doc");
            continue;
        }
        try {
            ReadDocNameFrom(log);
            ADD_FAILURE() << "no exception";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.Code(), unsigned(ERROR_SHARING_VIOLATION));
            EXPECT_EQ(e.Message(), "I/O エラー (32)");
        }
    }
}
