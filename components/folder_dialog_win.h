// Unit FolderDialog: the shell's browse-for-folder dialog over the owner window, showing
// the highlighted folder's path in its status line and preselecting the last choice.
#pragma once

#include "base/bytes.h"
#include "toolkit/component_win.h"

#include <windows.h>

class TFolderDialog : public TComponent {
  public:
    // The owner must be a window: its WindowHandle() becomes the dialog's parent.
    explicit TFolderDialog(TComponent* owner);

    // Shows the dialog modally. True when the user confirmed a folder; Directory then
    // holds its path (unchanged when the choice has no file-system path). False when the
    // user cancelled or the shell gave no allocator; Directory is left as it was.
    bool Execute();

    // The dialog's callback; data is the picker. Always returns 0.
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data);

    ByteString Title;     // instruction text above the folder tree
    ByteString Directory; // the folder chosen last; before a showing, the one to preselect
};
