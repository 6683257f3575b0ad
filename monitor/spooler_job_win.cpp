// Vellumcast Monitor: the job's end reported to the spooler with SetJob.
#include "monitor/spooler_job_win.h"

#include <winspool.h>

#include <cwchar>
#include <vector>

namespace {

// By its full path in the system folder, whatever the host process's DLL search.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + wcslen(name) >= MAX_PATH)
        return nullptr;
    path[length] = L'\\';
    wcscpy(path + length + 1, name);
    return LoadLibraryW(path);
}

// Inside the spooler service its router (spoolss.dll) is already loaded and answers without
// a round trip through RPC; elsewhere the client library does.
template <typename F> F Spooler(const char* name) {
    HMODULE module = GetModuleHandleW(L"spoolss.dll");
    if (!module || !GetProcAddress(module, name))
        module = LoadSystemLibrary(L"winspool.drv"); // stays loaded with the monitor
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

std::wstring SpoolerJob::Owner() const {
    static const auto getJob = Spooler<GetJobFn>("GetJobW");
    if (!printer_ || !getJob)
        return std::wstring();
    DWORD needed = 0;
    getJob(printer_, jobId_, 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !getJob(printer_, jobId_, 1, buffer.data(), needed, &needed))
        return std::wstring();
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    return info->pUserName ? std::wstring(info->pUserName) : std::wstring();
}
