// The completeness test of a PDF: a table of heads and tails.
#include "converter/job/pdf_check.h"

#include <gtest/gtest.h>

using job::IsCompletePdf;

TEST(IsCompletePdf, HeaderAndTrailerWithOnlyLineEndsAfterIt) {
    const struct {
        const char* label;
        ByteString head;
        ByteString tail;
        bool complete;
    } cases[] = {
        {"as Ghostscript ends it", "%PDF-", "...\nstartxref\n123\n%%EOF\n", true},
        {"no line end", "%PDF-", "%%EOF", true},
        {"CR LF and more line ends", "%PDF-", "x\r\n%%EOF\r\n\r\n\n", true},
        {"cut short", "%PDF-", "...\n/Length 4 >>\nstream\nab", false},
        {"empty file", "", "", false},
        {"no header", "%!PS-", "%%EOF\n", false},
        {"a blank after the trailer", "%PDF-", "%%EOF \n", false},
        {"trailer only half there", "%PDF-", "%%EO", false},
        {"header too short", "%PDF", "%%EOF", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(IsCompletePdf(c.head, c.tail), c.complete);
    }
}
