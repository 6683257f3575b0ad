// Command-line splitting on the Windows API (CommandLineToArgvW).
#include "converter/app/command_line.h"

#include "base/win/handles_win.h"

#include <windows.h>

#include <shellapi.h>

namespace {
ByteString ToAnsi(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    ByteString result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.pop_back(); // the terminating zero
    return result;
}
} // namespace

std::vector<ByteString> CommandLineArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    win::ScopeExit release([arguments] { LocalFree(arguments); });
    std::vector<ByteString> result;
    for (int i = 1; i < count; ++i)
        result.push_back(ToAnsi(arguments[i]));
    return result;
}
