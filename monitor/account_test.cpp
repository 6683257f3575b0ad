// The account the port's program starts under, and the job owner's session.
#include "monitor/account.h"

#include <gtest/gtest.h>

namespace {

using monitor::Account;

TEST(Account, ThePrintingUserInOrderAndNeverTheSpoolersOwnAccount) {
    const struct {
        bool impersonatesUser;
        bool processIsService;
        bool ownerSessionFound;
        Account expected;
    } cases[] = {
        // The spooler thread impersonates the printing user: that user, whatever else.
        {true, true, false, Account::ImpersonatedUser},
        {true, true, true, Account::ImpersonatedUser},
        {true, false, false, Account::ImpersonatedUser},
        // No impersonation in a process that is no service (a printing program hosting
        // the monitor): its own account is the printing user's.
        {false, false, false, Account::CurrentUser},
        {false, false, true, Account::CurrentUser},
        // A service without impersonation: the owner's session, else nothing at all.
        {false, true, true, Account::OwnersSession},
        {false, true, false, Account::Refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.impersonatesUser << c.processIsService << c.ownerSessionFound);
        EXPECT_EQ(
            monitor::ChooseAccount({c.impersonatesUser, c.processIsService, c.ownerSessionFound}),
            c.expected);
    }
}

TEST(Account, OnlyTheThreeServiceAccountsAreServices) {
    for (const char16_t* sid : {u"S-1-5-18", u"S-1-5-19", u"S-1-5-20"})
        EXPECT_TRUE(monitor::IsServiceAccountSid(sid));
    for (const char16_t* sid : {u"S-1-5-21-1004336348-1177238915-682003330-1001", u"S-1-5-32-544",
                                u"S-1-5-180", u"S-1-5-1", u""})
        EXPECT_FALSE(monitor::IsServiceAccountSid(sid));
}

TEST(Account, TheOwnersSessionActiveFirstByNameAndDomain) {
    const std::vector<monitor::SessionEntry> sessions = {
        {0, u"", u"", false},             // the services' session
        {1, u"yamada", u"OFFICE", false}, // disconnected
        {2, u"sato", u"OFFICE", true},
        {3, u"Yamada", u"OFFICE", true}, // active, later in the list
        {4, u"yamada", u"PC-07", true},  // the same name on another domain
        {5, u"山田", u"PC-07", true},
    };
    const struct {
        const char16_t* owner;
        bool found;
        uint32_t id;
    } cases[] = {
        {u"yamada", true, 3},        {u"YAMADA", true, 3}, {u"office\\yamada", true, 3},
        {u"PC-07\\yamada", true, 4}, {u"山田", true, 5},   {u"sato", true, 2},
        {u"suzuki", false, 0},       {u"", false, 0},      {u"OFFICE\\", false, 0},
        {u"HOME\\yamada", false, 0},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        uint32_t id = 99;
        EXPECT_EQ(monitor::FindOwnersSession(sessions, c.owner, id), c.found);
        if (c.found) {
            EXPECT_EQ(id, c.id);
        }
    }
    uint32_t id = 0;
    EXPECT_TRUE(monitor::FindOwnersSession({{7, u"yamada", u"OFFICE", false}}, u"yamada", id));
    EXPECT_EQ(id, 7u);
}

} // namespace
