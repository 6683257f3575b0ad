// CaptureJob: one print job from standard input to the job file, the hand-off log and a
// started converter, all beside the capture program's own executable.
#pragma once

#include "handoff/contract.h"

#include <cstddef>

namespace capture {

using handoff::kConverterFileName;
using handoff::kJobFileName;

// Paths as the ANSI calls take them (MAX_PATH), terminating zero included.
constexpr size_t kPathCapacity = 260;

// The converter's command line: the converter's and the job file's full paths, quoted,
// sized for the longest prefix that leaves room for the job file's path, so a long directory still
// starts the converter.
constexpr size_t kMaxPrefixLength = kPathCapacity - 1 - (sizeof kJobFileName - 1);
constexpr size_t kCommandLineCapacity =
    2 * kMaxPrefixLength + (sizeof kConverterFileName - 1) + (sizeof kJobFileName - 1) + 5 + 1;

constexpr size_t kCopyBlockSize = 8192;

// Stores the job, records its name and starts the converter. Reports nothing: every failure
// ends the run quietly, and a failure before the job file is open leaves standard input
// unread, the previous hand-off log in place and no converter started.
void CaptureJob();

} // namespace capture
