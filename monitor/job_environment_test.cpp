// Vellumcast Monitor: the job's environment block.
#include "monitor/job_environment.h"

#include <gtest/gtest.h>

namespace {

job_environment::JobValues SampleJob() {
    job_environment::JobValues job;
    job.docName = u"見積書 第3版 \"x\" = y%PATH%";
    job.port = u"VELLUMCAST:";
    job.printer = u"Vellumcast PDF";
    job.jobId = 42;
    job.user = u"山田";
    job.machine = u"PC1";
    return job;
}

} // namespace

TEST(JobEnvironment, OurValuesSortedAmongTheInheritedOnesAndNoStaleRedmonValue) {
    const std::vector<std::u16string> inherited = {
        u"Path=C:\\Windows", u"=C:=C:\\dir",  u"redmon_docname=stale",           u"REDMON_JOB=9",
        u"TEMP=C:\\Temp",    u"REDMONX=kept", u"ALLUSERSPROFILE=C:\\ProgramData"};
    const std::u16string block = job_environment::BuildBlock(inherited, SampleJob());
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(block.substr(block.size() - 2), std::u16string(2, u'\0'));
    const std::vector<std::u16string> entries = job_environment::SplitBlock(block.c_str());
    const std::vector<std::u16string> expected = {
        u"=C:=C:\\dir",
        u"ALLUSERSPROFILE=C:\\ProgramData",
        u"Path=C:\\Windows",
        u"REDMONX=kept",                                // "X" sorts before "_"
        u"REDMON_DOCNAME=見積書 第3版 \"x\" = y%PATH%", // exactly, nothing expanded
        u"REDMON_JOB=42",
        u"REDMON_MACHINE=PC1",
        u"REDMON_PORT=VELLUMCAST:",
        u"REDMON_PRINTER=Vellumcast PDF",
        u"REDMON_USER=山田",
        u"TEMP=C:\\Temp",
    };
    EXPECT_EQ(entries, expected);
}

TEST(JobEnvironment, EmptyValuesStillDefineTheVariables) {
    const std::u16string block = job_environment::BuildBlock({}, job_environment::JobValues{});
    const std::vector<std::u16string> entries = job_environment::SplitBlock(block.c_str());
    const std::vector<std::u16string> expected = {u"REDMON_DOCNAME=", u"REDMON_JOB=0",
                                                  u"REDMON_MACHINE=", u"REDMON_PORT=",
                                                  u"REDMON_PRINTER=", u"REDMON_USER="};
    EXPECT_EQ(entries, expected);
}

TEST(JobEnvironment, SplitStopsAtTheEmptyEntry) {
    const char16_t block[] = u"A=1\0B=2\0\0C=3\0";
    EXPECT_EQ(job_environment::SplitBlock(block), (std::vector<std::u16string>{u"A=1", u"B=2"}));
    EXPECT_TRUE(job_environment::SplitBlock(nullptr).empty());
}
