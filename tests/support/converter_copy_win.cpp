// A private copy of Vellumcast.exe for the tests that run the real converter.
#include "tests/support/converter_copy_win.h"

#include "tests/support/window_driver_win.h"

#include <stdexcept>

namespace testing_support {

namespace {
constexpr char kTitle[] = "Tamberlyn";
constexpr char kMainWindowClass[] = "TForm1";
} // namespace

ConverterCopy::ConverterCopy(const ByteString& folderHint) : dir_(folderHint) {
    const ByteString built = BuildFile("converter/app/Vellumcast.exe");
    if (!CopyFileA(built.c_str(), ExePath().c_str(), FALSE))
        throw std::runtime_error("cannot copy " + built);
}

ConverterCopy::~ConverterCopy() {
    if (Running()) {
        TerminateProcess(process_.process.get(), 1);
        WaitForSingleObject(process_.process.get(), 10000);
    }
}

void ConverterCopy::Start(const ByteString& arguments, WORD show) {
    ByteString commandLine = "\"" + ExePath() + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir_.Path().c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + commandLine);
    process_ = win::UniqueProcess(info);
    processId_ = info.dwProcessId;
}

bool ConverterCopy::Running() const {
    return process_.process && WaitForSingleObject(process_.process.get(), 0) == WAIT_TIMEOUT;
}

int ConverterCopy::WaitForExit(DWORD timeoutMs) {
    return testing_support::WaitForExit(process_.process.get(), timeoutMs);
}

HWND ConverterCopy::MainWindow(DWORD timeoutMs) const {
    return testing_support::WaitForTopLevel(kMainWindowClass, kTitle, processId_, timeoutMs);
}

HWND ConverterCopy::ApplicationWindow(DWORD timeoutMs) const {
    return testing_support::WaitForTopLevel("TApplication", kTitle, processId_, timeoutMs);
}

HWND ConverterCopy::Dialog(const char* caption, DWORD timeoutMs) const {
    return testing_support::WaitForTopLevel("#32770", caption, processId_, timeoutMs);
}

int ConverterCopy::CloseAndWait() {
    PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
    return WaitForExit();
}

ByteString ConverterCopy::Setting(const char* section, const char* key) const {
    char value[2048] = {};
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, IniPath().c_str());
    return value;
}

} // namespace testing_support
