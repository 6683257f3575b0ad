// Vellumcast Monitor: the rules for port names and programs.
#include "monitor/port_rules.h"

namespace port_rules {
namespace {

bool IsControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool EndsWithCaseless(const std::u16string& text, const std::u16string& tail) {
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        if (AsciiLower(text[text.size() - tail.size() + i]) != AsciiLower(tail[i]))
            return false;
    }
    return true;
}

// "X:\" or "\\server\share\" with non-empty server and share; "\\.\" and "\\?\" name
// devices or bypass the path rules, so they are refused.
bool IsAbsolute(const std::u16string& path) {
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == u':' && path[2] == u'\\')
        return true;
    if (path.rfind(u"\\\\", 0) != 0)
        return false;
    const size_t serverEnd = path.find(u'\\', 2);
    if (serverEnd == std::u16string::npos || serverEnd == 2)
        return false;
    const std::u16string server = path.substr(2, serverEnd - 2);
    if (server == u"." || server == u"?")
        return false;
    const size_t shareEnd = path.find(u'\\', serverEnd + 1);
    return shareEnd != std::u16string::npos && shareEnd > serverEnd + 1;
}

} // namespace

std::string PortNameProblem(const std::u16string& name) {
    if (name.empty())
        return "the port name is empty";
    if (name.size() > kMaxPortName)
        return "the port name is longer than " + std::to_string(kMaxPortName) + " characters";
    for (const char16_t c : name) {
        // "\" would make a registry path of it; "," separates the ports of a printer.
        if (IsControl(c) || c == u'\\' || c == u',')
            return "the port name holds a control character, \"\\\" or \",\"";
    }
    return std::string();
}

std::string ProgramPathProblem(const std::u16string& path) {
    if (path.empty())
        return "no program is set";
    if (path.size() > kMaxProgramPath)
        return "the program path is longer than " + std::to_string(kMaxProgramPath) + " characters";
    for (const char16_t c : path) {
        if (IsControl(c) || c == u'"' || c == u'*' || c == u'?' || c == u'<' || c == u'>' ||
            c == u'|')
            return "the program path holds a control character or one of \" * ? < > |";
    }
    if (!IsAbsolute(path))
        return "the program path is not absolute (X:\\... or \\\\server\\share\\...)";
    if (!EndsWithCaseless(path, u".exe"))
        return "the program is not an .exe file";
    return std::string();
}

} // namespace port_rules
