// A command line split into arguments by the rules of CommandLineToArgvW, portable, so that
// native tests and fuzzers can check the command lines the programs build. A Windows test
// holds it to the platform's own splitter.
#pragma once

#include "base/bytes.h"

#include <vector>

namespace testing_support {

// The program name ends at the first blank, or at its closing quote when it starts with one
// (no escapes in it; what follows the closing quote starts the next argument). In the
// arguments that follow, 2n backslashes before a quote are n backslashes and the quote
// opens or closes a quoted part; 2n+1 backslashes before a quote are n backslashes and a
// literal quote; inside quotes "" is a literal quote that ends the quoted part; other
// backslashes are literal; blanks (space, tab) outside quotes separate arguments. Double-byte
// characters count whole (the platform splits the wide text).
std::vector<ByteString> SplitWindowsCommandLine(const ByteString& commandLine);

} // namespace testing_support
