// The coordination between the capture program and the converter over the one job file
// and hand-off log in their shared directory, so that back-to-back print jobs neither
// replace nor mix each other. Names of the kernel objects derive from the job file path
// that the capture passes on the command line, byte for byte the same on both sides.
#pragma once

#include "base/bytes.h"
#include "base/win/handles.h"

namespace handoff {

// Held by a converter from intake to the end of its run: while it is held, no capture
// replaces the job file or the hand-off log. Releasing it (destruction) frees them.
class JobLease {
  public:
    JobLease() = default;
    explicit JobLease(win::UniqueHandle lock) : lock_(std::move(lock)) {}
    JobLease(JobLease&&) = default;
    JobLease& operator=(JobLease&&) = default;
    ~JobLease();

  private:
    win::UniqueHandle lock_;
};

// Converter side: waits (bounded) for the job lock, then tells the waiting capture that the
// job has been taken over. jobFileArgument is the converter's first argument, unchanged.
JobLease TakeOverJob(const ByteString& jobFileArgument);

} // namespace handoff
