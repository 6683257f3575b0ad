// Naming the PDF and Ghostscript's command line: tables of cases (portable).
#include "converter/job/naming.h"

#include "tests/support/windows_argv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

using namespace job;

namespace {

std::tm FixedTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

} // namespace

TEST(ResolutionText, TableValuesAndEmptyOutsideIt) {
    const struct {
        int32_t index;
        const char* text;
    } cases[] = {{0, "72"},   {1, "150"}, {2, "200"}, {3, "300"}, {4, "400"},      {5, "600"},
                 {6, "1200"}, {7, ""},    {-1, ""},   {100, ""},  {INT32_MIN, ""}, {INT32_MAX, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(ResolutionText(c.index), c.text);
    }
}

TEST(SanitizeDocName, ReplacesUnsafeSingleByteCharactersKeepingLength) {
    const struct {
        const char* name;
        const char* cleaned;
    } cases[] = {
        {"a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"\\\\//::", "______"},
        {"plain name.doc", "plain name.doc"},
        // 表 and ソ end in the byte of "\" and keep their bytes.
        {"表ソ\\表", "表ソ_表"},
        {"\x83\x7C|", "\x83\x7C_"}, // a double-byte character whose trail byte is "|"
        {"tab\there\x01\x1F\r\n.doc", "tab_here____.doc"},
        {"   ", "   "},
        // A lead byte without its trail byte goes; the byte after it counts on its own.
        {"cut\x83", "cut_"},
        {"\x81\"quoted\x81\x0A", "__quoted__"},
        {"\x83.doc", "_.doc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteString cleaned = SanitizeDocName(c.name);
        EXPECT_EQ(cleaned, c.cleaned);
        EXPECT_EQ(cleaned.size(), ByteString(c.name).size());
    }
}

TEST(Timestamp, FourDigitYearAndTwoDigitParts) {
    EXPECT_EQ(Timestamp(FixedTime(2026, 12, 6, 22, 52, 2)), "2026年12月06日22時52分02秒");
    EXPECT_EQ(Timestamp(FixedTime(2027, 1, 2, 3, 4, 5)), "2027年01月02日03時04分05秒");
    EXPECT_EQ(Timestamp(FixedTime(1999, 10, 31, 0, 0, 59)), "1999年10月31日00時00分59秒");
}

TEST(OutputPath, NamesThePdfInTheJobsDirectory) {
    const std::tm when = FixedTime(2026, 12, 6, 22, 52, 2);
    const struct {
        const char* jobPath;
        const char* docName;
        const char* output;
    } cases[] = {
        {"C:\\jobs\\$$temp.ps", "議事録 - 第2版.doc", "C:\\jobs\\議事録 - 第2版.pdf"},
        {"C:\\jobs\\$$temp.ps", "C:\\docs\\report.txt", "C:\\jobs\\C__docs_report.pdf"},
        {"C:\\jobs\\$$temp.ps", "index.html?q=1", "C:\\jobs\\index.pdf"},
        {"C:\\jobs\\$$temp.ps", "a.b.c", "C:\\jobs\\a.b.pdf"},
        {"C:\\jobs\\$$temp.ps", "readme", "C:\\jobs\\readme.pdf"},
        {"C:\\jobs\\$$temp.ps", "abc.", "C:\\jobs\\abc.pdf"},
        {"C:\\jobs\\$$temp.ps", "表ソ.txt", "C:\\jobs\\表ソ.pdf"},
        {"C:\\jobs\\$$temp.ps", "見積表", "C:\\jobs\\見積表.pdf"},
        {"C:\\jobs\\$$temp.ps", "   ", "C:\\jobs\\   .pdf"},
        {"C:\\jobs\\$$temp.ps", "line\x01two\x1F.doc", "C:\\jobs\\line_two_.pdf"},
        {"C:\\jobs\\$$temp.ps", "", "C:\\jobs\\prn_data(2026年12月06日22時52分02秒).pdf"},
        {"C:\\表\\$$temp.ps", "x.doc", "C:\\表\\x.pdf"},
        {"C:\\表\\$$temp.ps", "", "C:\\表\\prn_data(2026年12月06日22時52分02秒).pdf"},
        {"\\\\server\\share\\$$temp.ps", "r.txt", "\\\\server\\share\\r.pdf"},
        // Device names become real files; names that only begin like one stay.
        {"C:\\jobs\\$$temp.ps", "CON", "C:\\jobs\\CON_.pdf"},
        {"C:\\jobs\\$$temp.ps", "con.doc", "C:\\jobs\\con_.pdf"},
        {"C:\\jobs\\$$temp.ps", "Nul.tar.gz", "C:\\jobs\\Nul_.tar.pdf"},
        {"C:\\jobs\\$$temp.ps", "lpt9.txt", "C:\\jobs\\lpt9_.pdf"},
        {"C:\\jobs\\$$temp.ps", "COM1", "C:\\jobs\\COM1_.pdf"},
        {"C:\\jobs\\$$temp.ps", "aux .doc", "C:\\jobs\\aux_ .pdf"},
        {"C:\\jobs\\$$temp.ps", "PRN", "C:\\jobs\\PRN_.pdf"},
        {"C:\\jobs\\$$temp.ps", "COM10", "C:\\jobs\\COM10.pdf"},
        {"C:\\jobs\\$$temp.ps", "CONSOLE.doc", "C:\\jobs\\CONSOLE.pdf"},
        {"C:\\jobs\\$$temp.ps", "LPT", "C:\\jobs\\LPT.pdf"},
        {"C:\\jobs\\$$temp.ps", "my con.doc", "C:\\jobs\\my con.pdf"},
        // A name cut inside a character still ends in ".pdf".
        {"C:\\jobs\\$$temp.ps", "報告\x83", "C:\\jobs\\報告_.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.docName);
        EXPECT_EQ(OutputPath(c.jobPath, c.docName, when), c.output);
    }
}

TEST(GhostscriptCommandLine, ExactTextOfTheUsualCase) {
    EXPECT_EQ(GhostscriptCommandLine("C:\\gs\\bin\\gswin32c.exe", "300", "C:\\jobs\\Report.pdf",
                                     "C:\\jobs\\$$temp.ps", u"Report"),
              "gswin32c.exe -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 "
              "-sOutputFile=\"C:\\jobs\\Report.pdf\" -c 300000 setvmthreshold save pop -f "
              "\"C:\\jobs\\$$temp.ps\" -c [ /Title <FEFF005200650070006F00720074> "
              "/Creator (Vellumcast) /DOCINFO pdfmark");
}

TEST(MakeUniqueName, LowestFreeNumberBeforeTheExtensionForAnyExistenceTest) {
    const struct {
        std::set<ByteString> present;
        const char* name;
        const char* expected;
    } cases[] = {
        {{}, "C:\\o\\Report.pdf", "C:\\o\\Report.pdf"},
        {{"C:\\o\\Report.pdf"}, "C:\\o\\Report.pdf", "C:\\o\\Report(1).pdf"},
        {{"C:\\o\\Report.pdf", "C:\\o\\Report(1).pdf"},
         "C:\\o\\Report.pdf",
         "C:\\o\\Report(2).pdf"},
        {{"C:\\o\\notes"}, "C:\\o\\notes", "C:\\o\\notes(1)"},
        // The extension is looked for after the last separator only, and 表 ends in "\".
        {{"C:\\a.b\\表"}, "C:\\a.b\\表", "C:\\a.b\\表(1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto exists = [&c](const ByteString& path) { return c.present.count(path) > 0; };
        EXPECT_EQ(MakeUniqueName(c.name, exists), c.expected);
    }
    const auto exists = [](const ByteString& path) { return path != "C:\\o\\a(1).pdf"; };
    EXPECT_EQ(StoragePath("C:\\o", "C:\\jobs\\a.pdf", exists), "C:\\o\\a(1).pdf");
}

TEST(GhostscriptCommandLine, TitleAfterTheJobAsUtf16HexString) {
    const struct {
        std::u16string title;
        const char* hex;
    } cases[] = {
        {u"見積書", "<FEFF898B7A4D66F8>"},
        {u"a\"b) (c\\", "<FEFF0061002200620029002000280063005C>"},
        {u"議事録 - 第2版.doc", "<FEFF8B704E8B93320020002D00207B2C00327248002E0064006F0063>"},
        {u"\uFFFF\u0001", "<FEFFFFFF0001>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex);
        const ByteString line = GhostscriptCommandLine("C:\\gs\\gswin32c.exe", "72", "C:\\j\\a.pdf",
                                                       "C:\\j\\$$temp.ps", c.title);
        const std::vector<ByteString> args = testing_support::SplitWindowsCommandLine(line);
        const std::vector<ByteString> untitled =
            testing_support::SplitWindowsCommandLine(GhostscriptCommandLine(
                "C:\\gs\\gswin32c.exe", "72", "C:\\j\\a.pdf", "C:\\j\\$$temp.ps", u""));
        const std::vector<ByteString> docInfo = {
            "-c", "[", "/Title", c.hex, "/Creator", "(Vellumcast)", "/DOCINFO", "pdfmark"};
        ASSERT_EQ(args.size(), untitled.size() + docInfo.size()) << line;
        EXPECT_TRUE(std::equal(untitled.begin(), untitled.end(), args.begin())) << line;
        EXPECT_TRUE(std::equal(docInfo.begin(), docInfo.end(), args.begin() + untitled.size()))
            << line;
    }
    // No name: nothing after the job, so Ghostscript's own Title and Creator stay.
    EXPECT_EQ(DocInfoArguments(u""), "");
}

TEST(FitFileName, CutsBeforeTheExtensionAtACharacterBoundary) {
    const ByteString japanese120 = [] {
        ByteString s;
        for (int i = 0; i < 120; ++i)
            s += "議";
        return s;
    }();
    const struct {
        const char* label;
        ByteString name;
        size_t folderLength;
        ByteString expected;
    } cases[] = {
        {"fits as it is", "Report.pdf", 100, "Report.pdf"},
        {"exactly fits", ByteString(259 - 100 - 8 - 4, 'a') + ".pdf", 100,
         ByteString(259 - 100 - 8 - 4, 'a') + ".pdf"},
        {"one byte over", ByteString(259 - 100 - 8 - 4 + 1, 'a') + ".pdf", 100,
         ByteString(259 - 100 - 8 - 4, 'a') + ".pdf"},
        {"240-byte title without a dot", ByteString(240, 'u') + ".pdf", 60,
         ByteString(259 - 60 - 8 - 4, 'u') + ".pdf"},
        // 187 bytes of room: 93 characters (186 bytes), never half of one.
        {"120 Japanese characters", japanese120 + ".pdf", 60, japanese120.substr(0, 186) + ".pdf"},
        {"a cut through ソ moves before it", "a" + japanese120 + ".pdf", 60,
         "a" + japanese120.substr(0, 186) + ".pdf"},
        {"no room: one character stays", "議事録.pdf", 250, "議.pdf"},
        {"the folder's length alone never allows more than a file name may be",
         ByteString(300, 'n') + ".pdf", 3, ByteString(255 - 8 - 4, 'n') + ".pdf"},
        {"no extension", ByteString(300, 'n'), 200, ByteString(259 - 200 - 8, 'n')},
        // Room for three bytes would leave the device word CON: one character less.
        {"never a device word", "CONSOLE.pdf", 259 - 8 - 4 - 3, "CO.pdf"},
        {"never a device word before blanks", "CON   x.pdf", 259 - 8 - 4 - 5, "CON_ .pdf"},
        {"an extension too long for any name keeps one character", "ab." + ByteString(300, 'e'), 10,
         "a." + ByteString(300, 'e')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const ByteString fitted = FitFileName(c.name, c.folderLength);
        EXPECT_EQ(fitted, c.expected);
    }
}
