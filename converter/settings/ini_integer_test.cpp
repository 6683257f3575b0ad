// The integer read rule of the settings file: which texts convert, to what.
#include "converter/settings/ini_integer.h"

#include <gtest/gtest.h>

#include <climits>

TEST(IniInteger, ConvertsDecimalAndHexadecimalFormsOnly) {
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-20", -20},
        {"+5", 5},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$A", 10},
        {"$ff", 255},
        {"x10", 16},
        {"X1f", 31},
        {"0x6", 6},
        {"0X1F", 31},
        {"$7FFFFFFF", INT_MAX},
        {"$FFFFFFFF", -1},
        {"$80000000", INT_MIN},
        {"$000000001", 1}, // leading zeros are not significant bits
        {"$100000000", std::nullopt},
        {"0x123456789", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"x", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"6dpi", std::nullopt},
        {"-0x1", std::nullopt},
        {"-$10", std::nullopt},
        {"+$10", std::nullopt},
        {"$G", std::nullopt},
        {"0x-1", std::nullopt},
        {"   12", 12},
        {"  $1F", 31},
        {"12 ", std::nullopt},
        {" ", std::nullopt},
        {"\t12", std::nullopt},
        {"1 2", std::nullopt},
        {"１２", std::nullopt}, // full-width digits are not digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ByteString("text \"") + c.text + "\"");
        EXPECT_EQ(ParseIniInteger(c.text), c.value);
    }
}

TEST(IniInteger, ReadRuleFallsBackToTheKeysDefault) {
    EXPECT_EQ(IniIntegerFromText("0x6", 3), 6);
    EXPECT_EQ(IniIntegerFromText("0X10", 3), 16);
    EXPECT_EQ(IniIntegerFromText("0x", 3), 3);
    EXPECT_EQ(IniIntegerFromText("6dpi", 3), 3);
    EXPECT_EQ(IniIntegerFromText("", -7), -7);
    EXPECT_EQ(IniIntegerFromText("0", 3), 0);
}
