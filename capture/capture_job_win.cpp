// CaptureJob, top to bottom. It takes its turn in the directory before it touches the job
// file, so that a converter still working on the previous job keeps its files.
#include "capture/capture_job.h"

#include "capture/capture_system_win.h"
#include "handoff/coordination_win.h"
#include "handoff/handoff_line.h"

namespace capture {

static_assert(kPathCapacity == MAX_PATH, "the capture's paths are ANSI paths");

namespace {

bool JoinPath(const PathText& prefix, const char* name, PathText& path) {
    return path.Append(prefix) && path.Append(name);
}

// "<prefix><converter>" "<job file>"
bool BuildCommandLine(const PathText& prefix, const PathText& jobFile,
                      FixedText<kCommandLineCapacity>& commandLine) {
    return commandLine.Append("\"") && commandLine.Append(prefix) &&
           commandLine.Append(kConverterFileName) && commandLine.Append("\" \"") &&
           commandLine.Append(jobFile) && commandLine.Append("\"");
}

void CopyStandardInput(std::FILE* job) {
    char block[kCopyBlockSize];
    for (;;) {
        const size_t got = ReadStandardInput(block, sizeof block);
        if (got == 0)
            return;
        std::fwrite(block, 1, got, job);
    }
}

} // namespace

void CaptureJob() {
    PathText prefix;
    PathText jobFile;
    PathText handOffLog;
    FixedText<kCommandLineCapacity> commandLine;
    if (!ModuleDirectoryPrefix(prefix) || !JoinPath(prefix, kJobFileName, jobFile) ||
        !JoinPath(prefix, handoff::kHandOffLogName, handOffLog) ||
        !BuildCommandLine(prefix, jobFile, commandLine))
        return;

    handoff::CaptureTurn turn(jobFile.c_str());

    DeleteFileA(jobFile.c_str()); // missing is the usual case
    UniqueStream job = CreateForWriting(jobFile.c_str());
    if (!job)
        return;
    SwitchStandardInputToBinary();
    CopyStandardInput(job.get());
    job.reset();

    DeleteFileA(handOffLog.c_str());
    char documentName[handoff::kDocumentNameCapacity];
    const size_t documentNameLength = ReadDocumentName(documentName, sizeof documentName);
    char handOffLine[handoff::kHandOffLineCapacity];
    const size_t handOffLineLength = handoff::FormatHandOffLine(documentName, documentNameLength,
                                                                handOffLine, sizeof handOffLine);

    UniqueStream log = CreateForWriting(handOffLog.c_str());
    if (!log)
        return;
    std::fwrite(handOffLine, 1, handOffLineLength, log.get());
    log.reset();

    turn.HandOver(StartProgram(commandLine.c_str()));
}

} // namespace capture
