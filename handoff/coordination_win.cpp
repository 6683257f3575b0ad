// The job hand-off between capture and converter, on named kernel objects.
//
// Why: there is one job file "$$temp.ps" and one hand-off log "log.txt" per directory, and
// the converter's command line names only the job file. Without coordination a job captured
// while the previous converter still reads the job file (or has not yet read the log)
// replaces that job under it, and two converters then work on the same bytes: one job is
// lost, the other converted twice or mixed. The file names, the log's format and the command
// line stay as they are; the two sides agree through three objects named after the job file
// path (hashed, so that any path gives a valid object name):
//
//   Capture  mutex   held by a capture for its whole life: captures into one directory
//                    run one after the other, never writing the job file at the same time.
//   JobLock  mutex   whoever holds it owns the job file, the log and the intermediate PDF.
//   JobTaken event   auto-reset; set by a converter once it holds JobLock.
//
// A capture takes Capture, then JobLock, deletes and writes the job file and the log,
// creates JobTaken, starts its converter, releases JobLock and waits for JobTaken, so that
// it never ends (letting the next capture in) before its converter holds the lock. The
// converter takes JobLock before it reads anything and keeps it until its PDF has left the
// shared directory, then releases it; the next capture goes ahead from there.
//
// Bounds: a wait for JobLock lasts at most ten minutes on either side, and a capture waits
// at most a minute for its converter to take over. A wait that runs out goes ahead as if
// there were no lock: a stuck converter must not swallow every later print job. A mutex
// abandoned by a process that died holding it counts as acquired. The Capture mutex is
// waited for without a bound: its holder reads its print stream (as long as the spooler
// sends) and its other waits are bounded, and going ahead would mix two streams in one file.
#include "handoff/coordination_win.h"

namespace handoff {

namespace {

// Creates or opens the named mutex and waits for it. The handle when this thread owns the
// mutex (an abandoned one included); none when the wait timed out or the object is unusable.
win::UniqueHandle AcquireMutex(const ObjectName& name, DWORD waitMs) {
    win::UniqueHandle mutex(CreateMutexA(nullptr, FALSE, name.text));
    if (!mutex)
        return {};
    const DWORD result = WaitForSingleObject(mutex.get(), waitMs);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)
        return mutex;
    return {};
}

void ReleaseOwnedMutex(win::UniqueHandle& mutex) {
    if (mutex)
        ReleaseMutex(mutex.get());
    mutex.reset();
}

} // namespace

JobLease& JobLease::operator=(JobLease&& other) noexcept {
    if (this != &other) {
        Release();
        lock_ = std::move(other.lock_);
    }
    return *this;
}

JobLease::~JobLease() {
    Release();
}

void JobLease::Release() {
    ReleaseOwnedMutex(lock_);
}

JobLease TakeOverJob(const ByteString& jobFileArgument) {
    return TakeOverJob(jobFileArgument, kJobLockWaitMs);
}

JobLease TakeOverJob(const ByteString& jobFileArgument, DWORD lockWaitMs) {
    JobLease lease(AcquireMutex(NameOf(ObjectKind::JobLock, jobFileArgument.c_str()), lockWaitMs));
    // The capture that started us waits for this; no event means nobody waits (a converter
    // started by hand, or its capture gave up).
    win::UniqueHandle taken(OpenEventA(EVENT_MODIFY_STATE, FALSE,
                                       NameOf(ObjectKind::JobTaken, jobFileArgument.c_str()).text));
    if (taken)
        SetEvent(taken.get());
    return lease;
}

CaptureTurn::CaptureTurn(const char* jobFilePath, DWORD lockWaitMs)
    : turn_(AcquireMutex(NameOf(ObjectKind::CaptureTurn, jobFilePath), INFINITE)),
      jobLock_(AcquireMutex(NameOf(ObjectKind::JobLock, jobFilePath), lockWaitMs)),
      taken_(CreateEventA(nullptr, FALSE, FALSE, NameOf(ObjectKind::JobTaken, jobFilePath).text)) {
    // The event may outlive an earlier capture (a late converter still holds it open). Our
    // converter has not been started yet, so any signal in it now is an earlier one.
    if (taken_)
        ResetEvent(taken_.get());
}

CaptureTurn::~CaptureTurn() {
    ReleaseOwnedMutex(jobLock_);
    ReleaseOwnedMutex(turn_);
}

bool CaptureTurn::HandOver(bool converterStarted, DWORD takeOverWaitMs) {
    ReleaseOwnedMutex(jobLock_);
    if (!converterStarted || !taken_)
        return false;
    return WaitForSingleObject(taken_.get(), takeOverWaitMs) == WAIT_OBJECT_0;
}

} // namespace handoff
