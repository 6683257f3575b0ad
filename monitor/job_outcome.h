// Vellumcast Monitor: what became of one job on its way to the port's program, and the
// reason a failed job ends in error. Pure logic; job_process_win reports into it.
#pragma once

#include <cstdint>
#include <string>

namespace monitor {

// The Windows error numbers the monitor reports a failed job with.
constexpr uint32_t kBrokenPipe = 109;        // ERROR_BROKEN_PIPE
constexpr uint32_t kProcessAborted = 1067;   // ERROR_PROCESS_ABORTED
constexpr uint32_t kTimeout = 1460;          // ERROR_TIMEOUT
constexpr uint32_t kBadConfiguration = 1610; // ERROR_BAD_CONFIGURATION
constexpr uint32_t kNoLogonSession = 1312;   // ERROR_NO_SUCH_LOGON_SESSION

class Outcome {
  public:
    // No usable program in the port's settings.
    void NotConfigured(const std::string& problem);
    void StartFailed(const std::u16string& program, uint32_t windowsError);
    // The monitor runs as a service and has no account of the printing user to start the
    // program under (never its own).
    void NoUserAccount(const std::u16string& owner);
    // A write to the program's standard input failed after `written` bytes of the job.
    void WriteFailed(uint64_t written, uint32_t windowsError);
    void Wrote(uint64_t bytes) { written_ += bytes; }
    void Ended(uint32_t exitCode);
    void DidNotEnd(unsigned seconds);
    void WaitFailed(uint32_t windowsError);

    bool Failed() const { return !reason_.empty(); }
    // Every reason the job failed, joined by "; " (empty when it did not fail).
    const std::string& Reason() const { return reason_; }
    // The Windows error number the failed job is reported with (0 when it did not fail).
    uint32_t Error() const { return error_; }
    uint64_t Written() const { return written_; }
    // False once a write failed: later writes of the job are dropped.
    bool Writable() const { return started_ && !writeFailed_; }
    void Started() { started_ = true; }

  private:
    void Fail(const std::string& reason, uint32_t error);

    std::string reason_;
    uint32_t error_ = 0;
    uint64_t written_ = 0;
    bool started_ = false;
    bool writeFailed_ = false;
};

} // namespace monitor
