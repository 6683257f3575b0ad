// Vellumcast Monitor: the environment block of the program started for a job: the
// printing user's environment plus the values a redirected port conventionally provides
// (REDMON_DOCNAME and the others). Pure logic; the blocks come from and go to Windows in
// job_process_win.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace job_environment {

// What the spooler tells the monitor about one job.
struct JobValues {
    std::u16string docName; // exactly as the document info gave it
    std::u16string port;
    std::u16string printer; // empty when the spooler gave none
    uint32_t jobId = 0;
    std::u16string user;
    std::u16string machine;
};

// The "NAME=value" entries of a block of zero-terminated entries that ends with an empty
// one (as GetEnvironmentStringsW and CreateEnvironmentBlock return it).
std::vector<std::u16string> SplitBlock(const char16_t* block);

// A block for CreateProcess with CREATE_UNICODE_ENVIRONMENT: the inherited entries without
// any REDMON_ variable of their own (a stale one must not name this job), our values, sorted
// by name without regard to ASCII case, each zero-terminated, and a final zero.
std::u16string BuildBlock(const std::vector<std::u16string>& inherited, const JobValues& job);

} // namespace job_environment
