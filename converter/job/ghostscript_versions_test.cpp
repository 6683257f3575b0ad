// Choosing an installed Ghostscript: version order and the console program beside the DLL.
#include "converter/job/ghostscript_versions.h"

#include <gtest/gtest.h>

#include <set>

using namespace job;

TEST(GhostscriptVersions, NumbersComparedAsNumbersPartByPart) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"9.56.1", "10.02.1", -1}, {"10.02.1", "10.02.0", 1},
        {"10.02.1", "10.2.1", 0},  {"10.03", "10.02.1", 1},
        {"10", "10.0.0", 0},       {"9.9", "9.10", -1},
        {"beta", "9.0", -1},       {"", "0", 0},
        {"10.x", "10.0", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const int result = CompareGhostscriptVersions(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
        const int reverse = CompareGhostscriptVersions(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign);
    }
}

TEST(GhostscriptVersions, HighestVersionWhoseConsoleProgramExists) {
    const std::vector<GhostscriptInstall> installs = {
        {"9.56.1", "C:\\gs\\gs9.56.1\\bin\\gsdll32.dll"},
        {"10.02.1", "C:\\gs\\gs10.02.1\\bin\\gsdll64.dll"},
        {"10.01.0", "C:\\gs\\gs10.01.0\\bin\\gsdll32.dll"},
        {"10.05.0", ""},
    };
    const struct {
        const char* label;
        std::set<ByteString> present;
        std::optional<ByteString> expected;
    } cases[] = {
        {"the newest, 64-bit program first",
         {"C:\\gs\\gs10.02.1\\bin\\gswin64c.exe", "C:\\gs\\gs10.02.1\\bin\\gswin32c.exe",
          "C:\\gs\\gs9.56.1\\bin\\gswin32c.exe"},
         ByteString("C:\\gs\\gs10.02.1\\bin\\gswin64c.exe")},
        {"the 32-bit program beside a 64-bit DLL",
         {"C:\\gs\\gs10.02.1\\bin\\gswin32c.exe"},
         ByteString("C:\\gs\\gs10.02.1\\bin\\gswin32c.exe")},
        {"the newest was removed: the next one",
         {"C:\\gs\\gs10.01.0\\bin\\gswin32c.exe", "C:\\gs\\gs9.56.1\\bin\\gswin32c.exe"},
         ByteString("C:\\gs\\gs10.01.0\\bin\\gswin32c.exe")},
        {"none left", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(PickGhostscript(
                      installs, [&](const ByteString& path) { return c.present.count(path) > 0; }),
                  c.expected);
    }
}
