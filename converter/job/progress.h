// What the progress window of a conversion says: the page count the job announces in its
// DSC comments, and the lines of figures (portable).
#pragma once

#include "base/bytes.h"

#include <cstdint>
#include <optional>

namespace job {

// How many bytes of the job's start and end AnnouncedPages looks at.
constexpr size_t kDscScanBytes = 64 * 1024;

// The page count the job announces: the first "%%Pages: N" of its head, or, when the head
// defers it ("%%Pages: (atend)"), the last "%%Pages: N" of its tail. Nothing when the job
// announces no count (or 0, or no number). head and tail are the job's first and last
// kDscScanBytes (the same bytes twice for a small job). Ghostscript itself reports nothing
// per page for PostScript input, so this is the only page figure there is.
std::optional<int32_t> AnnouncedPages(const ByteString& head, const ByteString& tail);

// "経過時間 0:07", "経過時間 12:34", "経過時間 1:02:03".
ByteString ElapsedText(uint64_t seconds);

// The measure of how far Ghostscript is: the bytes it has written to the PDF so far, with
// the job's page count when it announces one: "全 348 ページ ・ 1,234 KB 作成済み".
ByteString ProgressText(uint64_t pdfBytes, std::optional<int32_t> announcedPages);

} // namespace job
