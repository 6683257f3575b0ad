// Test tool for the installer tests: lists the local printer queues as the spooler reports
// them (EnumPrintersW, level 2), one per line in UTF-8: name, port, driver and the number of
// jobs in the queue, tab-separated.
// Exit code 0, or 1 with the Windows error number on stderr when the spooler cannot be asked.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
std::string Utf8(const wchar_t* text) {
    if (!text)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(size > 0 ? size - 1 : 0);
    return bytes;
}
} // namespace

int wmain() {
    const DWORD flags = PRINTER_ENUM_LOCAL;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrintersW(flags, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                       &count)) {
        std::fprintf(stderr, "EnumPrintersW failed: Windows error %lu\n", GetLastError());
        return 1;
    }
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        std::printf("%s\t%s\t%s\t%lu\n", Utf8(printers[i].pPrinterName).c_str(),
                    Utf8(printers[i].pPortName).c_str(), Utf8(printers[i].pDriverName).c_str(),
                    static_cast<unsigned long>(printers[i].cJobs));
    return 0;
}
