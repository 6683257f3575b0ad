// Where the programs' DLLs come from: the system folder only.
#pragma once

namespace win {

// Restricts this process's DLL search to the system folder, so that no DLL in the program's
// own folder, the current folder or the PATH is ever loaded by name. Call it first thing.
// Windows 7 without its 2011 loader update lacks the call; the search then stays as it is.
void RestrictDllSearchToSystemFolder();

} // namespace win
