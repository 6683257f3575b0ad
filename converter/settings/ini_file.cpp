// The integer forms of the INI file accessor, built on its text forms (portable).
#include "converter/settings/ini_file.h"

#include "converter/settings/ini_integer.h"

#include <cstdio>

int32_t TCustomIniFile::ReadInteger(const char* section, const char* key,
                                    int32_t defaultValue) const {
    return IniIntegerFromText(ReadString(section, key, ByteString()), defaultValue);
}

void TCustomIniFile::WriteInteger(const char* section, const char* key, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    WriteString(section, key, text);
}
