// The conversion run: one job file through Ghostscript to a stored PDF and its after-action.
#pragma once

#include "base/bytes.h"
#include "converter/job/naming.h"
#include "converter/settings/rw_ini.h"

#include <windows.h>

#include <optional>
#include <string>

namespace job {

// What the save dialog gave: a path, nothing (the user cancelled), or a failure of the
// dialog itself (CommDlgExtendedError's code), which is no answer of the user's.
struct SaveChoice {
    std::optional<ByteString> path;
    unsigned long failure = 0;
};

// What the progress window of a running conversion shows.
struct ConversionProgress {
    ByteString docName;
    ByteString pdfPath; // the file Ghostscript writes: its size is the measure of progress
    std::optional<int32_t> announcedPages; // the job's own "%%Pages:", when it has one
};

// What the run needs of the main window.
class ConversionHost {
  public:
    virtual ~ConversionHost() = default;
    // The main window: owner of the save dialog and of the RunSpecified shell start.
    virtual HWND OwnerWindow() const = 0;
    // Dispatches every pending window message and returns; a quit message is noted by
    // the application (it ends the message loop later), not acted on here.
    virtual void ProcessMessages() = 0;
    // Shows SaveDialog1 with the initial directory and file name.
    virtual SaveChoice ChooseSavePath(const ByteString& initialDirectory,
                                      const ByteString& fileName) = 0;
    // Ghostscript has started: a progress window appears after about a second (none for a
    // job that ends sooner) and stays until ConversionEnded, which comes before any other
    // window of the run.
    virtual void ConversionStarted(const ConversionProgress& progress) = 0;
    // Whether the user asked to stop the conversion; asked after each round of messages.
    virtual bool CancelRequested() const = 0;
    virtual void ConversionEnded() = 0;
    // A PDF was stored without the save dialog and the settings ask for a notice.
    virtual void NotifyStored(const ByteString& pdfPath) = 0;
};

struct ConversionInputs {
    ByteString jobFile;    // JobFile
    ByteString handOffLog; // where the document name of a handed-on job is read
    TAppSettings settings; // the fields the run reads
};

// ConvertJob's algorithm. A job handed on as "$$temp.ps" is first moved to a kept name of
// its own (nothing happens when no such file waits: another converter took it); a kept job
// ("$$kept-...ps", or any file with a ".name" beside it) is converted under the name kept
// beside it. Every failure raises an exception whose message says what happened and where
// the kept job or the PDF is: Ghostscript not found, EInOutError (converter directory),
// "Exec Error N" (Ghostscript not started), Ghostscript failed, ran past TimeLimit or was
// stopped by the user, a failed save dialog, a PDF that could not be stored. A job is deleted only
// once its PDF is complete; a PDF only when the user cancels the save dialog.
void RunConversion(const ConversionInputs& inputs, ConversionHost& host);

} // namespace job
