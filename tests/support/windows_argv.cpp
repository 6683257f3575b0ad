// CommandLineToArgvW's splitting rules (pure logic).
#include "tests/support/windows_argv.h"

namespace testing_support {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

std::vector<ByteString> SplitWindowsCommandLine(const ByteString& line) {
    std::vector<ByteString> arguments;
    size_t at = 0;
    ByteString program;
    if (at < line.size() && line[at] == '"') {
        const size_t close = line.find('"', at + 1);
        program =
            line.substr(at + 1, close == ByteString::npos ? ByteString::npos : close - at - 1);
        at = close == ByteString::npos ? line.size() : close + 1;
    } else {
        while (at < line.size() && !IsBlank(line[at]))
            program += line[at++];
    }
    arguments.push_back(program);

    for (;;) {
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at >= line.size())
            return arguments;
        ByteString argument;
        bool quoted = false;
        while (at < line.size() && (quoted || !IsBlank(line[at]))) {
            // The platform splits the wide text: a double-byte character is one character
            // even when its trail byte is that of "\\".
            if (CharLengthAt(line, at) == 2) {
                argument.append(line, at, 2);
                at += 2;
            } else if (line[at] == '\\') {
                size_t backslashes = 0;
                while (at < line.size() && line[at] == '\\') {
                    ++backslashes;
                    ++at;
                }
                if (at < line.size() && line[at] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++at;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (line[at] == '"') {
                if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                    argument += '"'; // and the quoted part ends
                    quoted = false;
                    at += 2;
                } else {
                    quoted = !quoted;
                    ++at;
                }
            } else {
                argument += line[at++];
            }
        }
        arguments.push_back(argument);
    }
}

} // namespace testing_support
