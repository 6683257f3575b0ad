// Vellumcast Monitor: the configuration commands over a store in memory: data formats,
// the administer-access check on every change, and the validation of programs.
#include "monitor/xcv_commands.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class MemoryStore : public monitor::PortStore {
  public:
    bool Exists(const std::u16string& port) override { return ports.count(port) != 0; }
    uint32_t Add(const std::u16string& port) override {
        ports[port];
        return monitor::kSuccess;
    }
    uint32_t Remove(const std::u16string& port) override {
        ports.erase(port);
        return monitor::kSuccess;
    }
    std::optional<std::u16string> Program(const std::u16string& port) override {
        const auto found = ports.find(port);
        if (found == ports.end())
            return std::nullopt;
        return found->second;
    }
    uint32_t SetProgram(const std::u16string& port, const std::u16string& program) override {
        ports[port] = program;
        return monitor::kSuccess;
    }
    std::map<std::u16string, std::u16string> ports;
};

std::vector<uint8_t> Bytes(std::initializer_list<std::u16string> strings) {
    std::vector<uint8_t> bytes;
    for (const std::u16string& s : strings) {
        for (const char16_t unit : s + u'\0') {
            bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<uint8_t>(unit >> 8));
        }
    }
    return bytes;
}

monitor::Reply Call(MemoryStore& store, const std::u16string& command, std::vector<uint8_t> input,
                    uint32_t access = monitor::kAdministerAccess, size_t outputSize = 1024) {
    monitor::Request request;
    request.command = command;
    request.input = std::move(input);
    request.outputSize = outputSize;
    request.grantedAccess = access;
    return monitor::Handle(store, request);
}

constexpr char16_t kProgram[] = u"C:\\Program Files\\Vellumcast 表\\Spoolwick.exe";

} // namespace

TEST(XcvCommands, AddConfigureReadAndDeleteAPort) {
    MemoryStore store;
    EXPECT_EQ(Call(store, u"PortExists", Bytes({u"VELLUMCAST:"})).output,
              (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(Call(store, u"AddPort", Bytes({u"VELLUMCAST:"})).status, monitor::kSuccess);
    EXPECT_EQ(Call(store, u"AddPort", Bytes({u"VELLUMCAST:"})).status, monitor::kAlreadyExists);
    EXPECT_EQ(Call(store, u"PortExists", Bytes({u"VELLUMCAST:"})).output,
              (std::vector<uint8_t>{1, 0, 0, 0}));

    const monitor::Reply set = Call(store, u"SetConfig", Bytes({u"VELLUMCAST:", kProgram}));
    EXPECT_EQ(set.status, monitor::kSuccess);
    EXPECT_NE(set.logMessage.find("program set to"), std::string::npos);
    EXPECT_EQ(store.ports[u"VELLUMCAST:"], kProgram);

    const monitor::Reply get = Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"}));
    EXPECT_EQ(get.status, monitor::kSuccess);
    EXPECT_EQ(get.output, Bytes({kProgram}));
    EXPECT_EQ(get.needed, get.output.size());

    // Too little room: the size needed, nothing copied.
    const monitor::Reply small =
        Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"}), monitor::kAdministerAccess, 8);
    EXPECT_EQ(small.status, monitor::kInsufficientBuffer);
    EXPECT_EQ(small.needed, Bytes({kProgram}).size());
    EXPECT_TRUE(small.output.empty());

    EXPECT_EQ(Call(store, u"DeletePort", Bytes({u"VELLUMCAST:"})).status, monitor::kSuccess);
    EXPECT_EQ(Call(store, u"DeletePort", Bytes({u"VELLUMCAST:"})).status, monitor::kUnknownPort);
    EXPECT_EQ(Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"})).status, monitor::kUnknownPort);
    EXPECT_EQ(Call(store, u"SetConfig", Bytes({u"VELLUMCAST:", kProgram})).status,
              monitor::kUnknownPort);
}

TEST(XcvCommands, ChangesNeedAdministerAccessReadsDoNot) {
    MemoryStore store;
    store.ports[u"VELLUMCAST:"] = kProgram;
    // PRINTER_ACCESS_USE | SERVER_ACCESS_ENUMERATE and the like, but not ADMINISTER.
    for (const uint32_t access : {0u, 0x2u, 0x8u, 0x20000u | 0x8u}) {
        SCOPED_TRACE(access);
        const struct {
            std::u16string command;
            std::vector<uint8_t> input;
        } changes[] = {
            {u"AddPort", Bytes({u"EVIL:"})},
            {u"DeletePort", Bytes({u"VELLUMCAST:"})},
            {u"SetConfig", Bytes({u"VELLUMCAST:", u"C:\\Users\\me\\evil.exe"})},
        };
        for (const auto& c : changes) {
            const monitor::Reply reply = Call(store, c.command, c.input, access);
            EXPECT_EQ(reply.status, monitor::kAccessDenied);
            EXPECT_NE(reply.logMessage.find("lacks administer access"), std::string::npos);
        }
        EXPECT_EQ(Call(store, u"PortExists", Bytes({u"VELLUMCAST:"}), access).status,
                  monitor::kSuccess);
        EXPECT_EQ(Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"}), access).status,
                  monitor::kSuccess);
    }
    EXPECT_EQ(store.ports.size(), 1u);
    EXPECT_EQ(store.ports[u"VELLUMCAST:"], kProgram);
}

TEST(XcvCommands, BadDataAndBadProgramsChangeNothing) {
    MemoryStore store;
    store.ports[u"VELLUMCAST:"] = kProgram;
    const struct {
        std::u16string command;
        std::vector<uint8_t> input;
        uint32_t status;
    } cases[] = {
        {u"SetConfig", Bytes({u"VELLUMCAST:", u"Spoolwick.exe"}), monitor::kInvalidParameter},
        {u"SetConfig", Bytes({u"VELLUMCAST:", u"C:\\a\" b.exe"}), monitor::kInvalidParameter},
        {u"SetConfig", Bytes({u"VELLUMCAST:", u"C:\\cmd.bat"}), monitor::kInvalidParameter},
        {u"SetConfig", Bytes({u"VELLUMCAST:"}), monitor::kInvalidData},
        {u"SetConfig", {}, monitor::kInvalidData},
        {u"AddPort", {'A', 0, 'B'}, monitor::kInvalidData}, // odd length: no UTF-16
        {u"AddPort", Bytes({u"A,B:"}), monitor::kInvalidParameter},
        {u"AddPort", Bytes({u""}), monitor::kInvalidParameter},
        {u"DeletePort", Bytes({u"..\\..\\Software"}), monitor::kInvalidParameter},
        {u"Format", Bytes({u"VELLUMCAST:"}), monitor::kInvalidFunction},
        {u"MonitorUI", {}, monitor::kInvalidFunction},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command.begin(), c.command.end()));
        EXPECT_EQ(Call(store, c.command, c.input).status, c.status);
    }
    EXPECT_EQ(store.ports.size(), 1u);
    EXPECT_EQ(store.ports[u"VELLUMCAST:"], kProgram);
}

TEST(XcvCommands, InputWithoutTerminatingZeroStillNamesThePort) {
    MemoryStore store;
    std::vector<uint8_t> input = Bytes({u"P1:"});
    input.resize(input.size() - 2);
    EXPECT_EQ(Call(store, u"AddPort", input).status, monitor::kSuccess);
    EXPECT_TRUE(store.Exists(u"P1:"));
}
