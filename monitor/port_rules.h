// Vellumcast Monitor: what a port name and a port's program may be. The monitor runs inside
// the spooler with the highest rights, so only absolute paths of programs are accepted,
// and nothing that could break the quoting of the command line.
#pragma once

#include <string>

namespace port_rules {

constexpr size_t kMaxPortName = 63;
constexpr size_t kMaxProgramPath = 1024;

// Empty when name may name a port, else why not (English, for the log and the setup).
std::string PortNameProblem(const std::u16string& name);

// Empty when path may be a port's program: an absolute path ("X:\..." or
// "\\server\share\...") of an .exe, without quotes, wildcards or control characters.
std::string ProgramPathProblem(const std::u16string& path);

} // namespace port_rules
