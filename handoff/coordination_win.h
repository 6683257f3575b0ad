// The hand-off of one print job from a capture to its converter, on named kernel objects
// and kept names, so that no print job replaces, mixes with or deletes another.
#pragma once

#include "handoff/contract.h"
#include "handoff/object_names.h"

#include "base/win/handles_win.h"

#include <windows.h>

namespace handoff {

// How long a capture waits for its converter to take the job over before it moves the job
// aside itself (a converter that crashed on start, or never started).
constexpr DWORD kTakeOverWaitMs = 60 * 1000;

// Dispatches window messages while the converter's thread waits for a lock.
class MessagePump {
  public:
    virtual void DispatchPending() = 0;

  protected:
    ~MessagePump() = default;
};

static_assert(kPathCapacity == MAX_PATH, "the hand-off's paths are ANSI paths");

// The long form of the job file's folder, ending in its separator: the key of the folder's
// objects, the same for every spelling of the folder. The folder as spelled when the
// platform cannot expand it.
PathBuffer LongFolderOf(const char* jobFilePath);

// A named mutex this thread owns; released and closed on destruction.
class HeldMutex {
  public:
    HeldMutex() = default;
    explicit HeldMutex(win::UniqueHandle mutex) : mutex_(std::move(mutex)) {}
    HeldMutex(HeldMutex&&) = default;
    HeldMutex& operator=(HeldMutex&&) = delete;
    ~HeldMutex();
    bool Held() const { return bool(mutex_); }

  private:
    win::UniqueHandle mutex_;
};

// Creates or opens the folder's mutex of that kind (in the global namespace, else in the
// session's) and waits for it without a bound: its holders hold it only for an instant or
// for one hand-off, whose own wait is bounded. pump (may be null) dispatches window
// messages meanwhile. A mutex abandoned by a process that died holding it counts as taken.
HeldMutex AcquireFolderMutex(ObjectKind kind, const char* jobFilePath, MessagePump* pump);

// Capture side: the event its converter sets once it has moved the job file to a kept name.
class TakenSignal {
  public:
    explicit TakenSignal(const char* jobFilePath);
    // True when a converter took the job over within the time.
    bool Wait(DWORD timeoutMs) const;

  private:
    win::UniqueHandle event_;
};

// Converter side: tells the waiting capture (if any) that the job has been taken over.
void SignalTaken(const char* jobFilePath);

// Reserves a kept name in the folder (a path prefix ending in "\"): creates "<stem>.name"
// anew with the given content, for a stem whose ".ps" and ".pdf" do not exist either.
// stem receives the full path without extension. False when no name could be reserved.
bool ReserveKeptStem(const char* folderPrefix, const char* nameContent, size_t contentLength,
                     PathBuffer& stem);

// True when a file (not a folder) of that name exists.
bool IsJobFilePresent(const char* jobFile);

// Moves the job file to a new kept name beside it; the hand-off log's line goes to its
// ".name" when the log was written for this job (it is no older than the job file), else
// an empty name. kept receives the kept job's path. False when the job file could not be
// moved (it then stays where it is).
bool SetAsideJobFile(const char* jobFile, const char* handOffLog, PathBuffer& kept);

} // namespace handoff
