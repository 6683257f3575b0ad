// Starts Spoolwick.exe with a pipe on its standard input and its own environment block.
#include "capture/capture_runner_win.h"

#include "base/win/text_win.h"
#include "handoff/contract.h"

#include <stdexcept>
#include <vector>

namespace capture {

namespace {

// This process's environment without REDMON_DOCNAME, plus the given value: a wide block
// (an ANSI block would go through the same lossy path as the ANSI environment calls).
std::vector<wchar_t> EnvironmentBlock(const std::optional<ByteString>& documentName) {
    static const std::wstring kName = win::WideFromAnsi(handoff::kDocNameVariable) + L"=";
    std::vector<wchar_t> block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
        if (_wcsnicmp(entry, kName.c_str(), kName.size()) != 0)
            block.insert(block.end(), entry, entry + wcslen(entry) + 1);
    }
    FreeEnvironmentStringsW(strings);
    if (documentName) {
        const std::wstring entry = kName + win::WideFromAnsi(*documentName);
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

} // namespace

RunningCapture::RunningCapture(const ByteString& executable,
                               const std::optional<ByteString>& documentName,
                               const ByteString& currentDirectory, bool keepReadEnd) {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, nullptr, 0))
        throw std::runtime_error("CreatePipe failed");
    readEnd_.reset(read);
    input_.reset(write);

    // Only this child may inherit the read end: a write end inherited by another capture
    // would keep this one's input open for ever.
    HANDLE inheritable = nullptr;
    DuplicateHandle(GetCurrentProcess(), read, GetCurrentProcess(), &inheritable, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    win::UniqueHandle childInput(inheritable);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput.get();
    PROCESS_INFORMATION info{};
    ByteString commandLine = "\"" + executable + "\"";
    std::vector<wchar_t> environment = EnvironmentBlock(documentName);
    if (!CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(),
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup,
                        &info))
        throw std::runtime_error("cannot start " + executable);
    process_ = win::UniqueProcess(info);
    if (!keepReadEnd)
        readEnd_.reset();
}

void RunningCapture::Feed(const ByteString& bytes, size_t pieceSize) {
    size_t offset = 0;
    for (size_t piece = 0; offset < bytes.size(); ++piece) {
        const size_t size = pieceSize == 0 ? bytes.size() : 1 + piece % pieceSize;
        const DWORD length = DWORD(std::min(size, bytes.size() - offset));
        DWORD written = 0;
        if (!WriteFile(input_.get(), bytes.data() + offset, length, &written, nullptr))
            return; // the program has gone; what it did with the rest is the test's question
        offset += written;
        if (pieceSize != 0 && piece % 16 == 0)
            Sleep(1);
    }
}

void RunningCapture::CloseInput() {
    input_.reset();
}

int RunningCapture::Wait(DWORD timeoutMs) {
    CloseInput();
    if (WaitForSingleObject(process_.process.get(), timeoutMs) != WAIT_OBJECT_0)
        return -2;
    DWORD code = 0;
    GetExitCodeProcess(process_.process.get(), &code);
    return int(code);
}

DWORD RunningCapture::UnreadBytes() const {
    DWORD available = 0;
    if (!readEnd_ || !PeekNamedPipe(readEnd_.get(), nullptr, 0, nullptr, &available, nullptr))
        return 0;
    return available;
}

int RunCapture(const ByteString& executable, const ByteString& stream,
               const std::optional<ByteString>& documentName, const ByteString& currentDirectory,
               size_t pieceSize) {
    RunningCapture capture(executable, documentName, currentDirectory);
    capture.Feed(stream, pieceSize);
    return capture.Wait();
}

} // namespace capture
