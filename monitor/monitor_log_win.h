// Vellumcast Monitor: its own log file, %ProgramData%\Vellumcast\VellumcastMon.log (the
// Windows folder's Temp folder when %ProgramData% is not set). One line per job and per
// configuration change; written as the monitor itself, never as the printing user.
#pragma once

#include "monitor/log_line.h"

#include <string>

namespace monitor_log {

std::wstring Path();
log_line::Time Now();
// Appends line; a log that has grown past 1 MiB is first moved to VellumcastMon.log.old.
// Failures to write are ignored: the log must never stop a job.
void Append(const std::string& line);

} // namespace monitor_log
