// The converter's document name (ANSI bytes) as UTF-16 for the PDF's Title, on the
// Windows API.
#pragma once

#include "base/bytes.h"

#include <string>

namespace title_text {

// The name decoded with the system's ANSI code page (Shift-JIS on the target systems).
std::u16string FromAnsi(const ByteString& name);

} // namespace title_text
