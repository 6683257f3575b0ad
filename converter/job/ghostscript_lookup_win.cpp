// Ghostscript's registry entries on the Windows API (both the 32- and the 64-bit view).
#include "converter/job/ghostscript_lookup_win.h"

#include "base/win/files_win.h"
#include "converter/job/ghostscript_versions.h"

#include <windows.h>

#include <vector>

namespace job {

namespace {

constexpr char kGhostscriptKey[] = "SOFTWARE\\GPL Ghostscript";
constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

struct KeyCloser {
    HKEY key = nullptr;
    ~KeyCloser() {
        if (key)
            RegCloseKey(key);
    }
};

ByteString ReadGsDll(HKEY parent, const char* version, REGSAM view) {
    KeyCloser key;
    if (RegOpenKeyExA(parent, version, 0, KEY_QUERY_VALUE | view, &key.key) != ERROR_SUCCESS)
        return {};
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.key, "GS_DLL", nullptr, &type, reinterpret_cast<BYTE*>(value),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    return ByteString(value);
}

void CollectView(REGSAM view, std::vector<GhostscriptInstall>& installs) {
    KeyCloser root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGhostscriptKey, 0,
                      KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view, &root.key) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        char version[256];
        DWORD length = sizeof version;
        if (RegEnumKeyExA(root.key, index, version, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return;
        installs.push_back({version, ReadGsDll(root.key, version, view)});
    }
}

} // namespace

std::optional<ByteString> RegisteredGhostscript() {
    std::vector<GhostscriptInstall> installs;
    for (REGSAM view : kViews)
        CollectView(view, installs);
    return PickGhostscript(installs, win::FileExists);
}

std::optional<ByteString> ResolveGhostscript(const ByteString& converterPath) {
    if (win::FileExists(converterPath))
        return converterPath;
    return RegisteredGhostscript();
}

} // namespace job
