// Path parts on ASCII and on Shift-JIS names whose trail byte is 0x5C ("\").
#include "base/path_parts.h"

#include <gtest/gtest.h>

TEST(Charset, JapaneseLiteralsAreShiftJis) {
    // 表 = 95 5C, ソ = 83 5C, 年 = 94 4E: the build must turn UTF-8 sources into Shift-JIS.
    EXPECT_EQ(ByteString("表ソ年"), ByteString("\x95\x5C\x83\x5C\x94\x4E"));
}

struct PathCase {
    const char* path;
    const char* directory;
    const char* name;
    const char* extension;
};

TEST(PathParts, SplitsByTheLastSeparatorOutsideDoubleByteCharacters) {
    const PathCase cases[] = {
        {"C:\\dir\\file.txt", "C:\\dir\\", "file.txt", ".txt"},
        {"C:file.txt", "C:", "file.txt", ".txt"},
        {"C:\\", "C:\\", "", ""},
        {"file", "", "file", ""},
        {"a.b.c", "", "a.b.c", ".c"},
        {"C:\\dir.x\\file", "C:\\dir.x\\", "file", ""},
        {"abc.", "", "abc.", "."},
        {"\\\\server\\share\\f.ps", "\\\\server\\share\\", "f.ps", ".ps"},
        {"C:\\表\\ソ.txt", "C:\\表\\", "ソ.txt", ".txt"},
        {"C:\\a\\表", "C:\\a\\", "表", ""},
        {"C:\\a\\表ソ.ソ", "C:\\a\\", "表ソ.ソ", ".ソ"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExtractFilePath(c.path), c.directory);
        EXPECT_EQ(ExtractFileName(c.path), c.name);
        EXPECT_EQ(ExtractFileExt(c.path), c.extension);
    }
}

TEST(PathParts, ChangeFileExtReplacesAppendsOrRemoves) {
    EXPECT_EQ(ChangeFileExt("C:\\a\\b.exe", ".ini"), "C:\\a\\b.ini");
    EXPECT_EQ(ChangeFileExt("C:\\a.d\\b", ".ini"), "C:\\a.d\\b.ini");
    EXPECT_EQ(ChangeFileExt("a.b.c", ".pdf"), "a.b.pdf");
    EXPECT_EQ(ChangeFileExt("abc.", ".pdf"), "abc.pdf");
    EXPECT_EQ(ChangeFileExt("report.doc", ""), "report");
    EXPECT_EQ(ChangeFileExt("C:\\表", ".pdf"), "C:\\表.pdf");
}

TEST(PathParts, BackslashTestsIgnoreTrailBytes) {
    EXPECT_TRUE(EndsWithBackslash("C:\\"));
    EXPECT_FALSE(EndsWithBackslash("C:\\表"));
    EXPECT_FALSE(EndsWithBackslash(""));
    EXPECT_EQ(IncludeTrailingBackslash("C:\\表"), "C:\\表\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\pdf\\"), "C:\\pdf\\");
    EXPECT_EQ(IncludeTrailingBackslash(""), "");
}

TEST(PathParts, FindCharSkipsTrailBytesAndHonoursTheStart) {
    const ByteString s = "表a\\b|ソ|";
    EXPECT_EQ(FindChar(s, '\\'), 3u);
    EXPECT_EQ(FindChar(s, '|'), 5u);
    EXPECT_EQ(FindChar(s, '|', 6), 8u);
    EXPECT_EQ(FindChar("表ソ", '\\'), ByteString::npos);
    EXPECT_EQ(FindLastOf("a\\表", "\\"), 1u);
}
