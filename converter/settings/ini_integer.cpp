// The conversion of an INI key's text to a signed 32-bit integer (pure logic).
#include "converter/settings/ini_integer.h"

namespace {
bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Longest prefix first, so that "0x" is not taken for the decimal digit 0.
constexpr const char* kHexPrefixes[] = {"0x", "0X", "$", "x", "X"};

std::optional<int32_t> ParseDecimal(const ByteString& text, size_t at) {
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at == text.size())
        return std::nullopt;
    // Magnitude limit: 2147483648 is allowed only as the magnitude of a negative number.
    const int64_t limit = negative ? int64_t(2147483648) : int64_t(2147483647);
    int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (!IsDecimalDigit(text[at]))
            return std::nullopt;
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return int32_t(negative ? -magnitude : magnitude);
}

std::optional<int32_t> ParseHexDigits(const ByteString& text, size_t at) {
    if (at == text.size())
        return std::nullopt;
    uint64_t pattern = 0;
    for (; at < text.size(); ++at) {
        const int digit = HexDigitValue(text[at]);
        if (digit < 0)
            return std::nullopt;
        pattern = pattern * 16 + uint64_t(digit);
        if (pattern > 0xFFFFFFFFu) // more than 32 significant bits
            return std::nullopt;
    }
    // The 32-bit pattern read as a two's-complement number: $FFFFFFFF is -1.
    return int32_t(uint32_t(pattern));
}
} // namespace

std::optional<int32_t> ParseIniInteger(const ByteString& text) {
    size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    for (const char* prefix : kHexPrefixes) {
        if (text.compare(at, ByteString::traits_type::length(prefix), prefix) == 0)
            return ParseHexDigits(text, at + ByteString::traits_type::length(prefix));
    }
    return ParseDecimal(text, at);
}

int32_t IniIntegerFromText(ByteString text, int32_t defaultValue) {
    // The rule's first step; the conversion accepts "0x" too, so the result is the same
    // either way, but the step keeps the text in the form the rule converts.
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.replace(0, 2, "$");
    return ParseIniInteger(text).value_or(defaultValue);
}
