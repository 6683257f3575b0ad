// The job hand-off between capture and converter, on named kernel objects and kept names.
//
// Why: there is one job file "$$temp.ps" and one hand-off log "log.txt" per folder, and the
// converter's command line names only the job file. So the job file holds a job only for
// the instant of its hand-off:
//
//   1. The capture stores the stream under a kept name of its own ("$$kept-...ps", its
//      document name beside it in "$$kept-...name"), holding no lock: a long stream never
//      holds up another job.
//   2. It takes the folder's HandOffTurn (one hand-off at a time), then for an instant
//      JobFiles: an unconverted job file left there (a converter that crashed or was never
//      started) is moved to a kept name, never deleted; its own job is renamed to the job
//      file and the log written. Then it starts the converter and waits, bounded, for
//      JobTaken.
//   3. The converter takes JobFiles for an instant, moves the job file to a kept name of its
//      own (copying the log's line beside it) and sets JobTaken. From then on it works only
//      on names no other job uses, however long Ghostscript or a save dialog takes.
//   4. A capture whose converter does not take over in time moves its job aside itself.
//
// No wait ends by going ahead on files another process still uses, and no job file is ever
// deleted before a PDF was made from it.
#include "handoff/coordination_win.h"

#include "handoff/contract.h"
#include "handoff/data_folder_win.h"
#include "handoff/kept_names.h"

#include <cstring>

namespace handoff {

namespace {

// One namespace after the other: a process without the right to create global objects
// (SeCreateGlobalPrivilege) still coordinates with the others of its session.
constexpr Namespace kNamespaces[] = {Namespace::Global, Namespace::Session};

// Objects any user's process may use: a capture started for one user and a converter or
// capture of another share them (no DACL; the objects guard no data of their own).
struct OpenToAll {
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes;
    OpenToAll() : descriptor{}, attributes{} {
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
        attributes = {sizeof attributes, &descriptor, FALSE};
    }
};

// A portable copy's folder is shared by everyone who prints; an installed copy's data folder
// is one user's, and so are its objects: they get the creator's default access list, which
// gives no other user a way to hold them.
bool FolderSharedByUsers() {
    PathBuffer programs;
    return !ProgramFolder(programs) || !IsInstalledCopy(programs.text);
}

win::UniqueHandle CreateFolderObject(ObjectKind kind, const char* jobFilePath) {
    const PathBuffer folder = LongFolderOf(jobFilePath);
    OpenToAll openToAll;
    SECURITY_ATTRIBUTES* security = FolderSharedByUsers() ? &openToAll.attributes : nullptr;
    for (Namespace space : kNamespaces) {
        const ObjectName name = NameOf(kind, folder.text, space);
        HANDLE handle = kind == ObjectKind::JobTaken
                            ? CreateEventA(security, FALSE, FALSE, name.text)
                            : CreateMutexA(security, FALSE, name.text);
        if (handle)
            return win::UniqueHandle(handle);
    }
    return {};
}

bool WithExtension(const PathBuffer& stem, const char* extension, PathBuffer& path) {
    size_t length = 0;
    path.text[0] = '\0';
    return AppendToPath(path, length, stem.text) && AppendToPath(path, length, extension);
}

bool FileExistsAt(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES;
}

Stamp LocalStamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

bool LastWrite(const char* path, FILETIME& time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return false;
    time = data.ftLastWriteTime;
    return true;
}

// The log's bytes when it was written for the job file (not before it), up to capacity;
// 0 when it is missing, unreadable or older than the job.
size_t FreshLogBytes(const char* handOffLog, const char* jobFile, char* bytes, size_t capacity) {
    FILETIME logTime;
    FILETIME jobTime;
    if (!LastWrite(handOffLog, logTime) || !LastWrite(jobFile, jobTime) ||
        CompareFileTime(&logTime, &jobTime) < 0)
        return 0;
    win::UniqueFile log(CreateFileA(handOffLog, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD got = 0;
    if (!log || !ReadFile(log.get(), bytes, DWORD(capacity), &got, nullptr))
        return 0;
    return got;
}

} // namespace

bool IsJobFilePresent(const char* jobFile) {
    const DWORD attributes = GetFileAttributesA(jobFile);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

PathBuffer LongFolderOf(const char* jobFilePath) {
    PathBuffer folder{};
    const size_t length = DirectoryPartLength(jobFilePath);
    if (length >= sizeof folder.text)
        return folder;
    std::memcpy(folder.text, jobFilePath, length);
    folder.text[length] = '\0';
    PathBuffer expanded{};
    const DWORD size = GetLongPathNameA(folder.text, expanded.text, sizeof expanded.text);
    if (size > 0 && size < sizeof expanded.text)
        return expanded;
    return folder;
}

HeldMutex::~HeldMutex() {
    if (mutex_)
        ReleaseMutex(mutex_.get());
}

HeldMutex AcquireFolderMutex(ObjectKind kind, const char* jobFilePath, MessagePump* pump) {
    win::UniqueHandle mutex = CreateFolderObject(kind, jobFilePath);
    if (!mutex)
        return {};
    const HANDLE handle = mutex.get();
    // A free lock is taken without touching the message queue.
    const DWORD free = WaitForSingleObject(handle, 0);
    if (free == WAIT_OBJECT_0 || free == WAIT_ABANDONED_0)
        return HeldMutex(std::move(mutex));
    for (;;) {
        const DWORD woken = pump ? MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT,
                                                               MWMO_INPUTAVAILABLE)
                                 : WaitForSingleObject(handle, INFINITE);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_ABANDONED_0)
            return HeldMutex(std::move(mutex));
        if (pump && woken == WAIT_OBJECT_0 + 1) {
            pump->DispatchPending();
            continue;
        }
        return {};
    }
}

TakenSignal::TakenSignal(const char* jobFilePath)
    : event_(CreateFolderObject(ObjectKind::JobTaken, jobFilePath)) {
    // The event outlives hand-offs while any process holds it: a signal in it now belongs
    // to an earlier one.
    if (event_)
        ResetEvent(event_.get());
}

bool TakenSignal::Wait(DWORD timeoutMs) const {
    return event_ && WaitForSingleObject(event_.get(), timeoutMs) == WAIT_OBJECT_0;
}

void SignalTaken(const char* jobFilePath) {
    const PathBuffer folder = LongFolderOf(jobFilePath);
    for (Namespace space : kNamespaces) {
        win::UniqueHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE,
                                           NameOf(ObjectKind::JobTaken, folder.text, space).text));
        if (event) {
            SetEvent(event.get());
            return;
        }
    }
}

bool ReserveKeptStem(const char* folderPrefix, const char* nameContent, size_t contentLength,
                     PathBuffer& stem) {
    const Stamp stamp = LocalStamp();
    char stemName[64];
    for (unsigned n = 1; n <= 10000; ++n) {
        size_t length = 0;
        stem.text[0] = '\0';
        PathBuffer job;
        PathBuffer pdf;
        PathBuffer name;
        if (!FormatKeptStem(kKeptJobPrefix, stamp, n, stemName, sizeof stemName) ||
            !AppendToPath(stem, length, folderPrefix) || !AppendToPath(stem, length, stemName) ||
            !WithExtension(stem, kKeptJobExtension, job) ||
            !WithExtension(stem, kPdfExtension, pdf) ||
            !WithExtension(stem, kKeptNameExtension, name))
            return false;
        if (FileExistsAt(job.text) || FileExistsAt(pdf.text))
            continue;
        // Creating the ".name" anew is the reservation: of two processes choosing the same
        // stem at once, only one creates it.
        win::UniqueFile file(CreateFileA(name.text, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(file.get(), nameContent, DWORD(contentLength), &written, nullptr) ||
            written != contentLength) {
            file.reset();
            DeleteFileA(name.text);
            return false;
        }
        return true;
    }
    return false;
}

bool SetAsideJobFile(const char* jobFile, const char* handOffLog, PathBuffer& kept) {
    if (!IsJobFilePresent(jobFile))
        return false;
    char line[kHandOffLineCapacity * 2];
    size_t lineLength = FreshLogBytes(handOffLog, jobFile, line, sizeof line);
    if (lineLength == 0) {
        lineLength = std::strlen(kDocNameMarker);
        std::memcpy(line, kDocNameMarker, lineLength);
        line[lineLength++] = '\r';
        line[lineLength++] = '\n';
    }
    const size_t folderLength = DirectoryPartLength(jobFile);
    PathBuffer folder{};
    if (folderLength >= sizeof folder.text)
        return false;
    std::memcpy(folder.text, jobFile, folderLength);
    PathBuffer stem{};
    if (!ReserveKeptStem(folder.text, line, lineLength, stem) ||
        !WithExtension(stem, kKeptJobExtension, kept))
        return false;
    if (MoveFileA(jobFile, kept.text))
        return true;
    PathBuffer name;
    if (WithExtension(stem, kKeptNameExtension, name))
        DeleteFileA(name.text);
    return false;
}

} // namespace handoff
