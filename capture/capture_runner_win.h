// Starting Spoolwick.exe as the printer port does: a pipe on its standard input, the
// document name in REDMON_DOCNAME (or the variable unset), no console.
#pragma once

#include "base/bytes.h"
#include "base/win/handles_win.h"

#include <windows.h>

#include <optional>

namespace capture {

class RunningCapture {
  public:
    // keepReadEnd: keep a copy of the pipe's read end, so that UnreadBytes can tell what the
    // program left unread (writes then never fail, so feed it only what the pipe buffers).
    RunningCapture(const ByteString& executable, const std::optional<ByteString>& documentName,
                   const ByteString& currentDirectory, bool keepReadEnd = false);

    // Writes the bytes in one piece, or in pieces of 1 to pieceSize bytes with short pauses.
    void Feed(const ByteString& bytes, size_t pieceSize = 0);
    void CloseInput();

    // The exit code, or -2 when the program is still running after the bound.
    int Wait(DWORD timeoutMs = 180000);
    DWORD UnreadBytes() const;

  private:
    win::UniqueHandle input_;
    win::UniqueHandle readEnd_;
    win::UniqueProcess process_;
};

// Runs one capture to its end: the exit code.
int RunCapture(const ByteString& executable, const ByteString& stream,
               const std::optional<ByteString>& documentName, const ByteString& currentDirectory,
               size_t pieceSize = 0);

} // namespace capture
