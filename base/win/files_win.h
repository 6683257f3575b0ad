// The file-system tests, the module path and the environment, as the system needs them.
#pragma once

#include "base/bytes.h"

#include <windows.h>

#include <optional>

namespace win {

// The directory entry that path names, of any attribute (hidden, system and directories
// included), as a search reports it: with its long name. Nothing when there is none.
// Wildcards never match: a search takes its argument as a pattern, and "*" or "?" would
// report some other entry in place of the one asked for.
std::optional<WIN32_FIND_DATAA> FindEntry(const ByteString& path);

// An entry of that name exists and is not a directory.
bool FileExists(const ByteString& path);

// An entry of that name exists and has the directory attribute.
bool DirectoryExists(const ByteString& path);

// Full path of the running executable, as the platform reports it.
ByteString ModuleFileName();

// The variable's value in the ANSI code page, or nothing when it is not set. Read through
// the wide call and converted, which is what the ANSI call does on Windows: Wine's ANSI
// call cuts double-byte values short.
std::optional<ByteString> EnvironmentVariable(const char* name);

// The message text of a system error code, for diagnostics.
ByteString SystemErrorText(unsigned long code);

} // namespace win
