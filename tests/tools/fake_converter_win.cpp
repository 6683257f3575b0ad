// A stand-in for Vellumcast.exe in the capture's tests: it takes the job over as the real
// converter does (the job file moves to a kept name with the line of the log beside it: both
// in the data folder), waits a
// while (FAKE_CONVERTER_DELAY_MS, so that jobs overlap), then copies the kept job to
// "<name>.out" beside itself, with the document name kept beside the job, records how it
// was started in "<name>.cmdline" (the raw command line) and "<name>.args" (each argument
// and a LF), and deletes the kept job. With FAKE_CONVERTER_DISCARD set it only deletes the job file
// (for the capture benchmark, whose jobs are too big to copy).
#include "base/win/files_win.h"
#include "base/win/handles_win.h"
#include "handoff/contract.h"
#include "handoff/coordination_win.h"
#include "handoff/handoff_line.h"
#include "base/path_parts.h"

#include <windows.h>

#include <cstdlib>

namespace {

ByteString ReadAll(const ByteString& path) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ByteString bytes;
    if (!file)
        return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

void WriteAll(const ByteString& path, const ByteString& bytes) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2)
        return 2;
    const ByteString jobFile = __argv[1];
    const ByteString directory = ExtractFilePath(win::ModuleFileName());

    handoff::PathBuffer kept{};
    {
        const handoff::HeldMutex files =
            handoff::AcquireFolderMutex(handoff::ObjectKind::JobFiles, jobFile.c_str(), nullptr);
        if (!win::FileExists(jobFile) ||
            !handoff::SetAsideJobFile(jobFile.c_str(),
                                      (ExtractFilePath(jobFile) + handoff::kHandOffLogName).c_str(),
                                      kept))
            return 3;
        handoff::SignalTaken(jobFile.c_str());
    }
    const ByteString keptJob = kept.text;
    const ByteString keptName = ChangeFileExt(keptJob, handoff::kKeptNameExtension);
    if (const auto delay = win::EnvironmentVariable("FAKE_CONVERTER_DELAY_MS"))
        Sleep(DWORD(std::atoi(delay->c_str())));

    if (win::EnvironmentVariable("FAKE_CONVERTER_DISCARD")) {
        DeleteFileA(keptJob.c_str());
        DeleteFileA(keptName.c_str());
        return 0;
    }
    ByteString name = handoff::DocNameFromLogText(ReadAll(keptName));
    if (name.empty())
        name = "unnamed";
    ByteString arguments;
    for (int i = 1; i < __argc; ++i)
        arguments += ByteString(__argv[i]) + "\n";
    WriteAll(directory + name + ".cmdline", GetCommandLineA());
    WriteAll(directory + name + ".args", arguments);
    WriteAll(directory + name + ".out", ReadAll(keptJob));
    DeleteFileA(keptJob.c_str());
    DeleteFileA(keptName.c_str());
    return 0;
}
