// The portable command-line splitter against the platform's own CommandLineToArgvW.
#include "tests/support/windows_argv.h"

#include "tests/support/test_support_win.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsArgv, SplitsAsThePlatformDoes) {
    const char* lines[] = {
        "gswin32c.exe -dNOPAUSE -sOutputFile=\"C:\\ジョブ 表\\a b.pdf\" -f \"C:\\j\\$$temp.ps\"",
        "\"C:\\Program Files\\gs\\gs.exe\" a  b\tc",
        "prog \"a\\\\\" b",
        "prog a\\\\\\\"b c",
        "prog a\\b\\\\c \"\"",
        "prog \"x\"\"y\" z",
        "prog \"unterminated arg",
        "\"quoted program\"tail arg",
        "prog trailing\\",
        "prog ソ\\ 表\\\"x",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        EXPECT_EQ(testing_support::SplitWindowsCommandLine(line),
                  testing_support::PlatformCommandLineArguments(line));
    }
}

} // namespace
