// TIniFile on the private-profile services: each call reads or writes one key of the file.
#include "converter/settings/ini_file.h"

#include "base/errors.h"

#include <windows.h>

namespace {
// Text values come back through a buffer of this size, so at most 2047 bytes of a key.
constexpr DWORD kValueBufferSize = 2048;
} // namespace

ByteString TIniFile::ReadString(const char* section, const char* key,
                                const ByteString& defaultValue) const {
    char buffer[kValueBufferSize];
    const DWORD length = GetPrivateProfileStringA(section, key, defaultValue.c_str(), buffer,
                                                  kValueBufferSize, FileName().c_str());
    return ByteString(buffer, length);
}

void TIniFile::WriteString(const char* section, const char* key, const ByteString& value) {
    if (!WritePrivateProfileStringA(section, key, value.c_str(), FileName().c_str()))
        throw Exception(FileName() + " に書き込めません");
}

void TIniFile::DeleteKey(const char* section, const char* key) {
    if (GetFileAttributesA(FileName().c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    if (!WritePrivateProfileStringA(section, key, nullptr, FileName().c_str()))
        throw Exception(FileName() + " に書き込めません");
}
