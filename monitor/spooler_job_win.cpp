// Vellumcast Monitor: the job's end reported to the spooler with SetJob.
#include "monitor/spooler_job_win.h"

#include <winspool.h>

#include <vector>

namespace {

// Inside the spooler service its router (spoolss.dll) is already loaded and answers without
// a round trip through RPC; elsewhere the client library does.
template <typename F> F Spooler(const char* name) {
    HMODULE module = GetModuleHandleW(L"spoolss.dll");
    if (!module || !GetProcAddress(module, name))
        module = LoadLibraryW(L"winspool.drv"); // stays loaded with the monitor
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

using OpenPrinterFn = BOOL(WINAPI*)(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW);
using ClosePrinterFn = BOOL(WINAPI*)(HANDLE);
using GetJobFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, LPBYTE, DWORD, LPDWORD);
using SetJobFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, LPBYTE, DWORD);

// JOB_CONTROL_RETAIN (Windows Vista and later): the job stays in the queue after it ends,
// so that the user sees it in error and can restart it once the cause is fixed.
constexpr DWORD kJobControlRetain = 8;

} // namespace

SpoolerJob::SpoolerJob(const wchar_t* printerName, DWORD jobId) : jobId_(jobId) {
    if (!printerName || !*printerName || jobId == 0)
        return;
    static const auto open = Spooler<OpenPrinterFn>("OpenPrinterW");
    if (!open)
        return;
    std::wstring name = printerName;
    HANDLE printer = nullptr;
    if (open(name.data(), &printer, nullptr))
        printer_ = printer;
}

SpoolerJob::~SpoolerJob() {
    static const auto close = Spooler<ClosePrinterFn>("ClosePrinter");
    if (printer_ && close)
        close(printer_);
}

void SpoolerJob::Sent() {
    static const auto setJob = Spooler<SetJobFn>("SetJobW");
    if (printer_ && setJob)
        setJob(printer_, jobId_, 0, nullptr, JOB_CONTROL_SENT_TO_PRINTER);
}

void SpoolerJob::Failed(const std::wstring& status) {
    static const auto getJob = Spooler<GetJobFn>("GetJobW");
    static const auto setJob = Spooler<SetJobFn>("SetJobW");
    if (!printer_ || !getJob || !setJob)
        return;
    DWORD needed = 0;
    getJob(printer_, jobId_, 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed > 0 && getJob(printer_, jobId_, 1, buffer.data(), needed, &needed)) {
        auto* info = reinterpret_cast<JOB_INFO_1W*>(buffer.data());
        std::wstring text = status;
        info->pStatus = text.data();
        info->Status |= JOB_STATUS_ERROR;
        info->Position = JOB_POSITION_UNSPECIFIED;
        setJob(printer_, jobId_, 1, buffer.data(), 0);
    }
    setJob(printer_, jobId_, 0, nullptr, kJobControlRetain);
}
