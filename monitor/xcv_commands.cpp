// Vellumcast Monitor: the configuration commands.
#include "monitor/xcv_commands.h"

#include "monitor/log_line.h"
#include "monitor/port_rules.h"

namespace xcv {
namespace {

// The zero-terminated UTF-16 strings in the input, in order (a last one without its zero
// counts too). An odd byte count is no UTF-16 text: nothing.
std::optional<std::vector<std::u16string>> Strings(const std::vector<uint8_t>& input) {
    if (input.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::u16string> strings;
    std::u16string current;
    bool open = false;
    for (size_t i = 0; i < input.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(input[i] | (input[i + 1] << 8));
        if (unit == 0) {
            strings.push_back(current);
            current.clear();
            open = false;
        } else {
            current += unit;
            open = true;
        }
    }
    if (open)
        strings.push_back(current);
    return strings;
}

std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

bool Changes(const std::u16string& command) {
    return command == u"AddPort" || command == u"DeletePort" || command == u"SetConfig";
}

Reply Refused(uint32_t status, const std::string& why) {
    Reply reply;
    reply.status = status;
    reply.logMessage = why;
    return reply;
}

} // namespace

Reply Handle(PortStore& store, const Request& request) {
    const std::u16string& command = request.command;
    const std::string commandText = log_line::Utf8(command);
    if (command == u"MonitorUI")
        return Refused(kInvalidFunction, std::string());
    const bool known = Changes(command) || command == u"PortExists" || command == u"GetConfig";
    if (!known)
        return Refused(kInvalidFunction, std::string());
    if (Changes(command) && (request.grantedAccess & kAdministerAccess) == 0)
        return Refused(kAccessDenied, commandText + " refused: the caller lacks administer access");

    const auto strings = Strings(request.input);
    const size_t wanted = command == u"SetConfig" ? 2 : 1;
    if (!strings || strings->size() < wanted)
        return Refused(kInvalidData,
                       Changes(command) ? commandText + " refused: malformed data" : std::string());
    Reply reply;
    reply.port = (*strings)[0];
    const std::string nameProblem = port_rules::PortNameProblem(reply.port);
    if (!nameProblem.empty()) {
        reply.status = kInvalidParameter;
        if (Changes(command))
            reply.logMessage = commandText + " refused: " + nameProblem;
        return reply;
    }

    if (command == u"PortExists") {
        const uint32_t exists = store.Exists(reply.port) ? 1 : 0;
        reply.output = {static_cast<uint8_t>(exists), 0, 0, 0};
    } else if (command == u"GetConfig") {
        const auto program = store.Program(reply.port);
        if (!program) {
            reply.status = kUnknownPort;
            return reply;
        }
        reply.output = Utf16Bytes(*program);
    } else if (command == u"AddPort") {
        if (store.Exists(reply.port)) {
            reply.status = kAlreadyExists;
            return reply;
        }
        reply.status = store.Add(reply.port);
        reply.logMessage = reply.status == kSuccess ? std::string("port added")
                                                    : "adding the port failed (Windows error " +
                                                          std::to_string(reply.status) + ")";
    } else if (command == u"DeletePort") {
        if (!store.Exists(reply.port)) {
            reply.status = kUnknownPort;
            return reply;
        }
        reply.status = store.Remove(reply.port);
        reply.logMessage = reply.status == kSuccess ? std::string("port deleted")
                                                    : "deleting the port failed (Windows error " +
                                                          std::to_string(reply.status) + ")";
    } else { // SetConfig
        const std::u16string& program = (*strings)[1];
        if (!store.Exists(reply.port)) {
            reply.status = kUnknownPort;
            return reply;
        }
        const std::string problem = port_rules::ProgramPathProblem(program);
        if (!problem.empty()) {
            reply.status = kInvalidParameter;
            reply.logMessage = "SetConfig refused: " + problem;
            return reply;
        }
        reply.status = store.SetProgram(reply.port, program);
        reply.logMessage =
            reply.status == kSuccess
                ? "program set to " + log_line::QuotedName(program)
                : "setting the program failed (Windows error " + std::to_string(reply.status) + ")";
    }

    reply.needed = reply.output.size();
    if (reply.status == kSuccess && reply.output.size() > request.outputSize) {
        reply.status = kInsufficientBuffer;
        reply.output.clear();
    }
    return reply;
}

} // namespace xcv
