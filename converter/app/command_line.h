// The converter's command-line arguments as Windows splits the command line.
#pragma once

#include "base/bytes.h"

#include <vector>

// The arguments after the program name, in the ANSI code page. Split by the platform's own
// rule (blanks outside double quotes separate; quotes are removed), on the wide command
// line so that a double-byte character whose trail byte is "\" never escapes a quote.
std::vector<ByteString> CommandLineArguments();
