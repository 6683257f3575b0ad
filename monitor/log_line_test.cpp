// Vellumcast Monitor: log lines, and the outcome texts they carry.
#include "monitor/job_outcome.h"
#include "monitor/log_line.h"

#include <gtest/gtest.h>

TEST(LogLine, JobLineInUtf8WithEscapedName) {
    const monitor::Time t{2026, 12, 10, 6, 28, 7};
    EXPECT_EQ(monitor::ForJob(t, u"VELLUMCAST:", 12, u"見積書", "printed"),
              u8"2026-12-10 06:28:07 \"VELLUMCAST:\" job 12 \"見積書\": printed\r\n");
    // A name cannot end the line or its quotes early.
    EXPECT_EQ(
        monitor::ForJob(t, u"P", 1, u"a\r\n2026-01-01 fake\"\\\u2028", "x"),
        "2026-12-10 06:28:07 \"P\" job 1 \"a\\x0D\\x0A2026-01-01 fake\\\"\\\\\\u2028\": x\r\n");
    EXPECT_EQ(monitor::ForPort(t, u"P", "port added"), "2026-12-10 06:28:07 \"P\": port added\r\n");
}

TEST(LogLine, Utf8OfSurrogatesAndLoneHalves) {
    EXPECT_EQ(monitor::Utf8(u"\U0002000B"), "\xF0\xA0\x80\x8B");
    EXPECT_EQ(monitor::Utf8(std::u16string(1, char16_t(0xD800)) + u"a"), "\xEF\xBF\xBD"
                                                                         "a");
    EXPECT_EQ(monitor::Utf8(u"a" + std::u16string(1, char16_t(0xDC00))), "a\xEF\xBF\xBD");
    EXPECT_EQ(monitor::Utf8(u"\u00E9\u20AC"), "\xC3\xA9\xE2\x82\xAC");
}

TEST(JobOutcome, EveryFailureIsReportedWithTheFirstErrorNumber) {
    monitor::Outcome fine;
    fine.Started();
    fine.Wrote(100);
    fine.Ended(0);
    EXPECT_FALSE(fine.Failed());
    EXPECT_EQ(fine.Error(), 0u);
    EXPECT_EQ(fine.Written(), 100u);

    monitor::Outcome missing;
    missing.StartFailed(u"C:\\x\\Spoolwick.exe", 2);
    EXPECT_TRUE(missing.Failed());
    EXPECT_FALSE(missing.Writable());
    EXPECT_EQ(missing.Error(), 2u);
    EXPECT_EQ(missing.Reason(),
              "the program \"C:\\\\x\\\\Spoolwick.exe\" could not be started (Windows error 2)");

    monitor::Outcome early;
    early.Started();
    early.Wrote(4096);
    early.WriteFailed(early.Written(), 232);
    early.Ended(3);
    EXPECT_FALSE(early.Writable());
    EXPECT_EQ(early.Error(), monitor::kBrokenPipe);
    EXPECT_EQ(early.Reason(), "the program stopped reading the job after 4096 bytes (Windows "
                              "error 232); the rest was dropped; the program ended with exit "
                              "code 3");

    monitor::Outcome hanging;
    hanging.Started();
    hanging.DidNotEnd(60);
    EXPECT_EQ(hanging.Error(), monitor::kTimeout);

    monitor::Outcome unset;
    unset.NotConfigured("no program is set");
    EXPECT_EQ(unset.Reason(), "the port is not usable: no program is set");
    EXPECT_EQ(unset.Error(), monitor::kBadConfiguration);

    // A service without the printing user's account starts nothing: the job fails in the
    // queue with the reason, never silently and never under the service's own account.
    monitor::Outcome refused;
    refused.NoUserAccount(u"OFFICE\\yamada");
    EXPECT_TRUE(refused.Failed());
    EXPECT_FALSE(refused.Writable());
    EXPECT_EQ(refused.Error(), monitor::kNoLogonSession);
    EXPECT_NE(refused.Reason().find("\"OFFICE\\\\yamada\" has no logged-on session"),
              std::string::npos)
        << refused.Reason();
}
