// Vellumcast Monitor: starting, feeding and awaiting the port's program.
#include "monitor/job_process_win.h"

#include "monitor/account.h"
#include "monitor/command_line.h"
#include "monitor/wide_win.h"

#include <sddl.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <vector>

namespace {

constexpr DWORD kPipeSize = 64 * 1024;

// The environment block of the user's token, or of this process without one.
std::vector<std::u16string> BaseEnvironment(HANDLE userToken) {
    std::vector<std::u16string> entries;
    if (userToken) {
        void* block = nullptr;
        if (CreateEnvironmentBlock(&block, userToken, FALSE)) {
            entries = monitor::SplitBlock(static_cast<const char16_t*>(block));
            DestroyEnvironmentBlock(block);
        }
        return entries;
    }
    wchar_t* block = GetEnvironmentStringsW();
    if (block) {
        entries = monitor::SplitBlock(reinterpret_cast<const char16_t*>(block));
        FreeEnvironmentStringsW(block);
    }
    return entries;
}

// True when the token's user is LocalSystem, LocalService or NetworkService.
bool IsServiceToken(HANDLE token) {
    DWORD needed = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), needed, &needed))
        return true; // an account we cannot name is not taken for a user's
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return true;
    const bool service = monitor::IsServiceAccountSid(U16(text));
    LocalFree(text);
    return service;
}

bool ProcessIsService() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return true;
    const win::UniqueHandle owned(token);
    return IsServiceToken(token);
}

std::u16string SessionText(DWORD session, WTS_INFO_CLASS kind) {
    wchar_t* text = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, kind, &text, &bytes))
        return std::u16string();
    std::u16string result = U16(text);
    WTSFreeMemory(text);
    return result;
}

// The primary token of the owner's logged-on session (the service's privilege to ask for it
// is its own); none when the owner has no session.
win::UniqueHandle OwnersSessionToken(const std::u16string& owner) {
    WTS_SESSION_INFOW* list = nullptr;
    DWORD count = 0;
    if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &list, &count))
        return {};
    std::vector<monitor::SessionEntry> sessions;
    for (DWORD i = 0; i < count; ++i) {
        const DWORD id = list[i].SessionId;
        sessions.push_back({id, SessionText(id, WTSUserName), SessionText(id, WTSDomainName),
                            list[i].State == WTSActive});
    }
    WTSFreeMemory(list);
    uint32_t session = 0;
    HANDLE token = nullptr;
    if (!monitor::FindOwnersSession(sessions, owner, session) ||
        !WTSQueryUserToken(session, &token))
        return {};
    return win::UniqueHandle(token);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// Only the two handles meant for the child are inherited, even when other threads of the
// spooler create inheritable handles meanwhile (another job's pipe in a stranger's child
// would keep that pipe open after its own program ended).
class InheritList {
  public:
    explicit InheritList(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        if (!InitializeProcThreadAttributeList(list_, 1, 0, &size)) {
            list_ = nullptr;
            return;
        }
        if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                       handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(list_);
            list_ = nullptr;
        }
    }
    ~InheritList() {
        if (list_)
            DeleteProcThreadAttributeList(list_);
    }
    InheritList(const InheritList&) = delete;
    InheritList& operator=(const InheritList&) = delete;
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

  private:
    std::vector<HANDLE> handles_;
    std::vector<BYTE> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

} // namespace

LoadedProfile::LoadedProfile(HANDLE token, const std::u16string& user) {
    if (!token)
        return;
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), token, GetCurrentProcess(), &duplicate, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return;
    token_.reset(duplicate);
    std::wstring name = Wide(user.substr(user.find(u'\\') + 1));
    PROFILEINFOW info{};
    info.dwSize = sizeof info;
    info.dwFlags = PI_NOUI;
    info.lpUserName = name.data();
    if (LoadUserProfileW(token_.get(), &info))
        profile_ = info.hProfile;
    else
        token_.reset();
}

LoadedProfile::~LoadedProfile() {
    if (profile_)
        UnloadUserProfile(token_.get(), profile_);
}

LoadedProfile& LoadedProfile::operator=(LoadedProfile&& other) noexcept {
    if (this != &other) {
        if (profile_)
            UnloadUserProfile(token_.get(), profile_);
        token_ = std::move(other.token_);
        profile_ = other.profile_;
        other.profile_ = nullptr;
    }
    return *this;
}

std::u16string CurrentUserName() {
    wchar_t name[257];
    DWORD length = 257;
    return GetUserNameW(name, &length) ? U16(name) : std::u16string();
}

std::u16string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? U16(name) : std::u16string();
}

std::unique_ptr<JobProcess> JobProcess::Start(const std::u16string& program,
                                              const monitor::JobValues& job,
                                              monitor::Outcome& outcome) {
    // The printing user's account, never the spooler's own: the impersonated user's token,
    // this process's own account where it is no service (a printing program hosting the
    // monitor, as under Wine), else the token of the owner's logged-on session.
    HANDLE rawToken = nullptr;
    win::UniqueHandle threadToken;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_IMPERSONATE, TRUE,
                        &rawToken))
        threadToken.reset(rawToken);
    monitor::AccountFacts facts{};
    facts.impersonatesUser = threadToken && !IsServiceToken(threadToken.get());
    facts.processIsService = ProcessIsService();
    win::UniqueHandle sessionToken;
    if (!facts.impersonatesUser && facts.processIsService) {
        sessionToken = OwnersSessionToken(job.user);
        facts.ownerSessionFound = bool(sessionToken);
    }
    win::UniqueHandle userToken;
    switch (monitor::ChooseAccount(facts)) {
    case monitor::Account::ImpersonatedUser: {
        HANDLE primary = nullptr;
        if (!DuplicateTokenEx(threadToken.get(),
                              TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY |
                                  TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID,
                              nullptr, SecurityImpersonation, TokenPrimary, &primary)) {
            outcome.StartFailed(program, GetLastError());
            return nullptr;
        }
        userToken.reset(primary);
        break;
    }
    case monitor::Account::OwnersSession:
        userToken = std::move(sessionToken);
        break;
    case monitor::Account::CurrentUser:
        break;
    case monitor::Account::Refused:
        outcome.NoUserAccount(job.user);
        return nullptr;
    }
    // The user's profile, loaded where nobody is logged on with it (a print from another
    // computer), so that the program's known folders are that user's.
    LoadedProfile profile(userToken.get(), job.user);
    const std::u16string environment = monitor::BuildBlock(BaseEnvironment(userToken.get()), job);

    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, kPipeSize)) {
        outcome.StartFailed(program, GetLastError());
        return nullptr;
    }
    const win::UniqueHandle childInput(readEnd);
    win::UniqueHandle input(writeEnd);
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    const win::UniqueFile childOutput(CreateFileW(L"NUL", GENERIC_WRITE,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                                  OPEN_EXISTING, 0, nullptr));
    const InheritList inherit(childOutput ? std::vector<HANDLE>{readEnd, childOutput.get()}
                                          : std::vector<HANDLE>{readEnd});

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = readEnd;
    startup.StartupInfo.hStdOutput = childOutput ? childOutput.get() : nullptr;
    startup.StartupInfo.hStdError = childOutput ? childOutput.get() : nullptr;
    std::wstring desktop = L"winsta0\\default";
    if (userToken)
        startup.StartupInfo.lpDesktop = desktop.data();
    DWORD flags = CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW | CREATE_DEFAULT_ERROR_MODE;
    if (inherit.get()) {
        startup.lpAttributeList = inherit.get();
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }

    const std::wstring application = Wide(program);
    std::wstring commandLine = Wide(monitor::ForProgram(program));
    const std::wstring folder = FolderOf(application);
    std::wstring block = Wide(environment);
    PROCESS_INFORMATION info{};
    BOOL started = FALSE;
    if (userToken) {
        // Starting a process with another token needs the service's own privileges.
        RevertToSelf();
        started = CreateProcessAsUserW(
            userToken.get(), application.c_str(), commandLine.data(), nullptr, nullptr, TRUE, flags,
            block.data(), folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &info);
        const DWORD error = GetLastError();
        SetThreadToken(nullptr, threadToken.get());
        SetLastError(error);
    } else {
        started = CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                 flags, block.data(), folder.empty() ? nullptr : folder.c_str(),
                                 &startup.StartupInfo, &info);
    }
    if (!started) {
        outcome.StartFailed(program, GetLastError());
        return nullptr;
    }
    outcome.Started();
    auto process = std::make_unique<JobProcess>(std::move(input), win::UniqueProcess(info));
    process->profile_ = std::move(profile);
    return process;
}

void JobProcess::Write(const BYTE* data, DWORD size, monitor::Outcome& outcome) {
    DWORD offset = 0;
    while (offset < size && input_) {
        DWORD written = 0;
        if (!WriteFile(input_.get(), data + offset, size - offset, &written, nullptr)) {
            outcome.WriteFailed(outcome.Written(), GetLastError());
            input_.reset();
            return;
        }
        offset += written;
        outcome.Wrote(written);
    }
}

void JobProcess::Finish(DWORD timeoutMs, monitor::Outcome& outcome) {
    input_.reset();
    const DWORD waited = WaitForSingleObject(process_.process.get(), timeoutMs);
    if (waited == WAIT_TIMEOUT) {
        outcome.DidNotEnd(timeoutMs / 1000);
        return;
    }
    DWORD exitCode = 0;
    if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(process_.process.get(), &exitCode)) {
        outcome.WaitFailed(GetLastError());
        return;
    }
    outcome.Ended(exitCode);
}
