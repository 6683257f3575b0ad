// The Windows calls of storing a PDF and starting its after-action: deleting and moving
// files, telling two names of one file apart, and the shell starts.
#pragma once

#include "base/bytes.h"

#include <windows.h>

#include <ctime>

namespace pdf_files {

// Results are not examined: a file that cannot be deleted or moved stays where it is.
void Delete(const ByteString& path);
void Move(const ByteString& from, const ByteString& to);

// True when both paths name one existing file (whatever their spelling: case, short
// names, "." parts).
bool SameFile(const ByteString& a, const ByteString& b);

// The document's associated application: "open" with the desktop window as owner, SW_SHOW.
void OpenAssociated(const ByteString& document);

// program's default action with parameters, started in directory, SW_SHOWNORMAL.
void RunProgram(HWND owner, const ByteString& program, const ByteString& parameters,
                const ByteString& directory);

// This moment in local time.
std::tm LocalTimeNow();

} // namespace pdf_files
