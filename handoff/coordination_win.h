// The coordination between the capture program and the converter over the one job file
// and hand-off log in their shared directory, so that back-to-back print jobs neither
// replace nor mix each other. Names of the kernel objects derive from the job file path
// that the capture passes on the command line, byte for byte the same on both sides.
#pragma once

#include "base/bytes.h"
#include "base/win/handles_win.h"
#include "handoff/object_names.h"

#include <cstdint>

namespace handoff {

// How long each side waits before it goes ahead on its own rather than lose a job.
constexpr DWORD kJobLockWaitMs = 10 * 60 * 1000;
constexpr DWORD kTakeOverWaitMs = 60 * 1000;

// Held by a converter from intake to the end of its run: while it is held, no capture
// replaces the job file or the hand-off log. Releasing it (destruction) frees them.
// A mutex belongs to a thread: destroy the lease on the thread that took it.
class JobLease {
  public:
    JobLease() = default;
    // lock: a mutex that the calling thread owns.
    explicit JobLease(win::UniqueHandle lock) : lock_(std::move(lock)) {}
    JobLease(JobLease&&) = default;
    JobLease& operator=(JobLease&& other) noexcept;
    ~JobLease();

    // False when the wait for the lock timed out and the run goes ahead without it.
    bool HoldsLock() const { return bool(lock_); }

  private:
    void Release();
    win::UniqueHandle lock_;
};

// Converter side: waits (bounded) for the job lock, then tells the waiting capture that the
// job has been taken over. jobFileArgument is the converter's first argument, unchanged.
JobLease TakeOverJob(const ByteString& jobFileArgument);
JobLease TakeOverJob(const ByteString& jobFileArgument, DWORD lockWaitMs);

// Capture side, for the life of one capture: construction waits for every earlier capture
// into the directory (unbounded: the earlier one's own waits are bounded) and then, bounded,
// for the converter of the previous job to finish; HandOver passes the job on.
class CaptureTurn {
  public:
    explicit CaptureTurn(const char* jobFilePath, DWORD lockWaitMs = kJobLockWaitMs);
    CaptureTurn(const CaptureTurn&) = delete;
    CaptureTurn& operator=(const CaptureTurn&) = delete;
    ~CaptureTurn();

    // False when the wait for the previous converter timed out.
    bool HoldsJobLock() const { return bool(jobLock_); }

    // Releases the job lock; when a converter was started, waits (bounded) until it has
    // taken the lock over. True when it did within the bound.
    bool HandOver(bool converterStarted, DWORD takeOverWaitMs = kTakeOverWaitMs);

  private:
    win::UniqueHandle turn_;
    win::UniqueHandle jobLock_;
    win::UniqueHandle taken_;
};

} // namespace handoff
