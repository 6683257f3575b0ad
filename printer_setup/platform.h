// Vellumcast-setup.exe: which spooler environment the printer parts are registered for, and
// which build of the setup program and the monitor a machine takes. Portable: the answers
// the spooler and the system give are passed in.
#pragma once

#include <cstdint>
#include <string>

namespace printer_setup {

// The machine types of IMAGE_FILE_MACHINE_*, as the system reports the native processor.
enum class Machine : uint16_t { Unknown = 0, X86 = 0x014c, Amd64 = 0x8664, Arm64 = 0xaa64 };

// The spooler's environment names (SPLREG_ARCHITECTURE's values).
constexpr char16_t kEnvironmentX86[] = u"Windows NT x86";
constexpr char16_t kEnvironmentX64[] = u"Windows x64";
constexpr char16_t kEnvironmentArm64[] = u"Windows ARM64";

// The environment to pass to AddMonitor, the driver calls and DeleteMonitor, or the reason
// why this machine is refused (environment empty then).
struct EnvironmentChoice {
    std::u16string environment;
    const char* refusal = nullptr;
};

// The spooler's own answer wins; a spooler that gives none (Wine's) is taken to serve the
// native processor. Only x86 and x64 have a monitor build.
EnvironmentChoice ChooseEnvironment(const std::u16string& spoolerArchitecture, Machine native);

// Which build of the setup program (and of the monitor, which is always the same) runs on a
// machine: the native one, since the spooler loads only monitors of its own kind.
enum class SetupBuild { X86, X64, None };
SetupBuild SetupBuildFor(Machine native);

// The build the running program is.
constexpr Machine kThisBuild = sizeof(void*) == 8 ? Machine::Amd64 : Machine::X86;

} // namespace printer_setup
