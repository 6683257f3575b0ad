// The settings file's integer read rule (pure logic).
#pragma once

#include "base/bytes.h"

#include <cstdint>
#include <optional>

// The conversion of a key's text to a signed 32-bit integer: decimal with an optional sign,
// or hexadecimal after "$", "x", "X", "0x", "0X"; nothing when the text is malformed.
std::optional<int32_t> ParseIniInteger(const ByteString& text);

// The integer read rule: a leading "0x" or "0X" of a text longer than two characters
// becomes "$", then the text is converted; defaultValue when that fails.
int32_t IniIntegerFromText(ByteString text, int32_t defaultValue);
