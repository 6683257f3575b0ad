// The names of the hand-off's kernel objects: one per job folder, whatever its spelling.
#include "handoff/object_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using handoff::NameOf;
using handoff::ObjectKind;

TEST(HandOffNames, FnvOneAOfTheCaseFoldedPath) {
    // Reference values of 32-bit FNV-1a.
    EXPECT_EQ(handoff::FoldedPathHash(""), 0x811c9dc5u);
    EXPECT_EQ(handoff::FoldedPathHash("a"), 0xe40c292cu);
    EXPECT_EQ(handoff::FoldedPathHash("foobar"), 0xbf9cf968u);
    EXPECT_EQ(handoff::FoldedPathHash("FOOBAR"), 0xbf9cf968u);
}

TEST(HandOffNames, OneNameForEveryWayOfWritingAPathAndApartForOtherPaths) {
    const char* path = "C:\\Program Files\\Printer\\$$temp.ps";
    const std::string lock = NameOf(ObjectKind::JobLock, path).text;
    ASSERT_EQ(lock.size(), std::strlen("Spoolwick.JobLock.") + 8);
    EXPECT_EQ(lock.rfind("Spoolwick.JobLock.", 0), 0u);
    EXPECT_EQ(lock.find_first_not_of("0123456789abcdef", 18), std::string::npos);
    EXPECT_EQ(
        std::string(NameOf(ObjectKind::CaptureTurn, path).text).rfind("Spoolwick.Capture.", 0), 0u);
    EXPECT_EQ(std::string(NameOf(ObjectKind::JobTaken, path).text).rfind("Spoolwick.JobTaken.", 0),
              0u);

    struct {
        const char* label;
        const char* a;
        const char* b;
        bool same;
    } const cases[] = {
        {"letter case", "C:\\Program Files\\Printer\\$$temp.ps",
         "c:\\PROGRAM FILES\\printer\\$$TEMP.PS", true},
        {"another folder", "C:\\Printer\\$$temp.ps", "C:\\Printer2\\$$temp.ps", false},
        // ア is 83 41, its trail byte an "A"; folding it would make it 83 61 (another kanji).
        {"trail bytes are not letters", "C:\\ア\\$$temp.ps", "C:\\\x83\x61\\$$temp.ps", false},
        {"表 against its trail byte alone", "C:\\表\\$$temp.ps", "C:\\\\\\$$temp.ps", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(std::string(NameOf(ObjectKind::JobLock, c.a).text) ==
                      NameOf(ObjectKind::JobLock, c.b).text,
                  c.same);
    }
}

} // namespace
