// The save-file common dialog as an owned component (SaveDialog1 of the main window).
#pragma once

#include "base/bytes.h"
#include "toolkit/component.h"

#include <windows.h>

#include <optional>

// The properties a window's description fixes for its save dialog.
struct TSaveDialogProperties {
    ByteString DefaultExt;        // appended, without its ".", to a name typed without one
    ByteString Filter;            // "description|pattern|..."; a lone text is both
    bool OverwritePrompt = false; // confirm before an existing file is chosen
    bool EnableSizing = false;    // the dialog can be resized
};

// SaveDialog1: PDF files, confirmation before replacing one, resizable; no title of its own.
inline const TSaveDialogProperties kPdfSaveDialog{"pdf", "*.pdf", true, true};

class TSaveDialog : public TComponent {
  public:
    explicit TSaveDialog(TComponent* owner, TSaveDialogProperties properties = {});

    TSaveDialogProperties Properties;
    ByteString InitialDir; // where the dialog opens; empty: the platform's choice
    ByteString FileName;   // the name shown at first; after acceptance, the chosen path

    // Shows the dialog modally over owner. True when the user accepted a file name (then in
    // FileName); false when the dialog was cancelled or failed (FileName unchanged).
    bool Execute(HWND owner);
};

// Sets the initial directory and file name, shows the dialog and returns the chosen path,
// or nothing when it was not accepted.
std::optional<ByteString> ChooseSavePath(TSaveDialog& dialog, HWND owner,
                                         const ByteString& initialDirectory,
                                         const ByteString& fileName);

// The filter text as the common dialog takes it: pairs of NUL-ended texts and a final NUL.
// A description without a pattern (such as the lone "*.pdf") serves as its own pattern.
ByteString CommonDialogFilter(const ByteString& filter);
