// Vellumcast Monitor: the port's program for one job: started hidden with a pipe on its
// standard input, as the printing user on that user's desktop when the spooler thread
// impersonates one (else as the current user, as under Wine); fed; awaited.
#pragma once

#include "base/win/handles.h"
#include "monitor/job_environment.h"
#include "monitor/job_outcome.h"

#include <windows.h>

#include <memory>
#include <string>

class JobProcess {
  public:
    // The started program, or nothing with the reason in outcome.
    static std::unique_ptr<JobProcess> Start(const std::u16string& program,
                                             const job_environment::JobValues& job,
                                             job_outcome::Outcome& outcome);

    // Writes all of data to the program's standard input; a failure goes to outcome and
    // closes the pipe (the rest of the job is dropped).
    void Write(const BYTE* data, DWORD size, job_outcome::Outcome& outcome);

    // Closes the pipe (end of the job for the program) and waits up to timeoutMs for the
    // program to end; its exit code or the failed wait goes to outcome.
    void Finish(DWORD timeoutMs, job_outcome::Outcome& outcome);

    JobProcess(win::UniqueHandle input, win::UniqueProcess process)
        : input_(std::move(input)), process_(std::move(process)) {}

  private:
    win::UniqueHandle input_;
    win::UniqueProcess process_;
};

// Who prints and where, for the job's environment: the impersonated user's name (or the
// process's) and this computer's name.
std::u16string CurrentUserName();
std::u16string ComputerName();
