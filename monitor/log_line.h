// Vellumcast Monitor: one line of the monitor's own log (UTF-8), saying what happened to a
// job or a port. Names from print jobs are escaped so that no job can forge a line.
#pragma once

#include <cstdint>
#include <string>

namespace log_line {

struct Time {
    int year, month, day, hour, minute, second;
};

// UTF-8 of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string Utf8(const std::u16string& text);

// text in double quotes, with "\" and "\"" escaped by "\" and control characters
// (line breaks included) written as \xNN / \uNNNN, in UTF-8.
std::string QuotedName(const std::u16string& text);

// "2026-12-10 06:28:27 VELLUMCAST: job 12 \"見積書\": message\r\n"
std::string ForJob(const Time& time, const std::u16string& port, uint32_t jobId,
                   const std::u16string& docName, const std::string& message);

// "2026-12-10 06:28:27 VELLUMCAST: message\r\n"
std::string ForPort(const Time& time, const std::u16string& port, const std::string& message);

} // namespace log_line
