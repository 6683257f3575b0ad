// Vellumcast Monitor: the port's program for one job: started hidden with a pipe on its
// standard input, under the printing user's account and environment (see account.h),
// never the spooler's own; fed; awaited.
#pragma once

#include "base/win/handles_win.h"
#include "monitor/job_environment.h"
#include "monitor/job_outcome.h"

#include <windows.h>

#include <memory>
#include <string>

// A user's profile loaded for the program's run and unloaded after it (nothing when the
// token is none or the profile could not be loaded: the environment block still comes from
// the token).
class LoadedProfile {
  public:
    LoadedProfile() = default;
    LoadedProfile(HANDLE token, const std::u16string& user);
    ~LoadedProfile();
    LoadedProfile(LoadedProfile&& other) noexcept
        : token_(std::move(other.token_)), profile_(other.profile_) {
        other.profile_ = nullptr;
    }
    LoadedProfile& operator=(LoadedProfile&& other) noexcept;

  private:
    win::UniqueHandle token_;
    HANDLE profile_ = nullptr;
};

class JobProcess {
  public:
    // The started program, or nothing with the reason in outcome.
    static std::unique_ptr<JobProcess>
    Start(const std::u16string& program, const monitor::JobValues& job, monitor::Outcome& outcome);

    // Writes all of data to the program's standard input; a failure goes to outcome and
    // closes the pipe (the rest of the job is dropped).
    void Write(const BYTE* data, DWORD size, monitor::Outcome& outcome);

    // Closes the pipe (end of the job for the program) and waits up to timeoutMs for the
    // program to end; its exit code or the failed wait goes to outcome.
    void Finish(DWORD timeoutMs, monitor::Outcome& outcome);

    JobProcess(win::UniqueHandle input, win::UniqueProcess process)
        : input_(std::move(input)), process_(std::move(process)) {}

  private:
    win::UniqueHandle input_;
    win::UniqueProcess process_;
    LoadedProfile profile_; // last: unloaded after the program's handles are closed
};

// Who prints and where, for the job's environment: the impersonated user's name (or the
// process's) and this computer's name.
std::u16string CurrentUserName();
std::u16string ComputerName();
