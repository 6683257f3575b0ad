// Choosing an installed Ghostscript (pure logic).
#include "converter/job/ghostscript_versions.h"

#include "base/path_parts.h"

#include <algorithm>

namespace job {

namespace {

// The next dot-separated part from position at; a number, or -1 when the part is not one.
long long NextPart(const ByteString& version, size_t& at) {
    const size_t end = std::min(version.find('.', at), version.size());
    const ByteString part = version.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != ByteString::npos)
        return -1;
    return std::stoll(part);
}

} // namespace

int CompareGhostscriptVersions(const ByteString& a, const ByteString& b) {
    size_t atA = 0;
    size_t atB = 0;
    while (atA < a.size() || atB < b.size()) {
        const long long partA = atA < a.size() ? NextPart(a, atA) : 0;
        const long long partB = atB < b.size() ? NextPart(b, atB) : 0;
        if (partA != partB)
            return partA < partB ? -1 : 1;
    }
    return 0;
}

std::vector<ByteString> ConsoleProgramsBeside(const ByteString& dllPath) {
    const ByteString folder = ExtractFilePath(dllPath);
    const bool wide = SameTextAsciiCaseless(ExtractFileName(dllPath), "gsdll64.dll");
    if (wide)
        return {folder + "gswin64c.exe", folder + "gswin32c.exe"};
    return {folder + "gswin32c.exe", folder + "gswin64c.exe"};
}

std::optional<ByteString> PickGhostscript(const std::vector<GhostscriptInstall>& installs,
                                          const std::function<bool(const ByteString&)>& exists) {
    std::vector<GhostscriptInstall> byVersion = installs;
    std::stable_sort(byVersion.begin(), byVersion.end(),
                     [](const GhostscriptInstall& x, const GhostscriptInstall& y) {
                         return CompareGhostscriptVersions(x.version, y.version) > 0;
                     });
    for (const GhostscriptInstall& install : byVersion) {
        if (install.dll.empty())
            continue;
        for (const ByteString& program : ConsoleProgramsBeside(install.dll)) {
            if (exists(program))
                return program;
        }
    }
    return std::nullopt;
}

} // namespace job
