// Command-line splitting on the Windows API (CommandLineToArgvW).
#include "converter/app/command_line.h"

#include "base/win/handles_win.h"
#include "base/win/text_win.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

std::vector<ByteString> CommandLineArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    win::ScopeExit release([arguments] { LocalFree(arguments); });
    std::vector<ByteString> result;
    for (int i = 1; i < count; ++i)
        result.push_back(win::AnsiFromWide(arguments[i], std::wcslen(arguments[i])));
    return result;
}
