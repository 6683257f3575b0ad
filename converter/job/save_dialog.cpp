// The save-file common dialog on GetSaveFileNameA.
#include "converter/job/save_dialog.h"

#include "base/path_parts.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

TSaveDialog::TSaveDialog(TComponent* owner, TSaveDialogProperties properties)
    : TComponent(owner), Properties(std::move(properties)) {}

bool TSaveDialog::Execute(HWND owner) {
    // Room for any path the dialog may return, and never less than the initial name.
    std::vector<char> fileBuffer(std::max<size_t>(32768, FileName.size() + 1), '\0');
    std::copy(FileName.begin(), FileName.end(), fileBuffer.begin());
    const ByteString filter = CommonDialogFilter(Properties.Filter);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileBuffer.data();
    dialog.nMaxFile = static_cast<DWORD>(fileBuffer.size());
    dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    dialog.lpstrDefExt = Properties.DefaultExt.empty() ? nullptr : Properties.DefaultExt.c_str();
    dialog.Flags = OFN_EXPLORER;
    if (Properties.OverwritePrompt)
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (Properties.EnableSizing)
        dialog.Flags |= OFN_ENABLESIZING;

    if (!GetSaveFileNameA(&dialog))
        return false;
    FileName = fileBuffer.data();
    return true;
}

std::optional<ByteString> ChooseSavePath(TSaveDialog& dialog, HWND owner,
                                         const ByteString& initialDirectory,
                                         const ByteString& fileName) {
    dialog.InitialDir = initialDirectory;
    dialog.FileName = fileName;
    if (!dialog.Execute(owner))
        return std::nullopt;
    return dialog.FileName;
}

ByteString CommonDialogFilter(const ByteString& filter) {
    if (filter.empty())
        return ByteString();
    std::vector<ByteString> parts;
    for (size_t start = 0;;) {
        const size_t bar = FindChar(filter, '|', start);
        parts.push_back(
            filter.substr(start, bar == ByteString::npos ? ByteString::npos : bar - start));
        if (bar == ByteString::npos)
            break;
        start = bar + 1;
    }
    if (parts.size() % 2 == 1)
        parts.push_back(parts.back());
    ByteString result;
    for (const ByteString& part : parts) {
        result += part;
        result += '\0';
    }
    return result + '\0';
}
