// Naming the PDF and building Ghostscript's command line: the pure pieces of the
// conversion run, portable so that they also run natively under sanitizers and fuzzers.
#pragma once

#include "base/bytes.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace job {

// Dots per inch by ResolutionIndex; empty outside the table.
ByteString ResolutionText(int32_t resolutionIndex);

// The document name with every single-byte character that a Windows file name cannot hold
// (and every control byte) replaced by "_"; double-byte characters are kept whole.
ByteString SanitizeDocName(const ByteString& docName);

ByteString Timestamp(const std::tm& localTime); // 2026年12月06日22時52分02秒

// A file name that Windows would open as a device (CON, NUL, COM1, LPT1.txt ...) with "_"
// after the device word, so that it names a real file; any other name unchanged.
ByteString AvoidDeviceName(const ByteString& fileName);

// Ghostscript reads "%" in an output file name as a page-number template; "%%" is a "%".
ByteString EscapePercent(const ByteString& path);

// The PDF beside the job file: the cleaned document name with the extension ".pdf", or
// "prn_data(<timestamp>).pdf" for a job without a name.
ByteString OutputPath(const ByteString& jobPath, const ByteString& docName,
                      const std::tm& localTime);

// gswin32c's command line: program name, pdfwrite, resolution, output file, job file, and
// after the job DocInfoArguments(title).
ByteString GhostscriptCommandLine(const ByteString& converterPath, const ByteString& resolutionText,
                                  const ByteString& outputPath, const ByteString& jobPath,
                                  const std::u16string& title);

// PostScript run after the job that sets the PDF's Title to title (UTF-16BE with a
// byte-order mark, as a hex string: no quote or blank can reach the command line) and its
// Creator to our program; empty for an empty title, so that Ghostscript's own stay.
ByteString DocInfoArguments(const std::u16string& title);

// The longest path the ANSI calls take (MAX_PATH less the terminating zero), and the room
// kept free for the "(n)" that MakeUniqueName may add.
constexpr size_t kMaxPathLength = 259;
constexpr size_t kUniqueSuffixRoom = 8;
// The longest file name a Windows folder holds (counted here in bytes, which is stricter).
constexpr size_t kMaxFileNameLength = 255;

// The file name with its part before the extension cut at a character boundary, so that a
// folder path of folderLength bytes, the name and kUniqueSuffixRoom fit within
// kMaxPathLength, and the name within kMaxFileNameLength. The extension stays whole; at
// least one character of the name is kept, even when the folder leaves no room for it.
ByteString FitFileName(const ByteString& fileName, size_t folderLength);

using ExistsPredicate = std::function<bool(const ByteString& path)>;

// The path itself when no file of that name exists, else the first free "name(n).ext".
ByteString MakeUniqueName(const ByteString& path, const ExistsPredicate& fileExists);

// Where automatic storing puts the PDF: DataFolder (one "\" added when it has none) and the
// name part of the output path, made unique by MakeUniqueName.
ByteString StoragePath(const ByteString& dataFolder, const ByteString& outputPath,
                       const ExistsPredicate& fileExists);

} // namespace job
