// Vellumcast Monitor: telling the spooler how a job ended. A job that failed stays in the
// queue in error with the reason as its status text; a job that succeeded is reported as
// sent. Without a printer name (Wine gives none) there is no job to tell.
#pragma once

#include "base/win/handles.h"

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

  private:
    HANDLE printer_ = nullptr;
    DWORD jobId_;
};
