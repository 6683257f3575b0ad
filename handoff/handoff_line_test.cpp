// The hand-off line both ways: what the capture writes, and which document name a log
// text yields.
#include "handoff/handoff_line.h"

#include "handoff/contract.h"

#include <gtest/gtest.h>

TEST(HandOffLog, DocumentNameFollowsTheLineRules) {
    struct Case {
        const char* what;
        ByteString text;
        ByteString name;
    };
    const Case cases[] = {
        {"CR LF", "REDMON_DOCNAME=Report.doc\r\n", "Report.doc"},
        {"no line end", "REDMON_DOCNAME=Report.doc", "Report.doc"},
        {"CR CR LF", "REDMON_DOCNAME=Report.doc\r\r\n", "Report.doc"},
        {"CR alone", "REDMON_DOCNAME=Report.doc\rnext", "Report.doc"},
        {"empty name", "REDMON_DOCNAME=\r\n", ""},
        {"empty log", "", ""},
        {"no marker", "some text\r\nmore text\r\n", ""},
        {"lower-case marker", "redmon_docname=Report.doc\r\n", ""},
        {"marker split by a line end", "REDMON_\r\nDOCNAME=Report.doc\r\n", ""},
        {"text before the marker, on the second line",
         "first line\r\nabcREDMON_DOCNAME=Report.doc\r\n", "Report.doc"},
        {"first marker line decides", "REDMON_DOCNAME=one\r\nREDMON_DOCNAME=two\r\n", "one"},
        {"marker twice on a line", "REDMON_DOCNAME=aREDMON_DOCNAME=b\r\n", "aREDMON_DOCNAME=b"},
        {"lone LF runs on", "REDMON_DOCNAME=Report.doc\nnext line\nlast\r\nafter",
         "Report.doc\nnext line\nlast"},
        {"LF after the CR belongs to the line end only once", "x\r\n\nREDMON_DOCNAME=n\r\n", "n"},
        {"Ctrl+Z cuts the name",
         "REDMON_DOCNAME=Rep\x1A"
         "ort.doc\r\n",
         "Rep"},
        {"Ctrl+Z ends the text", "other\r\n\x1AREDMON_DOCNAME=x\r\n", ""},
        {"trailing blanks kept", "REDMON_DOCNAME=Report.doc  \r\n", "Report.doc  "},
        {"leading blanks kept", "REDMON_DOCNAME= a b\r\n", " a b"},
        {"Japanese name", "REDMON_DOCNAME=報告書 表ソ.doc\r\n", "報告書 表ソ.doc"},
        {"zero byte is data", ByteString("REDMON_DOCNAME=a\0b\r\n", 20), ByteString("a\0b", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(handoff::DocNameFromLogText(c.text), c.name);
    }
}

TEST(HandOffLine, WrittenWholeOrNotAtAllAndReadBackUnchanged) {
    struct Case {
        const char* what;
        ByteString name;
        size_t capacity;
        bool fits;
    };
    const ByteString longest(handoff::kDocumentNameCapacity - 1, 'x');
    const Case cases[] = {
        {"empty name", "", 260, true},
        {"Japanese name with 0x5C and 0x7C trail bytes", "表ソポ.doc", 260, true},
        {"longest name that fits the capture's buffer", longest, 260, true},
        {"one byte too long", longest + "x", 260, false},
        {"exactly the marker, CR LF and the zero", "", 18, true},
        {"no room for the zero", "", 17, false},
        {"no room at all", "name", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ByteString line(c.capacity + 1, '#');
        const size_t length =
            handoff::FormatHandOffLine(c.name.data(), c.name.size(), line.data(), c.capacity);
        EXPECT_EQ(line.back(), '#') << "wrote past the capacity";
        if (!c.fits) {
            EXPECT_EQ(length, 0u);
            if (c.capacity > 0) {
                EXPECT_EQ(line[0], '\0');
            }
            continue;
        }
        ASSERT_EQ(length, 15 + c.name.size() + 2);
        EXPECT_EQ(line.substr(0, length), "REDMON_DOCNAME=" + c.name + "\r\n");
        EXPECT_EQ(line[length], '\0');
        EXPECT_EQ(handoff::DocNameFromLogText(line.substr(0, length)), c.name);
    }
}
