// Vellumcast Monitor: which port names and programs are accepted.
#include "monitor/port_rules.h"

#include <gtest/gtest.h>

TEST(PortRules, ProgramMustBeAnAbsoluteExeWithoutQuotingHazards) {
    const struct {
        std::u16string path;
        bool accepted;
    } cases[] = {
        {u"C:\\Program Files\\Vellumcast\\Spoolwick.exe", true},
        {u"d:\\表\\ソ\\Spoolwick.EXE", true},
        {u"\\\\server\\share\\Spoolwick.exe", true},
        {u"", false},
        {u"Spoolwick.exe", false},
        {u"..\\Spoolwick.exe", false},
        {u"\\Spoolwick.exe", false}, // rooted, but on whichever drive is current
        {u"C:Spoolwick.exe", false}, // relative to the drive's current folder
        {u"C:/Spoolwick.exe", false},
        {u"\\\\server\\Spoolwick.exe", false}, // no share
        {u"\\\\.\\C:\\Spoolwick.exe", false},
        {u"\\\\?\\C:\\Spoolwick.exe", false},
        {u"C:\\a\" & calc & \"\\x.exe", false},
        {u"C:\\a\\x.exe\r\n", false},
        {u"C:\\a\\*.exe", false},
        {u"C:\\a\\run.bat", false},
        {u"C:\\a\\run.cmd", false},
        {u"C:\\a\\exe", false},
        {u"C:\\" + std::u16string(1100, u'a') + u".exe", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_EQ(port_rules::ProgramPathProblem(c.path).empty(), c.accepted)
            << port_rules::ProgramPathProblem(c.path);
    }
}

TEST(PortRules, PortNames) {
    const struct {
        std::u16string name;
        bool accepted;
    } cases[] = {
        {u"VELLUMCAST:", true},
        {u"PDF2:", true},
        {u"ポート1:", true},
        {u"", false},
        {u"A\\B", false},
        {u"A,B", false},
        {u"A\nB", false},
        {std::u16string(63, u'P'), true},
        {std::u16string(64, u'P'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(port_rules::PortNameProblem(c.name).empty(), c.accepted);
}
