// Fuzzes the integer read rule against an independent reading of its grammar: optional
// blanks, then a sign and decimal digits within 32 bits, or "$", "x", "X", "0x", "0X" and at
// most 32 significant bits of hexadecimal digits. For every input, a value comes back
// exactly when the text has that form, and it is the number the text writes.
#include "converter/settings/ini_integer.h"
#include "tests/support/fuzz_property.h"

#include <cstdint>
#include <optional>

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digit's value, or -1 for no hexadecimal digit.
int HexValue(char c) {
    const size_t at = ByteString("0123456789abcdef0123456789ABCDEF").find(c);
    return at == ByteString::npos ? -1 : int(at % 16);
}

// Digits without their leading zeros ("0" for none left).
ByteString Significant(const ByteString& digits) {
    const size_t first = digits.find_first_not_of('0');
    return first == ByteString::npos ? "0" : digits.substr(first);
}

std::optional<int32_t> Reference(const ByteString& text) {
    size_t at = text.find_first_not_of(' ');
    if (at == ByteString::npos)
        return std::nullopt;
    const ByteString rest = text.substr(at);
    size_t prefix = 0;
    if (rest.rfind("0x", 0) == 0 || rest.rfind("0X", 0) == 0)
        prefix = 2;
    else if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')
        prefix = 1;
    if (prefix > 0) {
        const ByteString digits = rest.substr(prefix);
        if (digits.empty())
            return std::nullopt;
        for (char c : digits) {
            if (HexValue(c) < 0)
                return std::nullopt;
        }
        const ByteString significant = Significant(digits);
        if (significant.size() > 8)
            return std::nullopt;
        uint32_t pattern = 0;
        for (char c : significant)
            pattern = pattern * 16 + uint32_t(HexValue(c));
        return int32_t(pattern);
    }
    const bool negative = rest[0] == '-';
    const ByteString digits = (rest[0] == '-' || rest[0] == '+') ? rest.substr(1) : rest;
    if (digits.empty())
        return std::nullopt;
    for (char c : digits) {
        if (!IsDigit(c))
            return std::nullopt;
    }
    // Compared as digit strings, so the oracle needs no wider arithmetic.
    const ByteString significant = Significant(digits);
    const ByteString limit = negative ? "2147483648" : "2147483647";
    if (significant.size() > limit.size() ||
        (significant.size() == limit.size() && significant > limit))
        return std::nullopt;
    int64_t magnitude = 0;
    for (char c : significant)
        magnitude = magnitude * 10 + (c - '0');
    return int32_t(negative ? -magnitude : magnitude);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ByteString text(reinterpret_cast<const char*>(data), size);
    const std::optional<int32_t> value = ParseIniInteger(text);
    FUZZ_PROPERTY(value == Reference(text));
    FUZZ_PROPERTY(IniIntegerFromText(text, 12345) == value.value_or(12345));
    return 0;
}
