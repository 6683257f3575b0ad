// Vellumcast Monitor: building the job's environment block.
#include "monitor/job_environment.h"

#include <algorithm>

namespace job_environment {
namespace {

char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

// The name of an entry: up to the first "=" after its first character (the per-drive
// entries such as "=C:=C:\dir" begin with "=").
std::u16string NameOf(const std::u16string& entry) {
    const size_t equals = entry.find(u'=', 1);
    return entry.substr(0, equals);
}

std::u16string UpperName(const std::u16string& entry) {
    std::u16string name = NameOf(entry);
    std::transform(name.begin(), name.end(), name.begin(), AsciiUpper);
    return name;
}

bool IsRedmonVariable(const std::u16string& entry) {
    return UpperName(entry).rfind(u"REDMON_", 0) == 0;
}

} // namespace

std::vector<std::u16string> SplitBlock(const char16_t* block) {
    std::vector<std::u16string> entries;
    if (!block)
        return entries;
    while (*block) {
        std::u16string entry(block);
        block += entry.size() + 1;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::u16string BuildBlock(const std::vector<std::u16string>& inherited, const JobValues& job) {
    std::vector<std::u16string> entries;
    for (const std::u16string& entry : inherited) {
        if (!entry.empty() && !IsRedmonVariable(entry))
            entries.push_back(entry);
    }
    const std::u16string jobId = [&job] {
        const std::string digits = std::to_string(job.jobId);
        return std::u16string(digits.begin(), digits.end());
    }();
    entries.push_back(u"REDMON_DOCNAME=" + job.docName);
    entries.push_back(u"REDMON_PORT=" + job.port);
    entries.push_back(u"REDMON_PRINTER=" + job.printer);
    entries.push_back(u"REDMON_JOB=" + jobId);
    entries.push_back(u"REDMON_USER=" + job.user);
    entries.push_back(u"REDMON_MACHINE=" + job.machine);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::u16string& a, const std::u16string& b) {
                         return UpperName(a) < UpperName(b);
                     });

    std::u16string block;
    for (const std::u16string& entry : entries) {
        // A zero inside a value would end the entry early and shift every later one.
        block += entry.substr(0, entry.find(u'\0'));
        block += u'\0';
    }
    block += u'\0';
    return block;
}

} // namespace job_environment
