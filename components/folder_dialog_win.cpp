// The folder picker on the shell's browse-for-folder dialog.
#include "components/folder_dialog_win.h"

#include "base/win/files_win.h"
#include "components/shell_memory_win.h"

#include <shlobj.h>

namespace {
constexpr UINT kFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT; // 5
constexpr size_t kStatusBytes = 512;

void ShowStatus(HWND dialog, const char* text) {
    SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text));
}
} // namespace

TFolderDialog::TFolderDialog(TComponent* owner) : TComponent(owner), Title("フォルダーの選択") {}

bool TFolderDialog::Execute() {
    // Without the shell's allocator nothing can be shown or freed: report a cancel.
    const components::ShellAllocator allocator;
    if (!allocator)
        return false;
    const components::ShellBlock buffer(allocator, MAX_PATH);
    if (!buffer)
        return false;

    // No item list of My Computer is asked for: it would not become the dialog's root,
    // and its only effect would be one more way for the showing to fail.
    BROWSEINFOA info{};
    info.hwndOwner = Owner() ? Owner()->WindowHandle() : nullptr;
    info.pidlRoot = nullptr; // the whole namespace, from the desktop down
    info.pszDisplayName = buffer.As<char>();
    info.lpszTitle = Title.c_str();
    info.ulFlags = kFlags;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    const components::ShellBlock chosen(allocator.get(), SHBrowseForFolderA(&info));
    if (!chosen)
        return false; // cancelled
    if (SHGetPathFromIDListA(chosen.As<ITEMIDLIST>(), buffer.As<char>()))
        Directory = buffer.As<char>();
    return true;
}

int CALLBACK TFolderDialog::BrowseCallback(HWND window, UINT message, LPARAM parameter,
                                           LPARAM data) {
    const auto& picker = *reinterpret_cast<const TFolderDialog*>(data);
    char status[kStatusBytes] = {};
    if (message == BFFM_INITIALIZED) {
        // The line is cleared before the preselection: selecting the folder notifies a
        // selection change at once, which shows its path, and clearing afterwards would
        // leave the preselected folder without it.
        ShowStatus(window, status);
        if (win::DirectoryExists(picker.Directory))
            SendMessageA(window, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(picker.Directory.c_str()));
        return 0;
    }
    if (message == BFFM_SELCHANGED &&
        !SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(parameter), status))
        status[0] = '\0'; // an item without a file-system path shows an empty line
    ShowStatus(window, status);
    return 0;
}
