// What the Windows-bound tests share: a temporary folder that cleans up after itself,
// small file helpers, and the paths of the build's programs as Windows paths.
#pragma once

#include "base/bytes.h"

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    explicit TempDir(const ByteString& nameHint = "vc");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const ByteString& Path() const { return path_; } // no trailing "\"
    ByteString operator/(const ByteString& name) const { return path_ + "\\" + name; }

  private:
    ByteString path_;
};

// An installed copy's data folder of this prefix's user, "%LOCALAPPDATA%\Vellumcast": what
// is there is set aside for the test's duration and put back afterwards; whatever the test
// made there is removed.
class UsersDataFolder {
  public:
    UsersDataFolder();
    ~UsersDataFolder();
    UsersDataFolder(const UsersDataFolder&) = delete;
    UsersDataFolder& operator=(const UsersDataFolder&) = delete;

    const ByteString& Path() const { return path_; } // no trailing "\"
    ByteString operator/(const ByteString& name) const { return path_ + "\\" + name; }

  private:
    ByteString path_;
    ByteString aside_;
};

void WriteFileBytes(const ByteString& path, const ByteString& bytes);
ByteString ReadFileBytes(const ByteString& path); // throws std::runtime_error when missing
bool Exists(const ByteString& path);
void MakeDirectory(const ByteString& path);
void RemoveTree(const ByteString& path);
std::vector<ByteString> ListDirectory(const ByteString& path); // names, without . and ..

// A file of the build tree, as a Windows path (the build directory comes from the
// VELLUMCAST_BUILD_DIR variable that CTest sets; under Wine "/x/y" becomes "Z:\x\y").
ByteString BuildFile(const ByteString& relativePath);

// Unix path of a Windows path under Wine (for handing files to host tools), or empty.
ByteString UnixPathOf(const ByteString& windowsPath);

// A command line split the way the platform splits it for a program (CommandLineToArgvW).
std::vector<ByteString> PlatformCommandLineArguments(const ByteString& commandLine);

// Runs a program of the host (the Unix side under Wine) and waits for it: its exit status,
// or -1 when not under Wine. The arguments go to it as they are.
int RunHostProgram(std::vector<std::string> args);

// Runs a command line (no shell) and returns its exit code; -1 when it cannot start.
int RunProcess(const ByteString& commandLine, const ByteString& currentDirectory = "",
               DWORD timeoutMs = 120000);

} // namespace testing_support
