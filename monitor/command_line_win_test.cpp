// Vellumcast Monitor: the quoting round-trips through the platform's own CommandLineToArgvW.
#include "monitor/command_line.h"
#include "monitor/wide_win.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

TEST(QuoteArgument, SplitsBackIntoTheSameArgument) {
    const std::u16string args[] = {
        u"C:\\Program Files\\Vellumcast 表\\Spoolwick.exe",
        u"",
        u"a\"b",
        u"a\\\"b\\\\",
        u"C:\\dir\\",
        u"\\\\server\\share\\x y\\z.exe",
        u"tab\there",
        u"\"\"\"",
    };
    for (const std::u16string& arg : args) {
        // A first token as a program name is split by other rules; the argument comes second.
        const std::wstring line = L"prog.exe " + Wide(command_line::QuoteArgument(arg));
        int count = 0;
        LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
        ASSERT_NE(argv, nullptr);
        ASSERT_EQ(count, 2) << Wide(arg).size();
        EXPECT_EQ(U16(argv[1]), arg);
        LocalFree(argv);
    }
}
