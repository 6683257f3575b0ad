// Second process for the single-instance guard tests. "hold" plays a running instance:
// its guard takes the name, and it shows an application window like the converter's.
// "check" plays a later instance: it runs the duplicate check and reports what it saw.
//
//   guard_probe hold NAME TITLE CLASS READYFILE
//       TITLE "-": no application window. Writes "<application window> <popup>" to
//       READYFILE once ready, then runs until ended.
//   guard_probe check NAME ACTION REPORTFILE OWNTITLE [START]
//       ACTION 0, 1 or 2 (TDupInstAction). OWNTITLE "-": no application window of its own;
//       else its own "TApplication" window gets that text. Writes key=value lines.
//       With START, it releases the semaphore START + "_ready" once and waits for the
//       event START before its check, so that several of them can check at one moment;
//       after its report it waits for the event START + "_end", so that every instance
//       that took the name still holds it while the others check.
#include "base/win/handles_win.h"
#include "components/sys_ctrls_win.h"
#include "components/test_owner_win.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kApplicationClass[] = "TApplication";

unsigned long long Number(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window));
}

bool QuitPending(bool remove, WPARAM* code = nullptr) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, remove ? PM_REMOVE : PM_NOREMOVE))
        return false;
    if (code)
        *code = message.wParam;
    return true;
}

LRESULT CALLBACK PopupProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

ATOM Register(const char* className, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return RegisterClassA(&windowClass);
}

// A hidden application window of the given class and text, as every instance has one.
HWND CreateApplicationWindow(const char* className, const char* title) {
    Register(className, DefWindowProcA);
    return CreateWindowA(className, title, WS_POPUP | WS_CAPTION, 0, 0, 0, 0, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

int Hold(const char* name, const char* title, const char* className, const char* readyFile) {
    components::TestOwner owner;
    TSingleInstance& guard = owner.Own<TSingleInstance>();
    guard.UniqueName = name;
    guard.DupInstAction = diTerminate;
    owner.Load();

    HWND application = nullptr;
    HWND popup = nullptr;
    if (std::strcmp(title, "-") != 0) {
        application = CreateApplicationWindow(className, title);
        Register("TProbeForm", PopupProcedure);
        // Owned by the application window, as a program's main form is.
        popup =
            CreateWindowA("TProbeForm", "holder form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300,
                          240, 120, application, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(popup);
        SetActiveWindow(popup);
    }
    FILE* ready = std::fopen(readyFile, "wb");
    if (!ready)
        return 2;
    std::fprintf(ready, "%llu %llu\n", Number(application), Number(popup));
    std::fclose(ready);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

// Tells the test that this process is ready, then waits for its signal to go on.
bool WaitForStart(const std::string& start) {
    win::UniqueHandle ready(
        OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (start + "_ready").c_str()));
    win::UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, start.c_str()));
    if (!ready || !go)
        return false;
    ReleaseSemaphore(ready.get(), 1, nullptr);
    return WaitForSingleObject(go.get(), 60000) == WAIT_OBJECT_0;
}

void WaitForEnd(const std::string& start) {
    win::UniqueHandle end(OpenEventA(SYNCHRONIZE, FALSE, (start + "_end").c_str()));
    if (end)
        WaitForSingleObject(end.get(), 60000);
}

int Check(const char* name, int action, const char* reportFile, const char* ownTitle,
          const char* start) {
    if (std::strcmp(ownTitle, "-") != 0)
        CreateApplicationWindow(kApplicationClass, ownTitle);

    std::string report;
    const auto put = [&report](const char* key, const std::string& value) {
        report += key;
        report += '=';
        report += value;
        report += '\n';
    };

    components::TestOwner owner;
    TSingleInstance& guard = owner.Own<TSingleInstance>();
    guard.UniqueName = name;
    guard.DupInstAction = static_cast<TDupInstAction>(action);
    int duplicateCalls = 0;
    guard.OnDuplicate = [&](TComponent* sender) {
        ++duplicateCalls;
        put("senderIsGuard", sender == &guard ? "1" : "0");
        put("firstAtDuplicate", std::to_string(Number(FirstInstanceWindow())));
        put("quitAtDuplicate", QuitPending(false) ? "1" : "0");
    };
    if (start && !WaitForStart(start))
        return 3;
    try {
        owner.Load();
        put("exception", "-");
    } catch (const EMultiAppInstance& error) {
        put("exception", error.Message());
    }
    put("duplicateCalls", std::to_string(duplicateCalls));
    put("first", std::to_string(Number(FirstInstanceWindow())));
    WPARAM quitCode = 0;
    const bool quit = QuitPending(true, &quitCode);
    put("quit", quit ? "1" : "0");
    put("quitCode", std::to_string(quitCode));
    put("guardCount", std::to_string(GuardCount()));
    owner.Unload();
    put("guardCountAfterUnload", std::to_string(GuardCount()));
    // Still before the process's final clean-up: the foreground must not have moved yet.
    put("foregroundBeforeEnd", std::to_string(Number(GetForegroundWindow())));

    FILE* out = std::fopen(reportFile, "wb");
    if (!out)
        return 2;
    std::fwrite(report.data(), 1, report.size(), out);
    std::fclose(out);
    if (start)
        WaitForEnd(start);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "hold") == 0)
        return Hold(argv[2], argv[3], argv[4], argv[5]);
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "check") == 0)
        return Check(argv[2], std::atoi(argv[3]), argv[4], argv[5], argc == 7 ? argv[6] : nullptr);
    std::fputs("usage: guard_probe hold NAME TITLE CLASS READYFILE\n"
               "       guard_probe check NAME ACTION REPORTFILE OWNTITLE [START]\n",
               stderr);
    return 1;
}
