// The progress window's figures: the page count a job announces, and the texts (portable).
#include "converter/job/progress.h"

#include <gtest/gtest.h>

using namespace job;

TEST(AnnouncedPages, HeaderTrailerAndWhatIsNoCount) {
    const ByteString bigMiddle(kDscScanBytes, 'x');
    const struct {
        const char* name;
        ByteString head;
        ByteString tail;
        std::optional<int32_t> pages;
    } cases[] = {
        {"header", "%!PS-Adobe-3.0\n%%Pages: 87\n%%EndComments\n", "", 87},
        {"CR line ends", "%!PS-Adobe-3.0\r%%Pages: 3\r", "", 3},
        {"tab and no blank", "%!PS\n%%Pages:\t12\n", "", 12},
        {"first of the head counts (an embedded EPS has its own)",
         "%!PS\n%%Pages: 2\n%%BeginDocument: x.eps\n%%Pages: 1\n", "", 2},
        {"deferred to the trailer", "%!PS\n%%Pages: (atend)\n", "%%Trailer\n%%Pages: 5\n%%EOF\n",
         5},
        {"deferred: the last of the tail counts", "%!PS\n%%Pages: (atend)\n",
         "%%Pages: 1\n%%Trailer\n%%Pages: 9\n", 9},
        {"deferred, trailer never came", "%!PS\n%%Pages: (atend)\n", "showpage\n", std::nullopt},
        {"none", "%!PS\nshowpage\n", "showpage\n", std::nullopt},
        {"a trailer count without deferral is not read", "%!PS\n", "%%Pages: 4\n", std::nullopt},
        {"not at a line start", "%!PS\n(%%Pages: 7) show\n", "", std::nullopt},
        {"zero", "%!PS\n%%Pages: 0\n", "", std::nullopt},
        {"no number", "%!PS\n%%Pages: many\n", "", std::nullopt},
        {"past 32 bits", "%!PS\n%%Pages: 99999999999\n", "", std::nullopt},
        {"largest", "%!PS\n%%Pages: 2147483647\n", "", 2147483647},
        {"just past it", "%!PS\n%%Pages: 2147483648\n", "", std::nullopt},
        {"at the very end of the head", "%!PS\n" + bigMiddle + "\n%%Pages:", "", std::nullopt},
        {"empty", "", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AnnouncedPages(c.head, c.tail), c.pages);
    }
}

TEST(ProgressTexts, ElapsedTimeAndWrittenSize) {
    const struct {
        uint64_t seconds;
        const char* text;
    } elapsed[] = {{0, "経過時間 0:00"},       {7, "経過時間 0:07"},
                   {61, "経過時間 1:01"},      {3599, "経過時間 59:59"},
                   {3723, "経過時間 1:02:03"}, {360000, "経過時間 100:00:00"}};
    for (const auto& c : elapsed)
        EXPECT_EQ(ElapsedText(c.seconds), c.text);

    const struct {
        uint64_t bytes;
        std::optional<int32_t> pages;
        const char* text;
    } sizes[] = {
        {0, std::nullopt, "0 KB 作成済み"},
        {1, std::nullopt, "1 KB 作成済み"}, // rounded up: something was written
        {1024, 87, "全 87 ページ ・ 1 KB 作成済み"},
        {1263616, 348, "全 348 ページ ・ 1,234 KB 作成済み"},
        {uint64_t(5) << 40, 1234567, "全 1,234,567 ページ ・ 5,368,709,120 KB 作成済み"},
    };
    for (const auto& c : sizes)
        EXPECT_EQ(ProgressText(c.bytes, c.pages), c.text);
}
