// Vellumcast-setup.exe: the environment and build decisions, as tables.
#include "printer_setup/platform.h"

namespace printer_setup {

namespace {

constexpr char kArm64Refused[] = "Windows on ARM64 is not supported yet";
constexpr char kUnknownRefused[] = "this processor is not supported (only x86 and x64)";

struct Platform {
    Machine machine;
    const char16_t* environment;
    SetupBuild build;
    const char* refusal;
};

constexpr Platform kPlatforms[] = {
    {Machine::X86, kEnvironmentX86, SetupBuild::X86, nullptr},
    {Machine::Amd64, kEnvironmentX64, SetupBuild::X64, nullptr},
    {Machine::Arm64, kEnvironmentArm64, SetupBuild::None, kArm64Refused},
};

const Platform* ByMachine(Machine machine) {
    for (const Platform& platform : kPlatforms) {
        if (platform.machine == machine)
            return &platform;
    }
    return nullptr;
}

// Environment names compare without regard to ASCII letter case, as the spooler compares them.
bool SameName(const std::u16string& a, const char16_t* b) {
    const std::u16string other(b);
    if (a.size() != other.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (fold(a[i]) != fold(other[i]))
            return false;
    }
    return true;
}

} // namespace

EnvironmentChoice ChooseEnvironment(const std::u16string& spoolerArchitecture, Machine native) {
    const Platform* platform = nullptr;
    if (spoolerArchitecture.empty()) {
        platform = ByMachine(native);
    } else {
        for (const Platform& candidate : kPlatforms) {
            if (SameName(spoolerArchitecture, candidate.environment))
                platform = &candidate;
        }
    }
    if (!platform)
        return {u"", kUnknownRefused};
    if (platform->refusal)
        return {u"", platform->refusal};
    return {platform->environment, nullptr};
}

SetupBuild SetupBuildFor(Machine native) {
    const Platform* platform = ByMachine(native);
    return platform ? platform->build : SetupBuild::None;
}

} // namespace printer_setup
