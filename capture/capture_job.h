// CaptureJob: one print job from standard input to the job file and the hand-off log in the
// data folder, and a converter started from beside the capture program's own executable.
#pragma once

#include "handoff/contract.h"

#include <cstddef>

namespace capture {

using handoff::kConverterFileName;
using handoff::kJobFileName;
using handoff::kPathCapacity;

// The converter's command line: the converter's and the job file's full paths, quoted,
// sized for the longest folders that leave room for the job file's path, so long folders
// still start the converter.
constexpr size_t kMaxPrefixLength = kPathCapacity - 1 - (sizeof kJobFileName - 1);
constexpr size_t kCommandLineCapacity =
    2 * kMaxPrefixLength + (sizeof kConverterFileName - 1) + (sizeof kJobFileName - 1) + 5 + 1;

constexpr size_t kCopyBlockSize = 8192;

// The capture's exit codes: the only thing a port monitor can report to the spooler, since
// the capture shows nothing.
enum CaptureExit : int {
    kHandedOn = 0,          // the job reached a converter
    kNotStoredWhole = 1,    // the stream could not be stored whole: what was written is kept
    kNotHandedOn = 2,       // stored whole and kept, but not passed to a converter
    kConverterNotTaken = 3, // a converter was started but did not take the job: kept
};

// Stores the job under a kept name, hands it on as the job file with its document name in
// the hand-off log and starts the converter. A job is never deleted here: whatever cannot
// be handed on stays under its kept name ("$$kept-...ps" with its ".name").
int CaptureJob();

} // namespace capture
