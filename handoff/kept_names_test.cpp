// Names of kept jobs and private PDFs, and the test for the hand-off's job file name.
#include "handoff/kept_names.h"

#include "handoff/contract.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using handoff::FormatKeptStem;
using handoff::Stamp;

TEST(KeptStem, DateTimeAndNumberInAsciiOnly) {
    const struct {
        const char* prefix;
        Stamp stamp;
        unsigned n;
        const char* expected;
    } cases[] = {
        {handoff::kKeptJobPrefix, {2026, 12, 6, 22, 52, 2}, 1, "$$kept-20261206-225202-1"},
        {handoff::kKeptJobPrefix, {2027, 1, 1, 0, 0, 0}, 10000, "$$kept-20270101-000000-10000"},
        {handoff::kPrivatePdfPrefix, {2026, 3, 9, 7, 5, 9}, 42, "$$pdf-20260309-070509-42"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        char out[64];
        ASSERT_TRUE(FormatKeptStem(c.prefix, c.stamp, c.n, out, sizeof out));
        EXPECT_EQ(std::string(out), c.expected);
    }
}

TEST(KeptStem, ABufferTooSmallGivesNothing) {
    char out[24];
    EXPECT_FALSE(
        FormatKeptStem(handoff::kKeptJobPrefix, {2026, 12, 6, 22, 52, 2}, 1, out, sizeof out));
    EXPECT_EQ(std::string(out), "");
    char exact[25];
    EXPECT_TRUE(
        FormatKeptStem(handoff::kKeptJobPrefix, {2026, 12, 6, 22, 52, 2}, 1, exact, sizeof exact));
}

TEST(HandOffJobFile, OnlyTheJobFileNameItselfInAnyCase) {
    const struct {
        const char* path;
        bool isJobFile;
    } cases[] = {
        {"C:\\Printer\\$$temp.ps", true},
        {"C:\\Printer\\$$TEMP.PS", true},
        {"$$temp.ps", true},
        {"C:$$temp.ps", true},
        {"C:\\表\\$$temp.ps", true},
        {"C:\\Printer\\$$kept-20261206-225202-1.ps", false},
        {"C:\\Printer\\x$$temp.ps", false},
        {"C:\\Printer\\$$temp.ps\\", false},
        {"C:\\$$temp.ps\\other.ps", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(handoff::NamesHandOffJobFile(c.path), c.isJobFile);
    }
}

} // namespace
