// Test tool job_sink.exe: stands in for a port's program. It records the REDMON_ values of
// its environment (UTF-8, one "NAME=value" line each) and the byte count it read to the
// file named by VELLUMCAST_SINK_RECORD, copies the job to the file named by
// VELLUMCAST_SINK_COPY (when set), and behaves as VELLUMCAST_SINK_MODE says:
//   "early": ends at once with exit code 0 without reading its standard input;
//   "fail":  reads everything, then ends with exit code 3;
//   anything else: reads everything and ends with exit code 0.
#include <windows.h>

#include <string>

namespace {

std::wstring Variable(const wchar_t* name) {
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

} // namespace

int wmain() {
    const std::wstring mode = Variable(L"VELLUMCAST_SINK_MODE");
    unsigned long long bytes = 0;
    if (mode != L"early") {
        const std::wstring copyPath = Variable(L"VELLUMCAST_SINK_COPY");
        const HANDLE copy = copyPath.empty()
                                ? INVALID_HANDLE_VALUE
                                : CreateFileW(copyPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        char buffer[8192];
        DWORD read = 0;
        while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            bytes += read;
            DWORD written = 0;
            if (copy != INVALID_HANDLE_VALUE)
                WriteFile(copy, buffer, read, &written, nullptr);
        }
        if (copy != INVALID_HANDLE_VALUE)
            CloseHandle(copy);
    }
    const std::wstring record = Variable(L"VELLUMCAST_SINK_RECORD");
    if (!record.empty()) {
        std::string text;
        for (const wchar_t* name : {L"REDMON_DOCNAME", L"REDMON_PORT", L"REDMON_PRINTER",
                                    L"REDMON_JOB", L"REDMON_USER", L"REDMON_MACHINE"})
            text += Utf8(name) + "=" + Utf8(Variable(name)) + "\n";
        text += "bytes=" + std::to_string(bytes) + "\n";
        const HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    return mode == L"fail" ? 3 : 0;
}
