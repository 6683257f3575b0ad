// Vellumcast Monitor: quoting of the program's command line by the Windows splitting rules.
#include "monitor/command_line.h"

#include <gtest/gtest.h>

TEST(QuoteArgument, EscapesOnlyWhatTheSplittingRulesRead) {
    const struct {
        std::u16string arg;
        std::u16string quoted;
    } cases[] = {
        {u"C:\\Program Files\\Vellumcast\\Spoolwick.exe",
         u"\"C:\\Program Files\\Vellumcast\\Spoolwick.exe\""},
        {u"", u"\"\""},
        {u"a\"b", u"\"a\\\"b\""},
        {u"a\\\"b", u"\"a\\\\\\\"b\""},     // a\"b: the backslash doubled, the quote escaped
        {u"C:\\dir\\", u"\"C:\\dir\\\\\""}, // trailing backslash doubled before the closing quote
        {u"\\\\server\\share\\a b.exe", u"\"\\\\server\\share\\a b.exe\""},
        {u"見積書 表\\ソ", u"\"見積書 表\\ソ\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(command_line::QuoteArgument(c.arg), c.quoted);
}

TEST(QuoteArgument, ProgramCommandLineIsThePathAlone) {
    EXPECT_EQ(command_line::ForProgram(u"C:\\a b\\c.exe"), u"\"C:\\a b\\c.exe\"");
}
