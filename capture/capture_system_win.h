// The platform calls of the capture program: files through the C runtime's streams,
// standard input, the environment and the converter's start (the folders it works in come
// from handoff/data_folder_win.h).
#pragma once

#include "capture/fixed_text.h"

#include <windows.h>

#include <cstdio>
#include <memory>

namespace capture {

// Paths as the ANSI calls take them.
using PathText = FixedText<MAX_PATH>;

struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using UniqueStream = std::unique_ptr<std::FILE, StreamCloser>;

// Creates a new file for writing bytes untranslated; none on failure, and none when any
// entry of that name exists: a file, or a link or junction planted there, is never opened.
UniqueStream CreateNewForWriting(const char* path);

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
