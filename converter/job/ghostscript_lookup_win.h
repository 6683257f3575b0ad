// Finding an installed Ghostscript the way its Windows installer records it in the registry.
#pragma once

#include "base/bytes.h"

#include <optional>

namespace job {

// HKLM\SOFTWARE\GPL Ghostscript\<version>, value GS_DLL, in both registry views: the
// console program beside the DLL of the highest version whose program exists.
std::optional<ByteString> RegisteredGhostscript();

// The console program to run: ConverterPath when it names an existing file, else the
// registered one; nothing when neither exists.
std::optional<ByteString> ResolveGhostscript(const ByteString& converterPath);

} // namespace job
