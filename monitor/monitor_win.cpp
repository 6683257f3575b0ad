// Vellumcast Monitor (VellumcastMon.dll): the print monitor's entry points. The spooler
// calls InitializePrintMonitor2 once and then the MONITOR2 functions below; each port
// handle carries at most one job at a time.
#include "monitor/job_environment.h"
#include "monitor/job_outcome.h"
#include "monitor/job_process_win.h"
#include "monitor/log_line.h"
#include "monitor/monitor_log_win.h"
#include "monitor/names.h"
#include "monitor/port_registry_win.h"
#include "monitor/port_rules.h"
#include "monitor/spooler_job_win.h"
#include "monitor/wide_win.h"
#include "monitor/xcv_commands.h"

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// How long EndDocPort waits for the program after the job's last byte.
constexpr DWORD kEndTimeoutMs = 60 * 1000;

struct Monitor {
    explicit Monitor(const MONITORINIT& init) : ports(init) {}
    RegistryPortStore ports;
};

// Time spent in the monitor's own calls for one job, for the log (and the benchmark).
class CallClock {
  public:
    CallClock(ULONGLONG& cpu100ns, ULONGLONG& wallUs) : cpu_(cpu100ns), wall_(wallUs) {
        cpuStart_ = ThreadCpu();
        QueryPerformanceCounter(&wallStart_);
    }
    ~CallClock() {
        cpu_ += ThreadCpu() - cpuStart_;
        LARGE_INTEGER end, frequency;
        QueryPerformanceCounter(&end);
        QueryPerformanceFrequency(&frequency);
        wall_ += static_cast<ULONGLONG>(end.QuadPart - wallStart_.QuadPart) * 1000000 /
                 static_cast<ULONGLONG>(frequency.QuadPart);
    }
    CallClock(const CallClock&) = delete;
    CallClock& operator=(const CallClock&) = delete;

  private:
    static ULONGLONG ThreadCpu() {
        FILETIME creation, exit, kernel, user;
        if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user))
            return 0;
        const auto value = [](const FILETIME& t) {
            return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        return value(kernel) + value(user);
    }

    ULONGLONG& cpu_;
    ULONGLONG& wall_;
    ULONGLONG cpuStart_;
    LARGE_INTEGER wallStart_;
};

struct Job {
    monitor::JobValues values;
    monitor::Outcome outcome;
    std::unique_ptr<JobProcess> process;
    std::unique_ptr<SpoolerJob> spooler;
    ULONGLONG cpu100ns = 0;
    ULONGLONG wallUs = 0;
    ULONGLONG waitUs = 0; // of wallUs: waiting for the program to end
};

struct Port {
    Monitor* monitor;
    std::u16string name;
    std::unique_ptr<Job> job;
};

struct XcvHandle {
    Monitor* monitor;
    ACCESS_MASK granted;
};

void Log(const std::u16string& port, const std::string& message) {
    monitor::Append(monitor::ForPort(monitor::Now(), port, message));
}

void LogJob(const Job& job, const std::string& message) {
    monitor::Append(monitor::ForJob(monitor::Now(), job.values.port, job.values.jobId,
                                    job.values.docName, message));
}

std::string Milliseconds(ULONGLONG value, ULONGLONG perMs) {
    const ULONGLONG tenths = value * 10 / perMs;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " ms";
}

std::wstring FromUtf8(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            size);
    return wide;
}

// Every entry point: no exception may reach the spooler.
template <typename F> BOOL Guarded(F f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        SetLastError(ERROR_INTERNAL_ERROR);
    }
    return FALSE;
}

// ---- ports -------------------------------------------------------------------------

BOOL WINAPI EnumPorts(HANDLE hMonitor, LPWSTR, DWORD level, LPBYTE ports, DWORD size,
                      LPDWORD needed, LPDWORD returned) {
    return Guarded([&] {
        if (level != 1 && level != 2) {
            SetLastError(ERROR_INVALID_LEVEL);
            return FALSE;
        }
        auto* monitor = static_cast<Monitor*>(hMonitor);
        const std::vector<std::u16string> names = monitor->ports.Ports();
        const std::wstring monitorName = Wide(monitor::kMonitor);
        const std::wstring description = L"Vellumcast PDF port";
        const size_t record = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
        size_t total = 0;
        for (const std::u16string& name : names) {
            total += record + (name.size() + 1) * sizeof(wchar_t);
            if (level == 2)
                total += (monitorName.size() + 1 + description.size() + 1) * sizeof(wchar_t);
        }
        *needed = static_cast<DWORD>(total);
        *returned = 0;
        if (total > size || (total > 0 && !ports)) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        // Records first, their strings after all records.
        auto* text = reinterpret_cast<wchar_t*>(ports + record * names.size());
        const auto place = [&text](const std::wstring& value) {
            wchar_t* start = text;
            std::memcpy(text, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
            text += value.size() + 1;
            return start;
        };
        for (size_t i = 0; i < names.size(); ++i) {
            if (level == 1) {
                auto* info = reinterpret_cast<PORT_INFO_1W*>(ports) + i;
                info->pName = place(Wide(names[i]));
            } else {
                auto* info = reinterpret_cast<PORT_INFO_2W*>(ports) + i;
                info->pPortName = place(Wide(names[i]));
                info->pMonitorName = place(monitorName);
                info->pDescription = place(description);
                info->fPortType = PORT_TYPE_WRITE;
                info->Reserved = 0;
            }
        }
        *returned = static_cast<DWORD>(names.size());
        return TRUE;
    });
}

BOOL WINAPI OpenPort(HANDLE hMonitor, LPWSTR name, PHANDLE handle) {
    return Guarded([&] {
        auto* monitor = static_cast<Monitor*>(hMonitor);
        const std::u16string port = U16(name);
        if (!monitor->ports.Exists(port)) {
            SetLastError(ERROR_UNKNOWN_PORT);
            return FALSE;
        }
        *handle = new Port{monitor, port, nullptr};
        return TRUE;
    });
}

BOOL WINAPI ClosePort(HANDLE handle) {
    delete static_cast<Port*>(handle);
    return TRUE;
}

// ---- one job -----------------------------------------------------------------------
// A failure never stops the spooler halfway: the job runs through to EndDocPort (writes
// that cannot reach the program are dropped), which ends it in error where the spooler
// shows it and writes the reason to the log.

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR printerName, DWORD jobId, DWORD level,
                         LPBYTE docInfo) {
    return Guarded([&] {
        auto* port = static_cast<Port*>(handle);
        port->job = std::make_unique<Job>();
        Job& job = *port->job;
        const CallClock clock(job.cpu100ns, job.wallUs);
        job.values.port = port->name;
        job.values.printer = U16(printerName);
        job.values.jobId = jobId;
        // DOC_INFO_1W and DOC_INFO_2W both begin with the document name.
        if ((level == 1 || level == 2) && docInfo)
            job.values.docName = U16(reinterpret_cast<DOC_INFO_1W*>(docInfo)->pDocName);
        job.values.machine = ComputerName();
        job.spooler = std::make_unique<SpoolerJob>(printerName, jobId);
        // The job's owner as the spooler records it; without a spooler (Wine), the account
        // that prints, which is this one.
        job.values.user = U16(job.spooler->Owner().c_str());
        if (job.values.user.empty())
            job.values.user = CurrentUserName();

        const std::u16string program = port->monitor->ports.Program(port->name).value_or(u"");
        const std::string problem = monitor::ProgramPathProblem(program);
        if (!problem.empty())
            job.outcome.NotConfigured(problem);
        else
            job.process = JobProcess::Start(program, job.values, job.outcome);
        return TRUE;
    });
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD written) {
    return Guarded([&] {
        auto* port = static_cast<Port*>(handle);
        *written = 0;
        if (!port->job) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        Job& job = *port->job;
        const CallClock clock(job.cpu100ns, job.wallUs);
        if (job.process && job.outcome.Writable())
            job.process->Write(buffer, size, job.outcome);
        *written = size;
        return TRUE;
    });
}

BOOL WINAPI ReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read) {
    if (read)
        *read = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL WINAPI EndDocPort(HANDLE handle) {
    return Guarded([&] {
        auto* port = static_cast<Port*>(handle);
        if (!port->job) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        const std::unique_ptr<Job> job = std::move(port->job);
        {
            const CallClock clock(job->cpu100ns, job->wallUs);
            if (job->process) {
                ULONGLONG waitCpu = 0;
                const CallClock wait(waitCpu, job->waitUs);
                job->process->Finish(kEndTimeoutMs, job->outcome);
            }
        }
        const std::string figures = std::to_string(job->outcome.Written()) +
                                    " bytes; monitor CPU " + Milliseconds(job->cpu100ns, 10000) +
                                    ", in monitor calls " + Milliseconds(job->wallUs, 1000) +
                                    " of which waiting for the program " +
                                    Milliseconds(job->waitUs, 1000);
        if (!job->outcome.Failed()) {
            LogJob(*job, "printed, " + figures);
            job->spooler->Sent();
            return TRUE;
        }
        LogJob(*job, "FAILED: " + job->outcome.Reason() + " (" + figures + ")");
        job->spooler->Failed(L"Vellumcast: " + FromUtf8(job->outcome.Reason()));
        SetLastError(job->outcome.Error());
        return FALSE;
    });
}

// ---- configuration -----------------------------------------------------------------

BOOL WINAPI XcvOpenPort(HANDLE hMonitor, LPCWSTR, ACCESS_MASK granted, PHANDLE handle) {
    return Guarded([&] {
        *handle = new XcvHandle{static_cast<Monitor*>(hMonitor), granted};
        return TRUE;
    });
}

DWORD WINAPI XcvDataPort(HANDLE handle, LPCWSTR command, PBYTE input, DWORD inputSize, PBYTE output,
                         DWORD outputSize, PDWORD outputNeeded) {
    try {
        auto* xcv = static_cast<XcvHandle*>(handle);
        monitor::Request request;
        request.command = U16(command);
        if (input && inputSize > 0)
            request.input.assign(input, input + inputSize);
        request.outputSize = output ? outputSize : 0;
        request.grantedAccess = xcv->granted;
        const monitor::Reply reply = monitor::Handle(xcv->monitor->ports, request);
        if (outputNeeded)
            *outputNeeded = static_cast<DWORD>(reply.needed);
        if (!reply.output.empty())
            std::memcpy(output, reply.output.data(), reply.output.size());
        if (!reply.logMessage.empty())
            Log(reply.port, reply.logMessage);
        return reply.status;
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return ERROR_INTERNAL_ERROR;
    }
}

BOOL WINAPI XcvClosePort(HANDLE handle) {
    delete static_cast<XcvHandle*>(handle);
    return TRUE;
}

VOID WINAPI Shutdown(HANDLE hMonitor) {
    delete static_cast<Monitor*>(hMonitor);
}

MONITOR2 MakeTable() {
    MONITOR2 table{};
    table.cbSize = sizeof table;
    table.pfnEnumPorts = EnumPorts;
    table.pfnOpenPort = OpenPort;
    table.pfnStartDocPort = StartDocPort;
    table.pfnWritePort = WritePort;
    table.pfnReadPort = ReadPort;
    table.pfnEndDocPort = EndDocPort;
    table.pfnClosePort = ClosePort;
    table.pfnXcvOpenPort = XcvOpenPort;
    table.pfnXcvDataPort = XcvDataPort;
    table.pfnXcvClosePort = XcvClosePort;
    table.pfnShutdown = Shutdown;
    return table;
}

MONITOR2 g_table = MakeTable();

} // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI
    InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
    if (!init || !init->pMonitorReg || !monitor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        *monitor = new Monitor(*init);
        return &g_table;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}
