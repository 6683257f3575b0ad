// CaptureJob, top to bottom: the stream goes to a kept name of its own first, and becomes
// the job file only for the instant of the hand-off (see handoff/coordination_win.cpp).
#include "capture/capture_job.h"

#include "capture/capture_system_win.h"
#include "handoff/coordination_win.h"
#include "handoff/data_folder_win.h"
#include "handoff/handoff_line.h"

namespace capture {

static_assert(kPathCapacity == MAX_PATH, "the capture's paths are ANSI paths");

namespace {

bool JoinPath(const char* folder, const char* name, PathText& path) {
    return path.Append(folder) && path.Append(name);
}

// "<program folder><converter>" "<job file>"
bool BuildCommandLine(const char* programFolder, const PathText& jobFile,
                      FixedText<kCommandLineCapacity>& commandLine) {
    return commandLine.Append("\"") && commandLine.Append(programFolder) &&
           commandLine.Append(kConverterFileName) && commandLine.Append("\" \"") &&
           commandLine.Append(jobFile) && commandLine.Append("\"");
}

// Every byte of standard input into job; false when a write fell short (a full disk).
bool CopyStandardInput(std::FILE* job) {
    char block[kCopyBlockSize];
    for (;;) {
        const size_t got = ReadStandardInput(block, sizeof block);
        if (got == 0)
            return true;
        if (std::fwrite(block, 1, got, job) != got)
            return false;
    }
}

// The hand-off log anew. A log that cannot be replaced (read-only, held open by another
// program) does not stop the job: the converter then names the PDF by date and time.
void WriteHandOffLog(const PathText& handOffLog, const char* line, size_t length) {
    DeleteFileA(handOffLog.c_str());
    UniqueStream log = CreateNewForWriting(handOffLog.c_str());
    if (!log)
        return;
    std::fwrite(line, 1, length, log.get());
}

} // namespace

int CaptureJob() {
    // The converter beside this program; the job in the data folder, beside the programs
    // in a portable copy and in the printing user's own folder in an installed one.
    handoff::PathBuffer programs;
    handoff::PathBuffer data;
    PathText jobFile;
    PathText handOffLog;
    FixedText<kCommandLineCapacity> commandLine;
    if (!handoff::ProgramFolder(programs) ||
        handoff::FindDataFolder(data) != handoff::DataFolderProblem::None ||
        !JoinPath(data.text, kJobFileName, jobFile) ||
        !JoinPath(data.text, handoff::kHandOffLogName, handOffLog) ||
        !BuildCommandLine(programs.text, jobFile, commandLine))
        return kNotStoredWhole;

    char documentName[handoff::kDocumentNameCapacity];
    const size_t documentNameLength = ReadDocumentName(documentName, sizeof documentName);
    char handOffLine[handoff::kHandOffLineCapacity];
    const size_t handOffLineLength = handoff::FormatHandOffLine(documentName, documentNameLength,
                                                                handOffLine, sizeof handOffLine);

    // 1. The stream under a kept name of its own, its document name beside it; no lock.
    handoff::PathBuffer stem;
    if (!handoff::ReserveKeptStem(data.text, handOffLine, handOffLineLength, stem))
        return kNotStoredWhole;
    PathText keptJob;
    PathText keptName;
    if (!keptJob.Append(stem.text) || !keptJob.Append(handoff::kKeptJobExtension) ||
        !keptName.Append(stem.text) || !keptName.Append(handoff::kKeptNameExtension))
        return kNotStoredWhole;
    {
        UniqueStream job = CreateNewForWriting(keptJob.c_str());
        if (!job)
            return kNotStoredWhole;
        SwitchStandardInputToBinary();
        const bool copied = CopyStandardInput(job.get());
        // A failed close can lose the last buffered bytes as surely as a failed write.
        if (!copied | (std::fclose(job.release()) != 0))
            return kNotStoredWhole;
    }

    // 2. The hand-off, one at a time in the folder.
    const handoff::HeldMutex turn =
        handoff::AcquireFolderMutex(handoff::ObjectKind::HandOffTurn, jobFile.c_str(), nullptr);
    const handoff::TakenSignal taken(jobFile.c_str());
    {
        const handoff::HeldMutex files =
            handoff::AcquireFolderMutex(handoff::ObjectKind::JobFiles, jobFile.c_str(), nullptr);
        // A job file still here was never taken over: it is kept, not replaced.
        handoff::PathBuffer setAside;
        if (handoff::IsJobFilePresent(jobFile.c_str()))
            handoff::SetAsideJobFile(jobFile.c_str(), handOffLog.c_str(), setAside);
        if (!MoveFileA(keptJob.c_str(), jobFile.c_str()))
            return kNotHandedOn;
        DeleteFileA(keptName.c_str());
        WriteHandOffLog(handOffLog, handOffLine, handOffLineLength);
    }

    // 3. The converter; once it has moved the job file to a name of its own, we are done.
    // A converter that cannot be started leaves the job file for the next print to keep.
    if (!StartProgram(commandLine.c_str()))
        return kNotHandedOn;
    if (taken.Wait(handoff::kTakeOverWaitMs))
        return kHandedOn;
    const handoff::HeldMutex files =
        handoff::AcquireFolderMutex(handoff::ObjectKind::JobFiles, jobFile.c_str(), nullptr);
    handoff::PathBuffer setAside;
    if (handoff::IsJobFilePresent(jobFile.c_str()))
        handoff::SetAsideJobFile(jobFile.c_str(), handOffLog.c_str(), setAside);
    return kConverterNotTaken;
}

} // namespace capture
