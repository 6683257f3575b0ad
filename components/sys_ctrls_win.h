// Unit SysCtrls: the single-instance guard that a window carries to find out, while it is
// being created, whether another instance of the program is already running.
#pragma once

#include "base/bytes.h"
#include "base/errors.h"
#include "toolkit/component_win.h"

#include <windows.h>

#include <cstdint>
#include <functional>

// What a later instance does once it has found the mark of a running one.
enum TDupInstAction : std::uint8_t {
    diActivateFirst = 0, // note the first instance's window, then ask the application to quit
    diException = 1,     // raise EMultiAppInstance with ErrorMessage
    diTerminate = 2,     // ask the application to quit
};

// A second guard constructed in one process.
class EMultiSingleInstance : public Exception {
  public:
    using Exception::Exception;
};

// Raised by diException in a later instance; the message is the guard's ErrorMessage.
class EMultiAppInstance : public Exception {
  public:
    using Exception::Exception;
};

// An event handler that receives the component that raised it.
using TNotifyEvent = std::function<void(TComponent* sender)>;

// Marks a running instance with the system-wide mutex UniqueName. The check runs once, in
// AfterLoad; setting the properties afterwards has no effect.
class TSingleInstance : public TComponent {
  public:
    // Raises EMultiSingleInstance when another guard of this process is alive.
    explicit TSingleInstance(TComponent* owner);
    ~TSingleInstance() override;

    void AfterLoad() override;

    TDupInstAction DupInstAction = diActivateFirst;
    ByteString ErrorMessage;
    ByteString UniqueName;
    TNotifyEvent OnDuplicate; // called first when another instance is found

  private:
    // Counts this guard among the live ones for as long as it exists, also when the
    // constructor body throws.
    struct LiveGuard {
        LiveGuard();
        ~LiveGuard();
        LiveGuard(const LiveGuard&) = delete;
        LiveGuard& operator=(const LiveGuard&) = delete;
    };

    LiveGuard live_;
    HANDLE MutexHandle = nullptr; // the first instance's mark; none in a later instance
};

// Unit-wide state, one per process.
int GuardCount();           // live TSingleInstance objects
HWND FirstInstanceWindow(); // noted by FindFirstInstance; brought forward at process end

// Looks for the application window of a running instance: a top-level window of another
// process whose class is "TApplication" and whose text is this executable's base name.
// When found, FirstInstanceWindow becomes its last active popup.
void FindFirstInstance();

// The pieces of the guard's decisions, on their own so that they can be checked directly.
namespace components {

// The executable's file name without its directory and without the part from its last dot.
ByteString InstanceBaseName(const ByteString& modulePath);

// What a creation of the mutex means for this instance. The open and the creation are two
// calls, so an instance started at the same moment may have created the mutex in between:
// the creation then reports that the name already existed, and this instance is a duplicate.
enum class CreateOutcome { FirstWithMark, FirstWithoutMark, Duplicate };
CreateOutcome ClassifyCreate(bool gotHandle, DWORD lastError);

} // namespace components
