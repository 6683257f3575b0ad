// A stand-in for Vellumcast.exe in the capture's tests: it takes the job over as the real
// converter does, waits a while (FAKE_CONVERTER_DELAY_MS, so that a capture that did not
// wait for it would replace its files), then copies the job file to "<name>.out" beside
// itself, with the document name from the hand-off log, records how it was started in
// "<name>.cmdline" (the raw command line) and "<name>.args" (each argument and a LF), and
// deletes the job file. With FAKE_CONVERTER_DISCARD set it only deletes the job file (for
// the capture benchmark, whose jobs are too big to copy).
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

    const handoff::JobLease lease = handoff::TakeOverJob(jobFile);
    if (const auto delay = win::EnvironmentVariable("FAKE_CONVERTER_DELAY_MS"))
        Sleep(DWORD(std::atoi(delay->c_str())));

    if (win::EnvironmentVariable("FAKE_CONVERTER_DISCARD")) {
        DeleteFileA(jobFile.c_str());
        return 0;
    }
    ByteString name = handoff::DocNameFromLogText(ReadAll(directory + handoff::kHandOffLogName));
    if (name.empty())
        name = "unnamed";
    ByteString arguments;
    for (int i = 1; i < __argc; ++i)
        arguments += ByteString(__argv[i]) + "\n";
    WriteAll(directory + name + ".cmdline", GetCommandLineA());
    WriteAll(directory + name + ".args", arguments);
    WriteAll(directory + name + ".out", ReadAll(jobFile));
    DeleteFileA(jobFile.c_str());
    return 0;
}
