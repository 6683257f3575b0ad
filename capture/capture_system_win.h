// The platform calls of the capture program: its own directory, files through the C
// runtime's streams, standard input, the environment and the converter's start.
#pragma once

#include "capture/fixed_text.h"

#include <windows.h>

#include <cstdio>
#include <memory>

namespace capture {

// Paths as the ANSI calls take them.
using PathText = FixedText<MAX_PATH>;

// Drive and directory of the running executable, ending in its separator, as _splitpath
// gives them (double-byte aware once the multibyte code page is the ANSI one). False when
// the module path does not fit its buffer.
bool ModuleDirectoryPrefix(PathText& prefix);

struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using UniqueStream = std::unique_ptr<std::FILE, StreamCloser>;

// Creates the file anew (or empties it) for writing bytes untranslated; none on failure.
UniqueStream CreateForWriting(const char* path);

// Standard input without translation: CR LF stays, 0x1A ends nothing.
void SwitchStandardInputToBinary();

// Up to size bytes of standard input; 0 at its end or on a read error.
size_t ReadStandardInput(char* buffer, size_t size);

// REDMON_DOCNAME's bytes in the ANSI code page, cut to at most capacity - 1 bytes on a
// character boundary; empty when the variable is not set. Returns the length.
size_t ReadDocumentName(char* name, size_t capacity);

// Starts the program with WinExec in the normal show state; true when it started.
bool StartProgram(const char* commandLine);

} // namespace capture
