// The conversion run: one job file through Ghostscript to a stored PDF and its after-action.
#pragma once

#include "base/bytes.h"
#include "converter/settings/rw_ini.h"

#include <windows.h>

#include <ctime>
#include <optional>
#include <string>

// What the run needs of the main window.
class ConversionHost {
  public:
    virtual ~ConversionHost() = default;
    // The main window, owner of the save dialog and of the RunSpecified shell start.
    virtual HWND WindowHandle() const = 0;
    // Dispatches every pending window message and returns; a quit message is noted by
    // the application (it ends the message loop later), not acted on here.
    virtual void ProcessMessages() = 0;
    // Shows SaveDialog1 with the initial directory and file name; the chosen path, or
    // nothing when the user does not accept it.
    virtual std::optional<ByteString> ChooseSavePath(const ByteString& initialDirectory,
                                                     const ByteString& fileName) = 0;
};

struct ConversionInputs {
    ByteString jobFile;    // JobFile
    ByteString handOffLog; // where ReadDocName looks
    TAppSettings settings; // the fields the run reads
};

// ConvertJob's algorithm. Raises EInOutError (log unreadable, converter directory),
// Exception "Exec Error N" (Ghostscript not started), Exception when Ghostscript failed
// (the job file is kept, no PDF is left) and Exception when automatic storing has no
// existing DataFolder (the PDF is kept where Ghostscript wrote it).
void RunConversion(const ConversionInputs& inputs, ConversionHost& host);

// The pure pieces of the run.
ByteString ResolutionText(int32_t resolutionIndex);
ByteString SanitizeDocName(const ByteString& docName);
ByteString Timestamp(const std::tm& localTime); // 2026年12月06日22時52分02秒
ByteString OutputPath(const ByteString& jobPath, const ByteString& docName,
                      const std::tm& localTime);
// The command line ends with DocInfoArguments(title) after the job.
ByteString GhostscriptCommandLine(const ByteString& converterPath, const ByteString& resolutionText,
                                  const ByteString& outputPath, const ByteString& jobPath,
                                  const std::u16string& title);

// PostScript run after the job that sets the PDF's Title to title (UTF-16BE with a
// byte-order mark, as a hex string: no quote or blank can reach the command line) and its
// Creator to our program; empty for an empty title, so that Ghostscript's own stay.
ByteString DocInfoArguments(const std::u16string& title);

// A file name that Windows would open as a device (CON, NUL, COM1, LPT1.txt ...) with "_"
// after the device word, so that it names a real file; any other name unchanged.
ByteString AvoidDeviceName(const ByteString& fileName);

// Where automatic storing puts the PDF: DataFolder (one "\" added when it has none) and the
// name part of the output path, made unique by MakeUniqueName.
ByteString StoragePath(const ByteString& dataFolder, const ByteString& outputPath);

// The path itself when no file of that name exists, else the first free "name(n).ext".
ByteString MakeUniqueName(const ByteString& path);
