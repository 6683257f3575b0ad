// Vellumcast Monitor: quoting the program's command line.
#include "monitor/command_line.h"

namespace command_line {

std::u16string QuoteArgument(const std::u16string& arg) {
    std::u16string quoted = u"\"";
    size_t backslashes = 0;
    for (const char16_t c : arg) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote: double them there.
        quoted.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
        backslashes = 0;
        quoted += c;
    }
    // The closing quote follows: trailing backslashes would escape it unless doubled.
    quoted.append(backslashes * 2, u'\\');
    quoted += u'"';
    return quoted;
}

std::u16string ForProgram(const std::u16string& programPath) {
    return QuoteArgument(programPath);
}

} // namespace command_line
