// Where the programs keep their data: the job file, the hand-off log, kept jobs, private
// PDFs and, in an installed copy, the user's own settings. A portable copy (a folder that
// holds the programs and nothing else of ours) keeps them beside the programs. An
// installed copy, marked by its installer in the settings file beside the programs (which
// only administrators can change there), keeps each user's data in that user's own local
// application data folder, so that no user reads or changes another's prints and nothing
// is written beside the programs at print time. Both programs decide it here, so they
// cannot disagree. Pure logic and allocation-free: the capture uses it.
#pragma once

#include "handoff/contract.h"

#include <cstddef>

namespace handoff {

// The install marker: "[Install] PerUser=1" in the settings file beside the programs.
constexpr char kInstallSection[] = "Install";
constexpr char kPerUserKey[] = "PerUser";

// The folder of ours inside the user's local application data folder.
constexpr char kDataFolderName[] = "Vellumcast";

// The longest name the programs create in the data folder: a kept job's ".name" with the
// largest counter ("$$kept-YYYYMMDD-hhmmss-4294967295.name").
constexpr size_t kLongestDataFileName =
    (sizeof kKeptJobPrefix - 1) + 16 + 10 + (sizeof kKeptNameExtension - 1);

// How the data folder could not be had.
enum class DataFolderProblem {
    None,
    UserFolderUnknown, // installed, but the user's local application data folder is unknown
    TooLong,           // the folder leaves no room for the longest name inside it
    Unusable,          // it could not be created, or something other than a plain folder
                       // (a junction, a link, a file) stands in its place
};

// The data folder, ending in its separator, into folder.
//   programFolder  the programs' folder, ending in its separator
//   installed      the install marker is there
//   userDataFolder the user's local application data folder as the platform gives it (with
//                  or without a final separator); only read for an installed copy
// On a problem, folder is empty.
DataFolderProblem ChooseDataFolder(const char* programFolder, bool installed,
                                   const char* userDataFolder, PathBuffer& folder);

} // namespace handoff
