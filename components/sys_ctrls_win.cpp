// The single-instance guard: the duplicate check, the search for the first instance's
// window, and the unit's shutdown step that brings that window forward.
#include "components/sys_ctrls_win.h"

#include "base/path_parts.h"
#include "base/win/files_win.h"
#include "base/win/window_win.h"
#include "components/instance_mark_win.h"
#include "toolkit/application_win.h"

#include <vector>

namespace {

int guardCount = 0;
HWND firstInstanceWindow = nullptr;

// Lives as long as the process. It keeps the first instance's mutex open after the guard
// is gone, so the name stays taken until the very end; and its destruction, after the
// program's windows are gone, is the unit's shutdown step.
struct UnitLifetime {
    std::vector<win::UniqueHandle> heldMarks;

    ~UnitLifetime() {
        if (firstInstanceWindow)
            components::BringToForeground(firstInstanceWindow);
    }
};
UnitLifetime unit;

// Takes the name for this instance, or finds it taken. The mark, when one was created,
// is kept open for the rest of the process and returned through mark.
bool ClaimFirstInstance(const ByteString& uniqueName, HANDLE& mark) {
    if (win::UniqueHandle other = components::OpenNamedMutex(uniqueName))
        return false; // another instance holds the name; the handle closes here
    components::CreatedMutex created = components::CreateNamedMutex(uniqueName);
    switch (components::ClassifyCreate(bool(created.handle), created.lastError)) {
    case components::CreateOutcome::FirstWithMark:
        mark = created.handle.get();
        unit.heldMarks.push_back(std::move(created.handle));
        return true;
    case components::CreateOutcome::FirstWithoutMark:
        return true;
    case components::CreateOutcome::Duplicate:
        return false;
    }
    return true;
}

} // namespace

namespace components {

ByteString InstanceBaseName(const ByteString& modulePath) {
    return ChangeFileExt(ExtractFileName(modulePath), "");
}

CreateOutcome ClassifyCreate(bool gotHandle, DWORD lastError) {
    if (!gotHandle)
        return CreateOutcome::FirstWithoutMark;
    return lastError == ERROR_ALREADY_EXISTS ? CreateOutcome::Duplicate
                                             : CreateOutcome::FirstWithMark;
}

} // namespace components

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
        components::ReleaseNamedMutex(MutexHandle);
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
        PostQuitMessage(0);
        break;
    case diException:
        throw EMultiAppInstance(ErrorMessage);
    case diTerminate:
        PostQuitMessage(0);
        break;
    }
}

void FindFirstInstance() {
    const ByteString baseName = components::InstanceBaseName(win::ModuleFileName());
    HWND found = nullptr;
    components::ForEachTopLevelWindow([&](HWND window) {
        if (!SameTextAsciiCaseless(components::ShortClassName(window),
                                   toolkit::kApplicationWindowClass) ||
            win::BelongsToThisProcess(window))
            return true;
        if (!SameTextAsciiCaseless(components::ShortWindowText(window), baseName))
            return true;
        found = window;
        return false;
    });
    if (found)
        firstInstanceWindow = GetLastActivePopup(found);
}
