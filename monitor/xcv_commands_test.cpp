// Vellumcast Monitor: the configuration commands over a store in memory: data formats,
// the administer-access check on every change, and the validation of programs.
#include "monitor/xcv_commands.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class MemoryStore : public xcv::PortStore {
  public:
    bool Exists(const std::u16string& port) override { return ports.count(port) != 0; }
    uint32_t Add(const std::u16string& port) override {
        ports[port];
        return xcv::kSuccess;
    }
    uint32_t Remove(const std::u16string& port) override {
        ports.erase(port);
        return xcv::kSuccess;
    }
    std::optional<std::u16string> Program(const std::u16string& port) override {
        const auto found = ports.find(port);
        if (found == ports.end())
            return std::nullopt;
        return found->second;
    }
    uint32_t SetProgram(const std::u16string& port, const std::u16string& program) override {
        ports[port] = program;
        return xcv::kSuccess;
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

xcv::Reply Call(MemoryStore& store, const std::u16string& command, std::vector<uint8_t> input,
                uint32_t access = xcv::kAdministerAccess, size_t outputSize = 1024) {
    xcv::Request request;
    request.command = command;
    request.input = std::move(input);
    request.outputSize = outputSize;
    request.grantedAccess = access;
    return xcv::Handle(store, request);
}

constexpr char16_t kProgram[] = u"C:\\Program Files\\Vellumcast 表\\Spoolwick.exe";

} // namespace

TEST(XcvCommands, AddConfigureReadAndDeleteAPort) {
    MemoryStore store;
    EXPECT_EQ(Call(store, u"PortExists", Bytes({u"VELLUMCAST:"})).output,
              (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(Call(store, u"AddPort", Bytes({u"VELLUMCAST:"})).status, xcv::kSuccess);
    EXPECT_EQ(Call(store, u"AddPort", Bytes({u"VELLUMCAST:"})).status, xcv::kAlreadyExists);
    EXPECT_EQ(Call(store, u"PortExists", Bytes({u"VELLUMCAST:"})).output,
              (std::vector<uint8_t>{1, 0, 0, 0}));

    const xcv::Reply set = Call(store, u"SetConfig", Bytes({u"VELLUMCAST:", kProgram}));
    EXPECT_EQ(set.status, xcv::kSuccess);
    EXPECT_NE(set.logMessage.find("program set to"), std::string::npos);
    EXPECT_EQ(store.ports[u"VELLUMCAST:"], kProgram);

    const xcv::Reply get = Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"}));
    EXPECT_EQ(get.status, xcv::kSuccess);
    EXPECT_EQ(get.output, Bytes({kProgram}));
    EXPECT_EQ(get.needed, get.output.size());

    // Too little room: the size needed, nothing copied.
    const xcv::Reply small =
        Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"}), xcv::kAdministerAccess, 8);
    EXPECT_EQ(small.status, xcv::kInsufficientBuffer);
    EXPECT_EQ(small.needed, Bytes({kProgram}).size());
    EXPECT_TRUE(small.output.empty());

    EXPECT_EQ(Call(store, u"DeletePort", Bytes({u"VELLUMCAST:"})).status, xcv::kSuccess);
    EXPECT_EQ(Call(store, u"DeletePort", Bytes({u"VELLUMCAST:"})).status, xcv::kUnknownPort);
    EXPECT_EQ(Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"})).status, xcv::kUnknownPort);
    EXPECT_EQ(Call(store, u"SetConfig", Bytes({u"VELLUMCAST:", kProgram})).status,
              xcv::kUnknownPort);
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
            const xcv::Reply reply = Call(store, c.command, c.input, access);
            EXPECT_EQ(reply.status, xcv::kAccessDenied);
            EXPECT_NE(reply.logMessage.find("lacks administer access"), std::string::npos);
        }
        EXPECT_EQ(Call(store, u"PortExists", Bytes({u"VELLUMCAST:"}), access).status,
                  xcv::kSuccess);
        EXPECT_EQ(Call(store, u"GetConfig", Bytes({u"VELLUMCAST:"}), access).status, xcv::kSuccess);
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
        {u"SetConfig", Bytes({u"VELLUMCAST:", u"Spoolwick.exe"}), xcv::kInvalidParameter},
        {u"SetConfig", Bytes({u"VELLUMCAST:", u"C:\\a\" b.exe"}), xcv::kInvalidParameter},
        {u"SetConfig", Bytes({u"VELLUMCAST:", u"C:\\cmd.bat"}), xcv::kInvalidParameter},
        {u"SetConfig", Bytes({u"VELLUMCAST:"}), xcv::kInvalidData},
        {u"SetConfig", {}, xcv::kInvalidData},
        {u"AddPort", {'A', 0, 'B'}, xcv::kInvalidData}, // odd length: no UTF-16
        {u"AddPort", Bytes({u"A,B:"}), xcv::kInvalidParameter},
        {u"AddPort", Bytes({u""}), xcv::kInvalidParameter},
        {u"DeletePort", Bytes({u"..\\..\\Software"}), xcv::kInvalidParameter},
        {u"Format", Bytes({u"VELLUMCAST:"}), xcv::kInvalidFunction},
        {u"MonitorUI", {}, xcv::kInvalidFunction},
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
    EXPECT_EQ(Call(store, u"AddPort", input).status, xcv::kSuccess);
    EXPECT_TRUE(store.Exists(u"P1:"));
}
