// The completeness test of a PDF (pure logic).
#include "converter/job/pdf_check.h"

namespace job {

bool IsCompletePdf(const ByteString& head, const ByteString& tail) {
    static const ByteString kHeader = "%PDF-";
    static const ByteString kTrailer = "%%EOF";
    if (head.compare(0, kHeader.size(), kHeader) != 0 || head.size() < kHeader.size())
        return false;
    size_t end = tail.size();
    while (end > 0 && (tail[end - 1] == '\r' || tail[end - 1] == '\n'))
        --end;
    return end >= kTrailer.size() &&
           tail.compare(end - kTrailer.size(), kTrailer.size(), kTrailer) == 0;
}

} // namespace job
