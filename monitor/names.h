// Vellumcast Monitor: the names that the monitor, the setup program and the installer share.
#pragma once

namespace monitor_names {

// AddMonitorW's name and the monitor's registry key under ...\Control\Print\Monitors.
constexpr char16_t kMonitor[] = u"Vellumcast Monitor";
constexpr char16_t kDll[] = u"VellumcastMon.dll";
constexpr char16_t kDefaultPort[] = u"VELLUMCAST:";
// Subkey of the monitor's key that holds one key per port (the spooler looks there too).
constexpr char16_t kPortsKey[] = u"Ports";
// Value of a port's key: the program started for every job.
constexpr char16_t kProgramValue[] = u"Program";

} // namespace monitor_names
