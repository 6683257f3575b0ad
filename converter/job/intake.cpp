// Job intake: the job file's long path, component by component, and the document name
// from the hand-off log in the data folder.
#include "converter/job/intake.h"

#include "base/path_parts.h"
#include "base/win/files_win.h"
#include "converter/job/intake_win.h"
#include "handoff/contract.h"
#include "handoff/data_folder_win.h"
#include "handoff/handoff_line.h"

namespace job {

namespace {
// The directory the path lies in: up to its last "\" or ":", without that "\" unless it
// follows ":" or another "\" (C:\a\b gives C:\a, C:\a gives C:\).
ByteString ParentDirectory(const ByteString& path) {
    const size_t delimiter = FindLastOf(path, "\\:");
    if (delimiter == ByteString::npos)
        return ByteString();
    const bool keepsSeparator = path[delimiter] == ':' || delimiter == 0 ||
                                FindLastOf(path.substr(0, delimiter), "\\:") == delimiter - 1;
    return path.substr(0, keepsSeparator ? delimiter + 1 : delimiter);
}

// What joins the expanded parent to the entry's name: "\" where the path has one before
// the name, nothing for a bare relative name or a drive-relative one such as C:name.
ByteString SeparatorBeforeName(const ByteString& path) {
    const size_t delimiter = FindLastOf(path, "\\:");
    return (delimiter != ByteString::npos && path[delimiter] == '\\') ? "\\" : "";
}
} // namespace

ByteString ExpandLongPath(const ByteString& path) {
    if (path.empty())
        return path;
    ByteString result = path;
    if (EndsWithBackslash(result))
        result.pop_back();
    if (result.size() == 2 && result[1] == ':')
        return result; // a bare drive has no directory entry of its own
    const auto entry = win::FindEntry(result);
    if (!entry)
        return result;
    return ExpandLongPath(ParentDirectory(result)) + SeparatorBeforeName(result) + entry->cFileName;
}

ByteString HandOffLogPath() {
    handoff::PathBuffer data;
    if (handoff::FindDataFolder(data) != handoff::DataFolderProblem::None)
        return ByteString();
    return ByteString(data.text) + handoff::kHandOffLogName;
}

ByteString ReadDocNameFrom(const ByteString& logPath) {
    if (!win::FileExists(logPath))
        return ByteString();
    return handoff::DocNameFromLogText(ReadSharedForReading(logPath));
}

} // namespace job
