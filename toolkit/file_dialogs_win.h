// The open- and save-file common dialogs as owned components (OpenDialog1 and SaveDialog1
// of the main window). Both fill the dialog's request one way and share one filter rule.
#pragma once

#include "base/bytes.h"
#include "toolkit/component_win.h"

#include <windows.h>

#include <optional>

// What the two dialogs have in common.
class TFileDialog : public TComponent {
  public:
    ByteString Title;      // the caption; empty: the platform's own
    ByteString Filter;     // "description|pattern|..."; a lone text is both
    ByteString DefaultExt; // appended to a name typed without one; a leading "." is allowed
    ByteString InitialDir; // where the dialog opens; empty: the platform's choice
    DWORD Options;         // OFN_* flags
    // Before a showing: the name the dialog starts with. After a confirmed showing: the
    // chosen file's full path (with several chosen, the first one the dialog lists).
    ByteString FileName;
    // After a showing that was not confirmed: 0 when the user cancelled, else the dialog's
    // own failure (CommDlgExtendedError), which is no answer of the user's.
    DWORD LastFailure = 0;

  protected:
    TFileDialog(TComponent* owner, DWORD options) : TComponent(owner), Options(options) {}

    enum class Kind { Open, Save };
    // Shows the dialog modally over owner; true when the user confirmed (FileName then
    // holds the choice), false when it was cancelled or failed (FileName unchanged).
    bool Show(Kind kind, HWND owner);
};

class TOpenDialog : public TFileDialog {
  public:
    explicit TOpenDialog(TComponent* owner)
        : TFileDialog(owner, OFN_HIDEREADONLY | OFN_ENABLESIZING) {}

    // Over the owner's window.
    bool Execute() { return Show(Kind::Open, Owner() ? Owner()->WindowHandle() : nullptr); }
};

// The properties a window's description fixes for its save dialog.
struct TSaveDialogProperties {
    ByteString DefaultExt;        // appended, without its ".", to a name typed without one
    ByteString Filter;            // "description|pattern|..."; a lone text is both
    bool OverwritePrompt = false; // confirm before an existing file is chosen
    bool EnableSizing = false;    // the dialog can be resized
};

// SaveDialog1: PDF files, confirmation before replacing one, resizable; no title of its own.
inline const TSaveDialogProperties kPdfSaveDialog{"pdf", "*.pdf", true, true};

class TSaveDialog : public TFileDialog {
  public:
    explicit TSaveDialog(TComponent* owner, const TSaveDialogProperties& properties = {});

    bool Execute(HWND owner) { return Show(Kind::Save, owner); }
};

// What a save dialog gave: the chosen path; or nothing, with failure 0 when the user
// cancelled and the dialog's error code when it failed.
struct SavePathChoice {
    std::optional<ByteString> path;
    DWORD failure = 0;
};

// Sets the initial directory and file name, shows the dialog and returns what it gave.
SavePathChoice ChooseSavePath(TSaveDialog& dialog, HWND owner, const ByteString& initialDirectory,
                              const ByteString& fileName);
