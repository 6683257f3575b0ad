// Vellumcast Monitor: the account decision and the owner's session (pure logic).
#include "monitor/account.h"

namespace monitor {

namespace {

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

bool SameNameAsciiCaseless(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

} // namespace

Account ChooseAccount(const AccountFacts& facts) {
    if (facts.impersonatesUser)
        return Account::ImpersonatedUser;
    if (!facts.processIsService)
        return Account::CurrentUser;
    if (facts.ownerSessionFound)
        return Account::OwnersSession;
    return Account::Refused;
}

bool IsServiceAccountSid(const std::u16string& sid) {
    return sid == u"S-1-5-18" || sid == u"S-1-5-19" || sid == u"S-1-5-20";
}

bool FindOwnersSession(const std::vector<SessionEntry>& sessions, const std::u16string& owner,
                       uint32_t& sessionId) {
    std::u16string domain;
    std::u16string user = owner;
    const size_t separator = owner.find(u'\\');
    if (separator != std::u16string::npos) {
        domain = owner.substr(0, separator);
        user = owner.substr(separator + 1);
    }
    if (user.empty())
        return false;
    const SessionEntry* found = nullptr;
    for (const SessionEntry& session : sessions) {
        if (!SameNameAsciiCaseless(session.user, user) ||
            (!domain.empty() && !SameNameAsciiCaseless(session.domain, domain)))
            continue;
        if (!found || (session.active && !found->active))
            found = &session;
    }
    if (!found)
        return false;
    sessionId = found->id;
    return true;
}

} // namespace monitor
