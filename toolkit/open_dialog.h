// The open-file common dialog as an owned component of a form.
#pragma once

#include "base/bytes.h"
#include "toolkit/component.h"

#include <windows.h>

class TOpenDialog : public TComponent {
  public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

    ByteString Title;
    // Entries "description|pattern|description|pattern...".
    ByteString Filter;
    // Appended when the user types a name without extension; a leading "." is allowed.
    ByteString DefaultExt;
    // OFN_* flags.
    DWORD Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;
    // Before a showing: the name the dialog starts with. After a confirmed showing: the
    // full path of the chosen file (with several chosen, the first one the dialog lists).
    ByteString FileName;

    // Shows the dialog modally over the owner's window; true when the user confirmed.
    bool Execute();
};

// The parts of a multi-selection result "folder\0name\0name\0\0", or of a single full path
// "path\0\0": the full path of the first file named.
ByteString FirstSelectedFile(const ByteString& buffer);
