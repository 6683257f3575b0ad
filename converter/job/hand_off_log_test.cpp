// The hand-off log's line rules: which document name a log text yields.
#include "converter/job/intake.h"

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
        EXPECT_EQ(DocNameFromLogText(c.text), c.name);
    }
}
