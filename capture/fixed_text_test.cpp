// The capture's fixed buffers: appending never overflows, cuts keep characters whole.
#include "capture/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct BoundaryCase {
    const char* label;
    std::string text;
    size_t limit;
    size_t expected;
};

TEST(CharBoundaryWithin, CutsBeforeADoubleByteCharacterThatWouldNotFit) {
    const BoundaryCase cases[] = {
        {"empty", "", 5, 0},
        {"nothing allowed", "abc", 0, 0},
        {"single bytes", "abcdef", 4, 4},
        {"shorter than the limit", "abc", 10, 3},
        {"表 fits whole", "表ソ", 4, 4},
        {"表 would be split", "表ソ", 3, 2},
        {"ソ after one byte would be split", "aソ", 2, 1},
        {"ソ after one byte fits", "aソ", 3, 3},
        {"trail bytes that look like ASCII", "アイ", 3, 2}, // 83 41 83 43
        {"single-byte katakana", "ｱｲｳｴ", 3, 3},
        {"lead byte at the very end counts alone", std::string("ab\x95", 3), 3, 3},
    };
    for (const BoundaryCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(CharBoundaryWithin(c.text.data(), c.text.size(), c.limit), c.expected);
    }
}

TEST(FixedText, AppendsWholePiecesOrNothing) {
    FixedText<8> text;
    EXPECT_TRUE(text.Append("abc"));
    EXPECT_TRUE(text.Append("defg"));
    EXPECT_STREQ(text.c_str(), "abcdefg");
    EXPECT_FALSE(text.Append("h")); // no room for it and the terminating zero
    EXPECT_STREQ(text.c_str(), "abcdefg");
    EXPECT_EQ(text.size(), 7u);

    FixedText<4> small;
    EXPECT_FALSE(small.Append("abcd"));
    EXPECT_STREQ(small.c_str(), "");
    EXPECT_TRUE(small.Append(std::string("a\0b", 3).data(), 3));
    EXPECT_EQ(small.size(), 3u);

    FixedText<16> joined;
    EXPECT_TRUE(joined.Append(text));
    EXPECT_TRUE(joined.Append(text));
    EXPECT_STREQ(joined.c_str(), "abcdefgabcdefg");
}

} // namespace
