// The local time on the Windows API (the C runtime's zone rules differ from the system's).
#include "base/win/local_time_win.h"

#include <windows.h>

namespace win {

std::tm LocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::tm local{};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_wday = now.wDayOfWeek;
    return local;
}

} // namespace win
