// The progress window's figures: DSC page counts and the texts of elapsed time and size.
#include "converter/job/progress.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace job {

namespace {

constexpr char kPagesComment[] = "%%Pages:";

// The value of each "%%Pages:" comment that starts a line, in order of appearance.
// nullopt for "(atend)", -1 for anything else that is not a plain number.
template <typename Visit> void ForEachPagesComment(const ByteString& text, Visit visit) {
    const size_t commentLength = sizeof kPagesComment - 1;
    for (size_t at = text.find(kPagesComment); at != ByteString::npos;
         at = text.find(kPagesComment, at + 1)) {
        if (at != 0 && text[at - 1] != '\n' && text[at - 1] != '\r')
            continue;
        size_t p = at + commentLength;
        while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
            ++p;
        if (text.compare(p, 7, "(atend)") == 0) {
            if (!visit(std::optional<int64_t>()))
                return;
            continue;
        }
        int64_t value = 0;
        size_t digits = 0;
        while (p < text.size() && text[p] >= '0' && text[p] <= '9' && digits < 10) {
            value = value * 10 + (text[p] - '0');
            ++p;
            ++digits;
        }
        if (digits == 0 || (p < text.size() && text[p] >= '0' && text[p] <= '9'))
            value = -1;
        if (!visit(std::optional<int64_t>(value)))
            return;
    }
}

std::optional<int32_t> UsableCount(int64_t value) {
    if (value <= 0 || value > INT32_MAX)
        return std::nullopt;
    return int32_t(value);
}

ByteString Grouped(uint64_t value) {
    ByteString digits = std::to_string(value);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

} // namespace

std::optional<int32_t> AnnouncedPages(const ByteString& head, const ByteString& tail) {
    bool deferred = false;
    std::optional<int32_t> inHead;
    ForEachPagesComment(head, [&](std::optional<int64_t> value) {
        if (value)
            inHead = UsableCount(*value);
        else
            deferred = true;
        return false; // the first one counts
    });
    if (!deferred)
        return inHead;
    std::optional<int32_t> last;
    ForEachPagesComment(tail, [&](std::optional<int64_t> value) {
        if (value)
            last = UsableCount(*value);
        return true;
    });
    return last;
}

ByteString ElapsedText(uint64_t seconds) {
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02u:%02u",
                      static_cast<unsigned long long>(seconds / 3600), unsigned(seconds / 60 % 60),
                      unsigned(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%u:%02u", unsigned(seconds / 60), unsigned(seconds % 60));
    return ByteString("経過時間 ") + text;
}

ByteString ProgressText(uint64_t pdfBytes, std::optional<int32_t> announcedPages) {
    const ByteString written = Grouped((pdfBytes + 1023) / 1024) + " KB 作成済み";
    if (!announcedPages)
        return written;
    return "全 " + Grouped(uint64_t(*announcedPages)) + " ページ ・ " + written;
}

} // namespace job
