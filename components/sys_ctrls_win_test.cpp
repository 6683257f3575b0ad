// The single-instance guard: its decisions on their own, the duplicate check in this
// process against a name the test holds, and the window search and the foreground switch
// against a running instance in another process (tools/guard_probe.exe).
#include "components/sys_ctrls_win.h"
#include "components/instance_mark_win.h"
#include "components/test_owner_win.h"
#include "tests/support/test_support_win.h"
#include "tests/support/window_driver_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using components::TestOwner;
using testing_support::TempDir;

namespace {

// A mutex name no other test uses.
ByteString FreshName() {
    static int counter = 0;
    return "vc_guard_test_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(counter++);
}

bool NameTaken(const ByteString& name) {
    win::UniqueHandle open(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    return bool(open);
}

// The quit request in this thread's queue, taken out; its exit code.
std::optional<WPARAM> TakeQuit() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return std::nullopt;
    return message.wParam;
}

HWND WindowFromNumber(const std::string& text) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(text)));
}

ByteString Quoted(const ByteString& s) {
    return "\"" + s + "\"";
}

} // namespace

// --- The decisions ------------------------------------------------------------------

TEST(GuardNames, BaseNameDropsDirectoryAndLastExtension) {
    const struct {
        const char* path;
        const char* baseName;
    } cases[] = {
        {"C:\\Program Files\\Tamberlyn\\Vellumcast.exe", "Vellumcast"},
        {"C:\\tools\\guard.probe.copy.exe", "guard.probe.copy"},
        {"C:\\tools.d\\probe", "probe"},    // a dot in the directory is no extension
        {"C:\\表\\ソフト.exe", "ソフト"},   // 5C trail bytes are no separators
        {"D:Vellumcast.EXE", "Vellumcast"}, // the drive colon ends the directory
        {"C:\\dir\\.exe", ""},
        {"Vellumcast", "Vellumcast"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(components::InstanceBaseName(c.path), c.baseName);
    }
}

TEST(GuardMark, CreationThatFindsTheNameTakenMeansDuplicate) {
    using components::CreateOutcome;
    const struct {
        bool gotHandle;
        DWORD lastError;
        CreateOutcome outcome;
    } cases[] = {
        {true, ERROR_SUCCESS, CreateOutcome::FirstWithMark},
        {true, ERROR_ALREADY_EXISTS, CreateOutcome::Duplicate},
        {false, ERROR_ACCESS_DENIED, CreateOutcome::FirstWithoutMark},
        {false, ERROR_INVALID_HANDLE, CreateOutcome::FirstWithoutMark},
        {false, ERROR_ALREADY_EXISTS, CreateOutcome::FirstWithoutMark},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.gotHandle) + " " + std::to_string(c.lastError));
        EXPECT_EQ(components::ClassifyCreate(c.gotHandle, c.lastError), c.outcome);
    }
}

// What the system reports when the name is taken between the open and the creation: the
// creation still hands out a handle, and only its error code tells.
TEST(GuardMark, CreationReportsANameTakenMeanwhile) {
    const ByteString name = FreshName();
    components::CreatedMutex first = components::CreateNamedMutex(name);
    ASSERT_TRUE(first.handle);
    EXPECT_EQ(components::ClassifyCreate(true, first.lastError),
              components::CreateOutcome::FirstWithMark);

    components::CreatedMutex racer = components::CreateNamedMutex(name);
    ASSERT_TRUE(racer.handle);
    EXPECT_EQ(racer.lastError, DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(components::ClassifyCreate(true, racer.lastError),
              components::CreateOutcome::Duplicate);
}

// --- In this process ----------------------------------------------------------------

TEST(SingleInstance, StartsWithItsDocumentedValues) {
    static_assert(sizeof(TDupInstAction) == 1, "a one-byte enumeration");
    static_assert(diActivateFirst == 0 && diException == 1 && diTerminate == 2, "values");
    TestOwner owner;
    TSingleInstance& guard = owner.Own<TSingleInstance>();
    EXPECT_EQ(guard.DupInstAction, diActivateFirst);
    // "すでに起動されています" in Shift-JIS.
    EXPECT_EQ(guard.ErrorMessage,
              "\x82\xB7\x82\xC5\x82\xC9\x8B\x4E\x93\xAE\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC"
              "\x82\xB7");
    EXPECT_TRUE(guard.UniqueName.empty());
    EXPECT_FALSE(guard.OnDuplicate);
    EXPECT_EQ(guard.Owner(), &owner);
}

TEST(SingleInstance, SecondGuardInOneProcessIsRefused) {
    ASSERT_EQ(GuardCount(), 0);
    {
        TestOwner owner;
        owner.Own<TSingleInstance>();
        EXPECT_EQ(GuardCount(), 1);
        try {
            owner.Own<TSingleInstance>();
            ADD_FAILURE() << "a second guard was constructed";
        } catch (const EMultiSingleInstance& error) {
            EXPECT_EQ(error.Message(), "Only single component allowed");
        }
        EXPECT_EQ(GuardCount(), 1);

        TestOwner otherOwner; // another window makes no difference
        EXPECT_THROW(otherOwner.Own<TSingleInstance>(), EMultiSingleInstance);
        EXPECT_EQ(GuardCount(), 1);
    }
    EXPECT_EQ(GuardCount(), 0);
    TestOwner later; // once the first is gone, a guard can be made again
    EXPECT_NO_THROW(later.Own<TSingleInstance>());
    EXPECT_EQ(GuardCount(), 1);
}

TEST(SingleInstance, FirstInstanceTakesTheNameQuietlyAndKeepsIt) {
    const ByteString name = FreshName();
    ASSERT_FALSE(NameTaken(name));
    {
        TestOwner owner;
        TSingleInstance& guard = owner.Own<TSingleInstance>();
        guard.UniqueName = name;
        int duplicateCalls = 0;
        guard.OnDuplicate = [&](TComponent*) { ++duplicateCalls; };
        owner.Load();
        EXPECT_TRUE(NameTaken(name));
        EXPECT_EQ(duplicateCalls, 0);
        EXPECT_FALSE(TakeQuit());
        EXPECT_EQ(FirstInstanceWindow(), nullptr);
    }
    // The guard is gone, but its process still marks the name until it ends.
    EXPECT_TRUE(NameTaken(name));

    TestOwner nextWindow;
    TSingleInstance& next = nextWindow.Own<TSingleInstance>();
    next.UniqueName = name;
    next.DupInstAction = diTerminate;
    int duplicateCalls = 0;
    next.OnDuplicate = [&](TComponent*) { ++duplicateCalls; };
    nextWindow.Load();
    EXPECT_EQ(duplicateCalls, 1);
    EXPECT_EQ(TakeQuit(), std::optional<WPARAM>(0));
}

// Another holder of the name (here the test itself): each action, after the event.
TEST(SingleInstance, DuplicateRunsTheEventThenItsAction) {
    const ByteString customMessage = "二重起動です"; // shows that ErrorMessage is used
    const struct {
        TDupInstAction action;
        bool quits;
        bool raises;
    } cases[] = {
        {diActivateFirst, true, false},
        {diException, false, true},
        {diTerminate, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.action));
        const ByteString name = FreshName();
        win::UniqueHandle otherInstance(CreateMutexA(nullptr, FALSE, name.c_str()));
        ASSERT_TRUE(otherInstance);

        TestOwner owner;
        TSingleInstance& guard = owner.Own<TSingleInstance>();
        guard.UniqueName = name;
        guard.DupInstAction = c.action;
        guard.ErrorMessage = customMessage;
        int duplicateCalls = 0;
        bool quitAtEvent = true;
        guard.OnDuplicate = [&](TComponent* sender) {
            ++duplicateCalls;
            EXPECT_EQ(sender, &guard);
            MSG message;
            quitAtEvent = PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
        };

        std::optional<ByteString> raised;
        try {
            owner.Load();
        } catch (const EMultiAppInstance& error) {
            raised = error.Message();
        }
        EXPECT_EQ(duplicateCalls, 1);
        EXPECT_FALSE(quitAtEvent) << "the action ran before the event";
        EXPECT_EQ(TakeQuit(), c.quits ? std::optional<WPARAM>(0) : std::nullopt);
        EXPECT_EQ(raised, c.raises ? std::optional<ByteString>(customMessage) : std::nullopt);
        EXPECT_EQ(FirstInstanceWindow(), nullptr); // no other instance shows a window here
    }
}

TEST(SingleInstance, EventThatRaisesStopsTheAction) {
    const ByteString name = FreshName();
    win::UniqueHandle otherInstance(CreateMutexA(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(otherInstance);
    TestOwner owner;
    TSingleInstance& guard = owner.Own<TSingleInstance>();
    guard.UniqueName = name;
    guard.DupInstAction = diTerminate;
    guard.OnDuplicate = [](TComponent*) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(owner.Load(), std::runtime_error);
    EXPECT_FALSE(TakeQuit());
}

// --- Against another running instance ------------------------------------------------

namespace {

ByteString ProbeProgram() {
    return testing_support::BuildFile("tools\\guard_probe.exe");
}

// A running instance in another process: its guard holds the name, and unless title is
// "-" it has a hidden application window with that text and a visible form it owns.
class RunningInstance {
  public:
    RunningInstance(const ByteString& name, const ByteString& title,
                    const ByteString& className = "TApplication") {
        const ByteString readyFile = folder_ / "ready.txt";
        ByteString commandLine = Quoted(ProbeProgram()) + " hold " + Quoted(name) + " " +
                                 Quoted(title) + " " + Quoted(className) + " " + Quoted(readyFile);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info))
            throw std::runtime_error("cannot start " + commandLine);
        process_ = win::UniqueProcess(info);
        for (int tries = 0; tries < 400; ++tries) {
            if (testing_support::Exists(readyFile)) {
                const ByteString ready = testing_support::ReadFileBytes(readyFile);
                unsigned long long application = 0, popup = 0;
                if (ready.find('\n') != ByteString::npos &&
                    std::sscanf(ready.c_str(), "%llu %llu", &application, &popup) == 2) {
                    application_ = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(application));
                    popup_ = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(popup));
                    return;
                }
            }
            Sleep(50);
        }
        throw std::runtime_error("the running instance did not get ready");
    }
    ~RunningInstance() {
        TerminateProcess(process_.process.get(), 0);
        WaitForSingleObject(process_.process.get(), 10000);
    }
    RunningInstance(const RunningInstance&) = delete;
    RunningInstance& operator=(const RunningInstance&) = delete;

    HWND ApplicationWindow() const { return application_; }
    HWND Form() const { return popup_; } // the application window's last active popup

  private:
    TempDir folder_{"vcrun"};
    win::UniqueProcess process_;
    HWND application_ = nullptr;
    HWND popup_ = nullptr;
};

// Runs a later instance (program) to its end and returns what it reported.
std::map<std::string, std::string> RunLaterInstance(const ByteString& program,
                                                    const ByteString& name, TDupInstAction action,
                                                    const ByteString& ownTitle = "-") {
    TempDir folder("vcdup");
    const ByteString reportFile = folder / "report.txt";
    const int exitCode = testing_support::RunProcess(Quoted(program) + " check " + Quoted(name) +
                                                     " " + std::to_string(int(action)) + " " +
                                                     Quoted(reportFile) + " " + Quoted(ownTitle));
    if (exitCode != 0)
        throw std::runtime_error("later instance ended with " + std::to_string(exitCode));
    std::map<std::string, std::string> report;
    const ByteString text = testing_support::ReadFileBytes(reportFile);
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const ByteString line = text.substr(start, end - start);
        const size_t equals = line.find('=');
        if (equals != ByteString::npos)
            report[line.substr(0, equals)] = line.substr(equals + 1);
        start = end == ByteString::npos ? text.size() : end + 1;
    }
    return report;
}

// The probe under another file name, in a folder of its own.
class RenamedProbe {
  public:
    explicit RenamedProbe(const ByteString& fileName) : path_(folder_ / fileName) {
        if (!CopyFileA(ProbeProgram().c_str(), path_.c_str(), FALSE))
            throw std::runtime_error("cannot copy the probe to " + path_);
    }
    const ByteString& Path() const { return path_; }

  private:
    TempDir folder_{"vcprobe"};
    ByteString path_;
};

} // namespace

TEST(SingleInstanceAcrossProcesses, FindsTheFirstInstanceWindowByItsExecutableName) {
    const ByteString longName78 = "guard" + ByteString(73, 'x');
    const ByteString longName79 = "guard" + ByteString(74, 'x');
    const struct {
        const char* what;
        ByteString probeName; // file name of the later instance, without ".exe"
        ByteString title;     // text of the running instance's application window
        ByteString className; // its window class
        TDupInstAction action;
        ByteString ownTitle; // the later instance's own application window, "-": none
        bool found;
    } cases[] = {
        {"same name", "guard_probe", "guard_probe", "TApplication", diActivateFirst, "-", true},
        {"diTerminate does not search", "guard_probe", "guard_probe", "TApplication", diTerminate,
         "-", false},
        {"title in other case", "guard_probe", "GUARD_Probe", "TApplication", diActivateFirst, "-",
         true},
        {"class in other case", "guard_probe", "guard_probe", "TAPPLICATION", diActivateFirst, "-",
         true},
        {"other class", "guard_probe", "guard_probe", "TApplicationX", diActivateFirst, "-", false},
        {"other title", "guard_probe", "guard_probf", "TApplication", diActivateFirst, "-", false},
        {"title with the extension", "guard_probe", "guard_probe.exe", "TApplication",
         diActivateFirst, "-", false},
        {"several dots", "guard.probe.copy", "guard.probe.copy", "TApplication", diActivateFirst,
         "-", true},
        {"several dots, first part only", "guard.probe.copy", "guard", "TApplication",
         diActivateFirst, "-", false},
        {"Shift-JIS name", "表示ソフト", "表示ソフト", "TApplication", diActivateFirst, "-", true},
        {"trail byte is no letter", "ア", "ヂ", "TApplication", diActivateFirst, "-", false},
        {"78 characters", longName78, longName78, "TApplication", diActivateFirst, "-", true},
        {"79 characters never match", longName79, longName79, "TApplication", diActivateFirst, "-",
         false},
        {"own window is skipped", "guard_probe", "-", "TApplication", diActivateFirst,
         "guard_probe", false},
        {"own window skipped, other found", "guard_probe", "guard_probe", "TApplication",
         diActivateFirst, "guard_probe", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ByteString name = FreshName();
        RunningInstance first(name, c.title, c.className);
        const RenamedProbe later(c.probeName + ".exe");
        const auto report = RunLaterInstance(later.Path(), name, c.action, c.ownTitle);

        EXPECT_EQ(report.at("duplicateCalls"), "1");
        EXPECT_EQ(report.at("senderIsGuard"), "1");
        // The event comes before the search and before the quit request.
        EXPECT_EQ(report.at("firstAtDuplicate"), "0");
        EXPECT_EQ(report.at("quitAtDuplicate"), "0");
        EXPECT_EQ(report.at("quit"), "1");
        EXPECT_EQ(report.at("quitCode"), "0");
        EXPECT_EQ(report.at("exception"), "-");
        EXPECT_EQ(WindowFromNumber(report.at("first")), c.found ? first.Form() : nullptr);
        EXPECT_EQ(report.at("guardCount"), "1");
        EXPECT_EQ(report.at("guardCountAfterUnload"), "0");
    }
}

TEST(SingleInstanceAcrossProcesses, RaisesWithItsMessageWhenAskedTo) {
    const ByteString name = FreshName();
    RunningInstance first(name, "guard_probe");
    const auto report = RunLaterInstance(ProbeProgram(), name, diException);
    EXPECT_EQ(report.at("duplicateCalls"), "1");
    EXPECT_EQ(report.at("exception"), "\x82\xB7\x82\xC5\x82\xC9\x8B\x4E\x93\xAE\x82\xB3\x82\xEA"
                                      "\x82\xC4\x82\xA2\x82\xDC\x82\xB7");
    EXPECT_EQ(report.at("quit"), "0");
    EXPECT_EQ(report.at("first"), "0");
}

TEST(SingleInstanceAcrossProcesses, LaterInstanceOfAnotherNameIsFirst) {
    RunningInstance first(FreshName(), "guard_probe");
    const auto report = RunLaterInstance(ProbeProgram(), FreshName(), diActivateFirst);
    EXPECT_EQ(report.at("duplicateCalls"), "0");
    EXPECT_EQ(report.at("quit"), "0");
    EXPECT_EQ(report.at("first"), "0");
}

// Instances that check at the same moment can all find the name free before any of them
// has created the mutex; the creation's report settles it, so exactly one goes on as
// the first instance. Each round starts the instances together and lets them check at
// one signal; the first instance keeps the name until every one has reported.
TEST(SingleInstanceAcrossProcesses, InstancesCheckingAtOneMomentLeaveOneFirst) {
    constexpr int kInstances = 6;
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        const ByteString name = FreshName();
        const ByteString start = name + "_go";
        win::UniqueHandle ready(
            CreateSemaphoreA(nullptr, 0, kInstances, (start + "_ready").c_str()));
        win::UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, start.c_str()));
        win::UniqueHandle end(CreateEventA(nullptr, TRUE, FALSE, (start + "_end").c_str()));
        ASSERT_TRUE(ready && go && end);
        // Whatever happens below, the instances are let go before the handles close.
        const win::ScopeExit release([&] {
            SetEvent(go.get());
            SetEvent(end.get());
        });

        TempDir folder("vcrace");
        std::vector<win::UniqueProcess> instances;
        for (int i = 0; i < kInstances; ++i) {
            ByteString commandLine = Quoted(ProbeProgram()) + " check " + Quoted(name) + " 2 " +
                                     Quoted(folder / std::to_string(i)) + " - " + Quoted(start);
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info{};
            ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                       nullptr, nullptr, &startup, &info));
            instances.emplace_back(info);
        }
        for (int i = 0; i < kInstances; ++i)
            ASSERT_EQ(WaitForSingleObject(ready.get(), 60000), WAIT_OBJECT_0);
        SetEvent(go.get());

        int firsts = 0;
        for (int i = 0; i < kInstances; ++i) {
            const ByteString reportFile = folder / std::to_string(i);
            ByteString report;
            for (int tries = 0;
                 tries < 1200 && report.find("foregroundBeforeEnd") == ByteString::npos; ++tries) {
                Sleep(50);
                if (testing_support::Exists(reportFile))
                    report = testing_support::ReadFileBytes(reportFile);
            }
            ASSERT_NE(report.find("foregroundBeforeEnd"), ByteString::npos) << "no report";
            if (report.find("duplicateCalls=0") != ByteString::npos)
                ++firsts;
        }
        EXPECT_EQ(firsts, 1);
        SetEvent(end.get());
        for (auto& instance : instances)
            EXPECT_EQ(testing_support::WaitForExit(instance.process.get()), 0);
    }
}

// The first instance's window comes forward only when the later process ends, after its
// own windows are gone; diTerminate never moves it.
TEST(SingleInstanceAcrossProcesses, ForegroundMovesOnlyWhenTheLaterInstanceEnds) {
    for (const TDupInstAction action : {diActivateFirst, diTerminate}) {
        SCOPED_TRACE(int(action));
        const ByteString name = FreshName();
        RunningInstance first(name, "guard_probe");
        TestOwner ours(true);
        SetForegroundWindow(ours.WindowHandle());
        ASSERT_EQ(GetForegroundWindow(), ours.WindowHandle());

        const auto report = RunLaterInstance(ProbeProgram(), name, action);
        EXPECT_EQ(WindowFromNumber(report.at("foregroundBeforeEnd")), ours.WindowHandle());
        const HWND expected = action == diActivateFirst ? first.Form() : ours.WindowHandle();
        EXPECT_EQ(GetForegroundWindow(), expected);
    }
}
