// Vellumcast Monitor: the command line of the program started for a job. Only the
// configured program path goes on it, quoted; the job's own values travel in the
// environment, never on a command line.
#pragma once

#include <string>

namespace command_line {

// arg as one argument for the Windows rules of splitting a command line (those of
// CommandLineToArgvW and the C runtime): always in double quotes, backslashes doubled
// where they precede a quote, quotes escaped.
std::u16string QuoteArgument(const std::u16string& arg);

// The whole command line for a port's program: the program path, quoted, alone.
std::u16string ForProgram(const std::u16string& programPath);

} // namespace command_line
