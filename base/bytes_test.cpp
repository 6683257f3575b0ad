// The ASCII-caseless comparison: letters fold, nothing else does, double-byte characters
// never (the window search and device names rely on it).
#include "base/bytes.h"

#include <gtest/gtest.h>

#include <string>

TEST(SameTextAsciiCaseless, FoldsAsciiLettersOnly) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"TApplication", "TApplication", true},
        {"TApplication", "tapplication", true},
        {"TApplication", "TAPPLICATION", true},
        {"TApplication", "TApplicatio", false},   // shorter
        {"TApplication", "TApplications", false}, // longer
        {"TApplication", "TApp1ication", false},
        {"", "", true},
        {"a", "", false},
        {"Vellumcast", "VELLUMCAST", true},
        {"[x]", "{X}", false}, // [ and { differ by the case bit but are not letters
        {"a@z", "A`Z", false}, // @ and ` likewise
        {"ver_1", "VER_1", true},
        {"\xE9t\xE9", "\xC9T\xC9", false}, // no locale: accented letters are not folded
        {"表示", "表示", true},            // 95 5C 8E A6
        {"表示", "表・", false},
        {"アプリa", "アプリA", true}, // the single-byte letter after them still folds
        {"ア", "ヂ", false},          // 83 41 and 83 61: a trail byte is not a letter
        {"ソフト", "ｿﾌﾄ", false},     // full-width and half-width katakana
        {"表", "\x95", false},        // a lead byte alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(SameTextAsciiCaseless(c.a, c.b), c.same);
        EXPECT_EQ(SameTextAsciiCaseless(c.b, c.a), c.same);
    }
}
