// Vellumcast Monitor: collecting why a job failed.
#include "monitor/job_outcome.h"

#include "monitor/log_line.h"

namespace monitor {

void Outcome::Fail(const std::string& reason, uint32_t error) {
    if (!reason_.empty())
        reason_ += "; ";
    reason_ += reason;
    if (error_ == 0)
        error_ = error;
}

void Outcome::NotConfigured(const std::string& problem) {
    Fail("the port is not usable: " + problem, kBadConfiguration);
}

void Outcome::StartFailed(const std::u16string& program, uint32_t windowsError) {
    Fail("the program " + monitor::QuotedName(program) + " could not be started (Windows error " +
             std::to_string(windowsError) + ")",
         windowsError);
}

void Outcome::NoUserAccount(const std::u16string& owner) {
    Fail("the program was not started: the spooler did not impersonate the printing user and " +
             monitor::QuotedName(owner) +
             " has no logged-on session; no program is started under the spooler's own account",
         kNoLogonSession);
}

void Outcome::WriteFailed(uint64_t written, uint32_t windowsError) {
    writeFailed_ = true;
    Fail("the program stopped reading the job after " + std::to_string(written) +
             " bytes (Windows error " + std::to_string(windowsError) + "); the rest was dropped",
         kBrokenPipe);
}

void Outcome::Ended(uint32_t exitCode) {
    if (exitCode != 0)
        Fail("the program ended with exit code " + std::to_string(exitCode), kProcessAborted);
}

void Outcome::DidNotEnd(unsigned seconds) {
    Fail("the program did not end within " + std::to_string(seconds) +
             " s after the job; it was left running",
         kTimeout);
}

void Outcome::WaitFailed(uint32_t windowsError) {
    Fail("the end of the program could not be awaited (Windows error " +
             std::to_string(windowsError) + ")",
         windowsError);
}

} // namespace monitor
