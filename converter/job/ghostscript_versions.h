// Choosing an installed Ghostscript among those its installer registered (pure logic): the
// version order of the registry's key names and the console program beside the DLL.
#pragma once

#include "base/bytes.h"

#include <functional>
#include <optional>
#include <vector>

namespace job {

// Orders Ghostscript's version key names ("9.56.1" < "10.02.1" < "10.3"): dot-separated
// numbers compared as numbers, left to right, a missing number counting as 0; a part that
// is not a number sorts before every number. Negative, 0 or positive.
int CompareGhostscriptVersions(const ByteString& a, const ByteString& b);

// One registered installation: its version key name and its GS_DLL value.
struct GhostscriptInstall {
    ByteString version;
    ByteString dll;
};

// The console programs that may lie beside the DLL, the one of the DLL's own width first
// (gsdll64.dll: gswin64c.exe, then gswin32c.exe; otherwise the other way round).
std::vector<ByteString> ConsoleProgramsBeside(const ByteString& dllPath);

// The console program of the highest version whose program exists; nothing when none does.
std::optional<ByteString> PickGhostscript(const std::vector<GhostscriptInstall>& installs,
                                          const std::function<bool(const ByteString&)>& exists);

} // namespace job
