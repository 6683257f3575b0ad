// The single-instance guard: the duplicate check, the search for the first instance's
// window, and the unit's shutdown step that brings that window forward.
#include "components/sys_ctrls.h"

#include "base/path_parts.h"
#include "base/win/files.h"
#include "components/instance_mark_win.h"

#include <vector>

namespace {

const char kApplicationWindowClass[] = "TApplication";

int guardCount = 0;
HWND firstInstanceWindow = nullptr;

// Lives as long as the process. It keeps the first instance's mutex open after the guard
// is gone, so the name stays taken until the very end; and its destruction, after the
// program's windows are gone, is the unit's shutdown step.
struct UnitLifetime {
    std::vector<win::UniqueHandle> heldMarks;

    ~UnitLifetime() {
        if (firstInstanceWindow)
            win::BringToForeground(firstInstanceWindow);
    }
};
UnitLifetime unit;

// Takes the name for this instance, or finds it taken. The mark, when one was created,
// is kept open for the rest of the process and returned through mark.
bool ClaimFirstInstance(const ByteString& uniqueName, HANDLE& mark) {
    if (win::UniqueHandle other = win::OpenNamedMutex(uniqueName))
        return false; // another instance holds the name; the handle closes here
    win::CreatedMutex created = win::CreateNamedMutex(uniqueName);
    switch (sys_ctrls::ClassifyCreate(bool(created.handle), created.lastError)) {
    case sys_ctrls::CreateOutcome::FirstWithMark:
        mark = created.handle.get();
        unit.heldMarks.push_back(std::move(created.handle));
        return true;
    case sys_ctrls::CreateOutcome::FirstWithoutMark:
        return true;
    case sys_ctrls::CreateOutcome::Duplicate:
        return false;
    }
    return true;
}

} // namespace

namespace sys_ctrls {

ByteString InstanceBaseName(const ByteString& modulePath) {
    return ChangeFileExt(ExtractFileName(modulePath), "");
}

CreateOutcome ClassifyCreate(bool gotHandle, DWORD lastError) {
    if (!gotHandle)
        return CreateOutcome::FirstWithoutMark;
    return lastError == ERROR_ALREADY_EXISTS ? CreateOutcome::Duplicate
                                             : CreateOutcome::FirstWithMark;
}

} // namespace sys_ctrls

int GuardCount() {
    return guardCount;
}

HWND FirstInstanceWindow() {
    return firstInstanceWindow;
}

TSingleInstance::LiveGuard::LiveGuard() {
    ++guardCount;
}

TSingleInstance::LiveGuard::~LiveGuard() {
    --guardCount;
}

TSingleInstance::TSingleInstance(TComponent* owner)
    : TComponent(owner), ErrorMessage("すでに起動されています") {
    if (guardCount > 1)
        throw EMultiSingleInstance("Only single component allowed");
}

TSingleInstance::~TSingleInstance() {
    // The guard never owns the mutex, so this leaves it as it is; the handle stays open
    // (held by the unit) until the process ends.
    if (MutexHandle)
        win::ReleaseNamedMutex(MutexHandle);
}

void TSingleInstance::AfterLoad() {
    TComponent::AfterLoad();
    if (ClaimFirstInstance(UniqueName, MutexHandle))
        return;
    if (OnDuplicate)
        OnDuplicate(this);
    switch (DupInstAction) {
    case diActivateFirst:
        FindFirstInstance();
        win::RequestQuit();
        break;
    case diException:
        throw EMultiAppInstance(ErrorMessage);
    case diTerminate:
        win::RequestQuit();
        break;
    }
}

void FindFirstInstance() {
    const ByteString baseName = sys_ctrls::InstanceBaseName(win::ModuleFileName());
    HWND found = nullptr;
    win::ForEachTopLevelWindow([&](HWND window) {
        if (!SameTextAsciiCaseless(win::ShortClassName(window), kApplicationWindowClass) ||
            win::BelongsToThisProcess(window))
            return true;
        if (!SameTextAsciiCaseless(win::ShortWindowText(window), baseName))
            return true;
        found = window;
        return false;
    });
    if (found)
        firstInstanceWindow = win::LastActivePopup(found);
}
