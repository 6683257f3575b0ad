// The conversion run: one job file through Ghostscript to a stored PDF and its after-action.
#pragma once

#include "base/bytes.h"
#include "converter/job/naming.h"
#include "converter/settings/rw_ini.h"

#include <windows.h>

#include <optional>
#include <string>

namespace job {

// What the run needs of the main window.
class ConversionHost {
  public:
    virtual ~ConversionHost() = default;
    // The main window: owner of the save dialog and of the RunSpecified shell start.
    virtual HWND OwnerWindow() const = 0;
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

} // namespace job
