// Vellumcast Monitor: the configuration calls (XcvDataPort) as pure logic over a store of
// ports: which commands exist, what their data looks like, and that every command that
// changes anything needs administer access granted when the handle was opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xcv {

// Windows error numbers returned by XcvDataPort.
constexpr uint32_t kSuccess = 0;
constexpr uint32_t kInvalidFunction = 1; // ERROR_INVALID_FUNCTION: unknown command
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidData = 13;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kInsufficientBuffer = 122;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kUnknownPort = 1796; // ERROR_UNKNOWN_PORT

// SERVER_ACCESS_ADMINISTER, the right every changing command needs.
constexpr uint32_t kAdministerAccess = 0x00000001;

// The monitor's ports as the commands see them (the registry in the monitor, memory in tests).
class PortStore {
  public:
    virtual ~PortStore() = default;
    virtual bool Exists(const std::u16string& port) = 0;
    // A Windows error number; kSuccess when done.
    virtual uint32_t Add(const std::u16string& port) = 0;
    virtual uint32_t Remove(const std::u16string& port) = 0;
    virtual std::optional<std::u16string> Program(const std::u16string& port) = 0;
    virtual uint32_t SetProgram(const std::u16string& port, const std::u16string& program) = 0;
};

struct Request {
    std::u16string command;
    std::vector<uint8_t> input; // the caller's bytes
    size_t outputSize = 0;      // room the caller offers
    uint32_t grantedAccess = 0; // as granted at XcvOpenPort
};

struct Reply {
    uint32_t status = kSuccess;
    std::vector<uint8_t> output; // copied out when it fits the caller's room
    size_t needed = 0;           // bytes the output needs
    std::string logMessage;      // set for every change made or refused
    std::u16string port;         // the port the command named
};

// The commands; text is UTF-16 with a terminating zero, as in every spooler call:
//   AddPort     in: port name                      (administer)
//   DeletePort  in: port name                      (administer)
//   PortExists  in: port name        out: DWORD 1 or 0
//   GetConfig   in: port name        out: program path
//   SetConfig   in: port name, program path (two zero-terminated strings)  (administer)
//   MonitorUI   not supported: the monitor has no user interface DLL.
Reply Handle(PortStore& store, const Request& request);

} // namespace xcv
