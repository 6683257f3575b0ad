// Vellumcast Monitor: under whose account the port's program starts. Never under the
// spooler's own (LocalSystem, LocalService, NetworkService): a program started there would
// run with the service's rights and show its windows on a desktop nobody sees. Pure logic;
// job_process_win gathers the facts and starts the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace monitor {

enum class Account {
    ImpersonatedUser, // the spooler thread impersonates the printing user: that user's token
    CurrentUser,      // this process is no service (a printing program hosting the monitor,
                      // as under Wine): its own account is the printing user's
    OwnersSession,    // the token of the job owner's logged-on session
    Refused,          // none of these: the job fails, visibly, and nothing is started
};

// The facts, in the order they are tried.
struct AccountFacts {
    bool impersonatesUser;  // an impersonation token, of an account that is no service
    bool processIsService;  // this process's own token is a service account's
    bool ownerSessionFound; // a logged-on session of the job's owner gave its token
};

Account ChooseAccount(const AccountFacts& facts);

// The service accounts by their SIDs in string form: S-1-5-18, S-1-5-19, S-1-5-20.
bool IsServiceAccountSid(const std::u16string& sid);

// A logged-on session as the terminal services list it.
struct SessionEntry {
    uint32_t id;
    std::u16string user;
    std::u16string domain;
    bool active; // WTSActive: someone is at it (else disconnected, say)
};

// The session whose user is the job's owner: the owner's name compared without regard to
// ASCII case, "DOMAIN\user" also by its domain; an active session before a disconnected
// one, else the first. Nothing when the owner has no session.
bool FindOwnersSession(const std::vector<SessionEntry>& sessions, const std::u16string& owner,
                       uint32_t& sessionId);

} // namespace monitor
