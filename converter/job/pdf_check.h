// Whether a file Ghostscript wrote is a whole PDF (pure logic on its first and last bytes).
#pragma once

#include "base/bytes.h"

namespace job {

// How many bytes of each end IsCompletePdf needs.
constexpr size_t kPdfHeadBytes = 5;
constexpr size_t kPdfTailBytes = 1024;

// head: the file's first bytes; tail: its last bytes (up to kPdfTailBytes; for a short
// file the whole file in both). True when it starts with "%PDF-" and ends with "%%EOF",
// followed by nothing but line ends (CR and LF).
bool IsCompletePdf(const ByteString& head, const ByteString& tail);

} // namespace job
