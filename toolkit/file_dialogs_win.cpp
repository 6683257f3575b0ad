// The file dialogs on the common dialog library (GetOpenFileNameA, GetSaveFileNameA).
#include "toolkit/file_dialogs_win.h"

#include "toolkit/file_dialog_text.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {
// Room for a selection of many files (the names follow the folder, separated by zeros).
constexpr size_t kMinimumFileBuffer = 64 * 1024;

DWORD SaveOptions(const TSaveDialogProperties& properties) {
    DWORD options = OFN_EXPLORER;
    if (properties.OverwritePrompt)
        options |= OFN_OVERWRITEPROMPT;
    if (properties.EnableSizing)
        options |= OFN_ENABLESIZING;
    return options;
}
} // namespace

bool TFileDialog::Show(Kind kind, HWND owner) {
    // Room for any path the dialog may return, and never less than the initial name.
    std::vector<char> file(std::max(kMinimumFileBuffer, FileName.size() + 1), '\0');
    std::copy(FileName.begin(), FileName.end(), file.begin());
    const ByteString filter = toolkit::CommonDialogFilter(Filter);
    // The dialog wants the extension without its dot.
    const ByteString defaultExt =
        !DefaultExt.empty() && DefaultExt.front() == '.' ? DefaultExt.substr(1) : DefaultExt;
    const auto textOrNull = [](const ByteString& text) {
        return text.empty() ? nullptr : text.c_str();
    };

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = textOrNull(filter);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = textOrNull(InitialDir);
    dialog.lpstrTitle = textOrNull(Title);
    dialog.lpstrDefExt = textOrNull(defaultExt);
    dialog.Flags = Options;

    const BOOL confirmed =
        kind == Kind::Open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    LastFailure = confirmed ? 0 : CommDlgExtendedError();
    if (!confirmed)
        return false;
    // A zero before the first name means several files ("folder\0name\0...\0\0"); else
    // the path ends at its first zero, whatever of the initial name lies behind it.
    const bool severalFiles = dialog.nFileOffset > 0 && file[dialog.nFileOffset - 1] == '\0';
    FileName = severalFiles ? toolkit::FirstSelectedFile(ByteString(file.data(), file.size()))
                            : ByteString(file.data());
    return true;
}

TSaveDialog::TSaveDialog(TComponent* owner, const TSaveDialogProperties& properties)
    : TFileDialog(owner, SaveOptions(properties)) {
    DefaultExt = properties.DefaultExt;
    Filter = properties.Filter;
}

SavePathChoice ChooseSavePath(TSaveDialog& dialog, HWND owner, const ByteString& initialDirectory,
                              const ByteString& fileName) {
    dialog.InitialDir = initialDirectory;
    dialog.FileName = fileName;
    if (!dialog.Execute(owner))
        return {std::nullopt, dialog.LastFailure};
    return {dialog.FileName, 0};
}
