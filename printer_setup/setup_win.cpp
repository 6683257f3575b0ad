// Vellumcast-setup.exe: registers the Vellumcast port monitor, its port "VELLUMCAST:", a
// PostScript driver and the queue "Vellumcast PDF", or removes them again. Idempotent both
// ways; one line per step on standard output, and on failure one line on standard error
// naming the step and the Windows error, with exit code 1 (2 for a wrong command line).
//   Vellumcast-setup.exe install "<full path of Spoolwick.exe>"
//   Vellumcast-setup.exe uninstall
// Every spooler call names the spooler's own environment ("Windows x64" on 64-bit Windows),
// so the 32-bit build registers the same 64-bit parts as the 64-bit one.
#include "base/win/dll_search_win.h"
#include "monitor/names.h"
#include "monitor/port_rules.h"
#include "monitor/wide_win.h"
#include "printer_setup/platform.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kQueue[] = L"Vellumcast PDF";
// Under Wine: our driver entry on Wine's PostScript driver with our PPD.
constexpr wchar_t kWineDriver[] = L"Vellumcast PostScript";
// On Windows 8 and later: the system's PostScript class driver from the driver store.
constexpr wchar_t kClassDriver[] = L"Microsoft PS Class Driver";

const std::wstring kMonitor = Wide(monitor::kMonitor);
const std::wstring kPort = Wide(monitor::kDefaultPort);

// A failed step: its name and the Windows error number, or the HRESULT of a call that
// returns one (reported whole: its facility says as much as its code).
struct StepFailed {
    const char* step;
    DWORD error;
    bool isHresult = false;
};

void Say(const char* text) {
    std::printf("Vellumcast setup: %s\n", text);
    std::fflush(stdout);
}

[[noreturn]] void Fail(const char* step, DWORD error) {
    throw StepFailed{step, error};
}

[[noreturn]] void FailWithHresult(const char* step, HRESULT result) {
    throw StepFailed{step, static_cast<DWORD>(result), true};
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// SPLREG_ARCHITECTURE, which the headers spell in the ANSI or wide form by UNICODE.
constexpr wchar_t kArchitectureValue[] = L"Architecture";

// What the spooler says it serves, or nothing where it does not say (Wine).
std::u16string SpoolerArchitecture() {
    wchar_t architecture[64] = {};
    DWORD type = 0;
    DWORD needed = 0;
    HANDLE server = nullptr;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_READ};
    if (!OpenPrinterW(nullptr, &server, &defaults))
        return u"";
    const DWORD status =
        GetPrinterDataW(server, const_cast<LPWSTR>(kArchitectureValue), &type,
                        reinterpret_cast<BYTE*>(architecture), sizeof architecture - 2, &needed);
    ClosePrinter(server);
    return status == ERROR_SUCCESS && type == REG_SZ ? U16(architecture) : u"";
}

// The machine's own processor, also from a 32-bit program on 64-bit or ARM64 Windows.
printer_setup::Machine NativeMachine() {
    using IsWow64Process2Call = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    const auto isWow64Process2 = reinterpret_cast<IsWow64Process2Call>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
    USHORT process = 0;
    USHORT native = 0;
    if (isWow64Process2 && isWow64Process2(GetCurrentProcess(), &process, &native))
        return static_cast<printer_setup::Machine>(native);
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        return printer_setup::Machine::X86;
    case PROCESSOR_ARCHITECTURE_AMD64:
        return printer_setup::Machine::Amd64;
    case PROCESSOR_ARCHITECTURE_ARM64:
        return printer_setup::Machine::Arm64;
    default:
        return printer_setup::Machine::Unknown;
    }
}

// The environment every spooler call passes: the spooler's, never this build's own.
std::wstring ServerEnvironment() {
    const printer_setup::EnvironmentChoice choice =
        printer_setup::ChooseEnvironment(SpoolerArchitecture(), NativeMachine());
    if (choice.refusal) {
        std::fprintf(stderr, "Vellumcast setup: %s\n", choice.refusal);
        Fail("find a spooler environment with a Vellumcast monitor build", ERROR_NOT_SUPPORTED);
    }
    const std::wstring environment = Wide(choice.environment);
    std::printf("Vellumcast setup: spooler environment \"%ls\"\n", environment.c_str());
    std::fflush(stdout);
    return environment;
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

// The spooler's folder for this platform's driver files, ending in "\\".
std::wstring DriverFolder(std::wstring environment) {
    wchar_t folder[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, environment.data(), 1, reinterpret_cast<BYTE*>(folder),
                                    sizeof folder, &needed))
        Fail("find the printer driver folder", GetLastError());
    return std::wstring(folder) + L"\\";
}

class Printer {
  public:
    Printer() = default;
    explicit Printer(HANDLE h) : handle_(h) {}
    ~Printer() {
        if (handle_)
            ClosePrinter(handle_);
    }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    Printer& operator=(Printer&& other) noexcept {
        if (this != &other) {
            if (handle_)
                ClosePrinter(handle_);
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    HANDLE get() const { return handle_; }
    HANDLE* Receive() { return &handle_; }

  private:
    HANDLE handle_ = nullptr;
};

// ---- the port, through the monitor's configuration calls ---------------------------

std::vector<BYTE> Strings(std::initializer_list<std::wstring> strings) {
    std::vector<BYTE> bytes;
    for (const std::wstring& s : strings) {
        const auto* begin = reinterpret_cast<const BYTE*>(s.c_str());
        bytes.insert(bytes.end(), begin, begin + (s.size() + 1) * sizeof(wchar_t));
    }
    return bytes;
}

// The monitor's configuration handle, or none when the monitor is not registered.
bool OpenMonitorConfig(Printer& xcv) {
    std::wstring object = L",XcvMonitor " + kMonitor;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    return OpenPrinterW(object.data(), xcv.Receive(), &defaults) != 0;
}

DWORD Xcv(const Printer& xcv, const wchar_t* command, std::vector<BYTE> input,
          std::vector<BYTE>* output = nullptr) {
    BYTE room[4096];
    DWORD needed = 0;
    DWORD status = 0;
    if (!XcvDataW(xcv.get(), command, input.data(), static_cast<DWORD>(input.size()), room,
                  sizeof room, &needed, &status))
        return GetLastError();
    if (output && status == ERROR_SUCCESS)
        output->assign(room, room + (needed < sizeof room ? needed : sizeof room));
    return status;
}

// ---- install -----------------------------------------------------------------------

void CheckProgram(const std::wstring& program) {
    const std::string problem = monitor::ProgramPathProblem(U16(program.c_str()));
    if (!problem.empty()) {
        std::fprintf(stderr, "Vellumcast setup: %s\n", problem.c_str());
        Fail("check the program", ERROR_INVALID_PARAMETER);
    }
    const DWORD attributes = GetFileAttributesW(program.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        Fail("check the program", GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        Fail("check the program", ERROR_DIRECTORY);
}

void RegisterMonitor(std::wstring environment) {
    std::wstring name = kMonitor;
    std::wstring dll = Wide(monitor::kDll);
    MONITOR_INFO_2W info{name.data(), environment.data(), dll.data()};
    if (AddMonitorW(nullptr, 2, reinterpret_cast<BYTE*>(&info))) {
        Say("monitor \"Vellumcast Monitor\" registered");
        return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_PRINT_MONITOR_ALREADY_INSTALLED)
        Fail("register the monitor (AddMonitor)", error);
    Say("monitor \"Vellumcast Monitor\" already registered");
}

void AddPort(const std::wstring& program) {
    Printer xcv;
    if (!OpenMonitorConfig(xcv))
        Fail("open the monitor's configuration", GetLastError());
    std::vector<BYTE> exists;
    DWORD status = Xcv(xcv, L"PortExists", Strings({kPort}), &exists);
    if (status != ERROR_SUCCESS)
        Fail("look for the port", status);
    if (exists.empty() || exists[0] == 0) {
        status = Xcv(xcv, L"AddPort", Strings({kPort}));
        if (status != ERROR_SUCCESS && status != ERROR_ALREADY_EXISTS)
            Fail("add the port", status);
        Say("port VELLUMCAST: added");
    }
    status = Xcv(xcv, L"SetConfig", Strings({kPort, program}));
    if (status != ERROR_SUCCESS)
        Fail("set the port's program", status);
    Say("port VELLUMCAST: starts the given program");
}

// The driver's name for the queue.
std::wstring InstallDriver(const std::wstring& environment) {
    if (!UnderWine()) {
        using InstallFromPackage = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, DWORD);
        const auto install = reinterpret_cast<InstallFromPackage>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"winspool.drv"), "InstallPrinterDriverFromPackageW")));
        if (!install)
            Fail("install the PostScript class driver (needs Windows 8 or later)",
                 ERROR_PROC_NOT_FOUND);
        const HRESULT result = install(nullptr, nullptr, kClassDriver, environment.c_str(), 0);
        if (FAILED(result))
            FailWithHresult("install the PostScript class driver", result);
        Say("driver \"Microsoft PS Class Driver\" ready");
        return kClassDriver;
    }
    const std::wstring source = ModuleFolder() + L"Vellumcast.ppd";
    if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES)
        Fail("find Vellumcast.ppd beside the setup program", GetLastError());
    // Wine's spooler does not copy a data file itself: the PPD goes into the driver folder.
    std::wstring ppd = DriverFolder(environment) + L"Vellumcast.ppd";
    if (!CopyFileW(source.c_str(), ppd.c_str(), FALSE))
        Fail("copy Vellumcast.ppd into the printer driver folder", GetLastError());
    std::wstring name = kWineDriver;
    std::wstring driver = L"wineps.drv";
    std::wstring datatype = L"RAW";
    std::wstring platform = environment;
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = name.data();
    info.pEnvironment = platform.data();
    info.pDriverPath = driver.data();
    info.pDataFile = ppd.data();
    info.pConfigFile = driver.data();
    info.pDefaultDataType = datatype.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), 0))
        Fail("install the driver (AddPrinterDriverEx)", GetLastError());
    Say("driver \"Vellumcast PostScript\" (wineps.drv, Vellumcast.ppd) ready");
    return kWineDriver;
}

void AddQueue(const std::wstring& driverName) {
    std::wstring queue = kQueue;
    std::wstring port = kPort;
    std::wstring driver = driverName;
    std::wstring processor = L"winprint";
    std::wstring datatype = L"RAW";
    PRINTER_INFO_2W info{};
    info.pPrinterName = queue.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    const Printer added(AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info)));
    if (added.get()) {
        Say("queue \"Vellumcast PDF\" added");
        return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_PRINTER_ALREADY_EXISTS)
        Fail("add the queue (AddPrinter)", error);

    // Present already: make sure it prints to our port.
    Printer existing;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(queue.data(), existing.Receive(), &defaults))
        Fail("open the existing queue", GetLastError());
    DWORD needed = 0;
    GetPrinterW(existing.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !GetPrinterW(existing.get(), 2, buffer.data(), needed, &needed))
        Fail("read the existing queue", GetLastError());
    auto* current = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    if (current->pPortName && kPort == current->pPortName) {
        Say("queue \"Vellumcast PDF\" already present on port VELLUMCAST:");
        return;
    }
    current->pPortName = port.data();
    current->pDriverName = driver.data();
    current->pSecurityDescriptor = nullptr; // keep the queue's own
    if (!SetPrinterW(existing.get(), 2, buffer.data(), 0))
        Fail("move the existing queue to port VELLUMCAST:", GetLastError());
    Say("queue \"Vellumcast PDF\" moved to port VELLUMCAST:");
}

void Install(const std::wstring& program) {
    CheckProgram(program);
    const std::wstring environment = ServerEnvironment();
    RegisterMonitor(environment);
    AddPort(program);
    AddQueue(InstallDriver(environment));
    Say("installed");
}

// ---- uninstall ---------------------------------------------------------------------

// The jobs the queue still holds (jobs the monitor could not hand on are retained in it),
// one line each, so that the uninstaller's log says what the purge removes.
std::vector<DWORD> ListJobs(HANDLE printer) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumJobsW(printer, 0, 0xFFFFFFFF, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 ||
        !EnumJobsW(printer, 0, 0xFFFFFFFF, 1, buffer.data(), needed, &needed, &count))
        count = 0;
    std::vector<DWORD> ids;
    const auto* jobs = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        const JOB_INFO_1W& job = jobs[i];
        ids.push_back(job.JobId);
        std::printf("Vellumcast setup: job %lu in the queue: \"%ls\" of %ls, %ls, submitted "
                    "%04u-%02u-%02u %02u:%02u (UTC)\n",
                    static_cast<unsigned long>(job.JobId), job.pDocument ? job.pDocument : L"",
                    job.pUserName ? job.pUserName : L"",
                    job.pStatus && *job.pStatus ? job.pStatus : L"no status", job.Submitted.wYear,
                    job.Submitted.wMonth, job.Submitted.wDay, job.Submitted.wHour,
                    job.Submitted.wMinute);
    }
    std::fflush(stdout);
    return ids;
}

// Removes the queue's jobs: all at once, or one by one where the spooler cannot purge.
void PurgeJobs(HANDLE printer) {
    const std::vector<DWORD> jobs = ListJobs(printer);
    if (jobs.empty())
        return;
    if (!SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_PURGE)) {
        for (DWORD id : jobs) {
            if (!SetJobW(printer, id, 0, nullptr, JOB_CONTROL_DELETE))
                Fail("purge the queue's jobs", GetLastError());
        }
    }
    std::printf("Vellumcast setup: %zu job(s) purged from the queue\n", jobs.size());
    std::fflush(stdout);
}

bool QueuePresent() {
    std::wstring queue = kQueue;
    Printer printer;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (OpenPrinterW(queue.data(), printer.Receive(), &defaults))
        return true;
    const DWORD error = GetLastError();
    if (error != ERROR_INVALID_PRINTER_NAME)
        Fail("look for the queue", error);
    return false;
}

void RemoveQueue() {
    std::wstring queue = kQueue;
    Printer printer;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(queue.data(), printer.Receive(), &defaults)) {
        const DWORD error = GetLastError();
        if (error != ERROR_INVALID_PRINTER_NAME)
            Fail("open the queue", error);
        Say("queue \"Vellumcast PDF\" not present");
        return;
    }
    // A queue with jobs in it is only marked for deletion, and its port and monitor stay in
    // use: the jobs go first.
    PurgeJobs(printer.get());
    if (!DeletePrinter(printer.get()))
        Fail("delete the queue (DeletePrinter)", GetLastError());
    printer = Printer();
    // The spooler deletes the queue once its last handle and job are gone; only then do the
    // port and the monitor let go.
    for (int waited = 0; QueuePresent(); waited += 100) {
        if (waited >= 30000)
            Fail("see the queue deleted (a job is still printing; try again when it has ended)",
                 ERROR_BUSY);
        Sleep(100);
    }
    Say("queue \"Vellumcast PDF\" deleted");
}

void RemovePort() {
    Printer xcv;
    if (!OpenMonitorConfig(xcv)) {
        Say("monitor not registered: no port to delete");
        return;
    }
    const DWORD status = Xcv(xcv, L"DeletePort", Strings({kPort}));
    if (status == ERROR_UNKNOWN_PORT) {
        Say("port VELLUMCAST: not present");
        return;
    }
    if (status != ERROR_SUCCESS)
        Fail("delete the port", status);
    Say("port VELLUMCAST: deleted");
}

bool DriverInstalled(const std::wstring& name, std::wstring environment) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrinterDriversW(nullptr, environment.data(), 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !EnumPrinterDriversW(nullptr, environment.data(), 1, buffer.data(), needed,
                                            &needed, &count))
        return false;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (drivers[i].pName && name == drivers[i].pName)
            return true;
    }
    return false;
}

void RemoveDriver(std::wstring environment) {
    if (!UnderWine())
        return; // the system's class driver is not ours to remove
    std::wstring name = kWineDriver;
    // Asked first: Wine's answer for a driver that is not there is not the documented one.
    if (!DriverInstalled(name, environment)) {
        Say("driver \"Vellumcast PostScript\" not present");
        return;
    }
    if (!DeletePrinterDriverW(nullptr, environment.data(), name.data()))
        Fail("delete the driver (DeletePrinterDriver)", GetLastError());
    DeleteFileW((DriverFolder(environment) + L"Vellumcast.ppd").c_str());
    Say("driver \"Vellumcast PostScript\" deleted");
}

void RemoveMonitor(std::wstring environment) {
    std::wstring name = kMonitor;
    if (DeleteMonitorW(nullptr, environment.data(), name.data())) {
        Say("monitor \"Vellumcast Monitor\" removed");
        return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_UNKNOWN_PRINT_MONITOR)
        Fail("remove the monitor (DeleteMonitor)", error);
    Say("monitor \"Vellumcast Monitor\" not registered");
}

void Uninstall() {
    const std::wstring environment = ServerEnvironment();
    RemoveQueue();
    RemovePort();
    RemoveDriver(environment);
    RemoveMonitor(environment);
    Say("uninstalled");
}

void Usage() {
    std::fputs("usage: Vellumcast-setup.exe install \"<full path of Spoolwick.exe>\"\n"
               "       Vellumcast-setup.exe uninstall\n",
               stderr);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Run elevated: no DLL from the program's own folder or the current one.
    win::RestrictDllSearchToSystemFolder();
    try {
        if (argc == 3 && std::wcscmp(argv[1], L"install") == 0) {
            Install(argv[2]);
            return 0;
        }
        if (argc == 2 && std::wcscmp(argv[1], L"uninstall") == 0) {
            Uninstall();
            return 0;
        }
        Usage();
        return 2;
    } catch (const StepFailed& failed) {
        if (failed.isHresult)
            std::fprintf(stderr, "Vellumcast setup: could not %s: HRESULT 0x%08lX\n", failed.step,
                         static_cast<unsigned long>(failed.error));
        else
            std::fprintf(stderr, "Vellumcast setup: could not %s: Windows error %lu\n", failed.step,
                         static_cast<unsigned long>(failed.error));
        return 1;
    }
}
