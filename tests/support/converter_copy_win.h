// A copy of the built Vellumcast.exe in a folder of its own (so that it has its own
// settings file, hand-off log and instance), started and watched from a test.
#pragma once

#include "base/win/handles_win.h"
#include "tests/support/test_support_win.h"

#include <windows.h>

namespace testing_support {

class ConverterCopy {
  public:
    explicit ConverterCopy(const ByteString& folderHint = "vcconv");
    ~ConverterCopy(); // ends a converter that is still running
    ConverterCopy(const ConverterCopy&) = delete;
    ConverterCopy& operator=(const ConverterCopy&) = delete;

    const TempDir& Dir() const { return dir_; }
    ByteString ExePath() const { return dir_ / "Vellumcast.exe"; }
    ByteString IniPath() const { return dir_ / "Vellumcast.ini"; }

    // Starts the copy with the arguments (none: the settings window) in the given show
    // state, from its own folder.
    void Start(const ByteString& arguments = "", WORD show = SW_SHOWNORMAL);
    DWORD ProcessId() const { return processId_; }
    bool Running() const;
    int WaitForExit(DWORD timeoutMs = 60000);

    // This process's windows, waited for: the main window, the hidden application window,
    // and a message box or common dialog with that caption.
    HWND MainWindow(DWORD timeoutMs = 30000) const;
    HWND ApplicationWindow(DWORD timeoutMs = 30000) const;
    HWND Dialog(const char* caption, DWORD timeoutMs = 30000) const;

    // Closes the settings window as its close button does and waits for the end.
    int CloseAndWait();

    // A key of the copy's settings file, "<missing>" when absent.
    ByteString Setting(const char* section, const char* key) const;

  private:
    TempDir dir_;
    win::UniqueProcess process_;
    DWORD processId_ = 0;
};

} // namespace testing_support
