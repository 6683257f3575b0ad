// Vellumcast Monitor: formatting log lines.
#include "monitor/log_line.h"

#include <cstdio>

namespace log_line {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Calls emit for each code point of text; a lone surrogate gives U+FFFD.
template <typename Emit> void ForEachCodePoint(const std::u16string& text, Emit emit) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            emit(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            emit(0xFFFD);
        } else {
            emit(unit);
        }
    }
}

bool IsControl(char32_t c) {
    // C0, DEL, C1, and the Unicode line and paragraph separators.
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

std::string Stamp(const Time& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

} // namespace

std::string Utf8(const std::u16string& text) {
    std::string out;
    ForEachCodePoint(text, [&out](char32_t c) { AppendUtf8(out, c); });
    return out;
}

std::string QuotedName(const std::u16string& text) {
    std::string out = "\"";
    ForEachCodePoint(text, [&out](char32_t c) {
        if (c == U'"' || c == U'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (IsControl(c)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, c < 0x100 ? "\\x%02X" : "\\u%04X",
                          static_cast<unsigned>(c));
            out += escape;
        } else {
            AppendUtf8(out, c);
        }
    });
    return out + "\"";
}

std::string ForJob(const Time& time, const std::u16string& port, uint32_t jobId,
                   const std::u16string& docName, const std::string& message) {
    return Stamp(time) + " " + QuotedName(port) + " job " + std::to_string(jobId) + " " +
           QuotedName(docName) + ": " + message + "\r\n";
}

std::string ForPort(const Time& time, const std::u16string& port, const std::string& message) {
    return Stamp(time) + " " + QuotedName(port) + ": " + message + "\r\n";
}

} // namespace log_line
