// Vellumcast Monitor: telling the spooler how a job ended. A job that failed stays in the
// queue in error with the reason as its status text; a job that succeeded is reported as
// sent. Without a printer name (Wine gives none) there is no job to tell.
#pragma once

#include "base/win/handles_win.h"

#include <windows.h>

#include <string>

class SpoolerJob {
  public:
    SpoolerJob(const wchar_t* printerName, DWORD jobId);
    ~SpoolerJob();
    SpoolerJob(const SpoolerJob&) = delete;
    SpoolerJob& operator=(const SpoolerJob&) = delete;

    void Sent();
    void Failed(const std::wstring& status);
    // The user who printed the job, as the spooler records it; empty when it cannot say.
    std::wstring Owner() const;

  private:
    HANDLE printer_ = nullptr;
    DWORD jobId_;
};
