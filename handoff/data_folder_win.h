// The data folder (data_folder.h) on the platform: this executable's folder, the install
// marker in the settings file there, and the known folder of the user this process runs as.
#pragma once

#include "handoff/data_folder.h"

namespace handoff {

// This executable's folder, ending in its separator; false when it does not fit.
bool ProgramFolder(PathBuffer& folder);

// True when the settings file in programFolder carries the install marker.
bool IsInstalledCopy(const char* programFolder);

// The data folder of this process: the programs' folder in a portable copy; in an installed
// copy "<local application data>\Vellumcast\" of the user this process runs as (found with
// the process's own token, so a program started for a user with that user's environment
// finds that user's), created on first use with what it inherits from the profile, which
// only that user can read. A junction or link in its place is not used.
DataFolderProblem FindDataFolder(PathBuffer& folder);

} // namespace handoff
