// Vellumcast-setup.exe: the spooler environment and the build each machine takes.
#include "printer_setup/platform.h"

#include <gtest/gtest.h>

using printer_setup::ChooseEnvironment;
using printer_setup::Machine;
using printer_setup::SetupBuild;

TEST(Platform, EnvironmentIsTheSpoolersNeverTheCallers) {
    const struct {
        std::u16string spooler; // what SPLREG_ARCHITECTURE said; empty: nothing
        Machine native;
        std::u16string environment; // empty: refused
    } cases[] = {
        // A 32-bit setup program on 64-bit Windows still registers the x64 monitor.
        {u"Windows x64", Machine::Amd64, u"Windows x64"},
        {u"windows X64", Machine::Amd64, u"Windows x64"},
        {u"Windows NT x86", Machine::X86, u"Windows NT x86"},
        // The spooler's answer wins over the processor's.
        {u"Windows NT x86", Machine::Amd64, u"Windows NT x86"},
        // No answer (Wine): the native processor decides.
        {u"", Machine::Amd64, u"Windows x64"},
        {u"", Machine::X86, u"Windows NT x86"},
        // ARM64 and the rest have no monitor build.
        {u"Windows ARM64", Machine::Arm64, u""},
        {u"Windows ARM64", Machine::Amd64, u""},
        {u"", Machine::Arm64, u""},
        {u"Windows IA64", Machine::Unknown, u""},
        {u"", Machine::Unknown, u""},
        {u"Windows x64 ", Machine::Amd64, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.spooler.begin(), c.spooler.end()) + " / " +
                     std::to_string(static_cast<int>(c.native)));
        const auto choice = ChooseEnvironment(c.spooler, c.native);
        EXPECT_EQ(choice.environment, c.environment);
        EXPECT_EQ(choice.refusal == nullptr, !c.environment.empty());
    }
    EXPECT_NE(std::string(ChooseEnvironment(u"", Machine::Arm64).refusal).find("ARM64"),
              std::string::npos);
}

TEST(Platform, EachMachineRunsItsNativeSetupProgram) {
    const struct {
        Machine native;
        SetupBuild build;
    } cases[] = {
        {Machine::X86, SetupBuild::X86},
        {Machine::Amd64, SetupBuild::X64}, // not the 32-bit build the installer itself is
        {Machine::Arm64, SetupBuild::None},
        {Machine::Unknown, SetupBuild::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(printer_setup::SetupBuildFor(c.native), c.build) << static_cast<int>(c.native);
}
