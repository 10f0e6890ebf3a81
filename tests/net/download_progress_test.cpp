#include "net/download_progress.h"

#include <gtest/gtest.h>

#include "fixed_clock.h"

#include "recorders.h"
#include "text/cp936.h"

namespace brindlecast {
namespace {

struct Case {
    std::int32_t total;
    std::int32_t received;
    const char* shown;  // what follows "已下载:"
};

TEST(ReportDownloadProgress, WritesTheShareRoundedHalfAwayFromZeroToTwoPlaces) {
    const Case cases[] = {
        {3, 1, "33.33%"},
        {3, 2, "66.67%"},
        {8, 1, "12.5%"},
        {20000, 201, "1.01%"},   // 1.005 lies just below its decimal form
        {100, 100, "100%"},      // a whole value carries no point
        {10240, 25000, "244.14%"},  // more arrived than was announced
        {1000, 0, "0%"},
        {2147483647, 2147483647, "100%"},
        {-8, 1, "-12.5%"},       // the sign is kept apart from the rounding
    };
    const testing::FixedClock clock(testing::ninth_of_december());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.received) + " of " + std::to_string(c.total));
        testing::RecordingLogSink sink;
        report_download_progress(sink, c.total, c.received, 5, 7, clock);
        ASSERT_EQ(sink.lines.size(), 1u);
        EXPECT_EQ(sink.lines[0], cp936(std::string("12/9 14:05:09: 已下载:") + c.shown + "\r\n"));
    }
}

TEST(ReportDownloadProgress, ShowsTheBytesSoFarWhenNoTotalIsKnown) {
    const Case cases[] = {
        {0, 0, "0 B"},
        {0, 1023, "1023 B"},
        {0, 10240, "10 KB"},
        {0, 25000, "24.4 KB"},
        {0, 1572864, "1.5 MB"},
        {0, 2147483647, "2 GB"},
        {0, -1, "4 GB"},  // the count wrapped: read as unsigned, still sensible
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.received);
        EXPECT_EQ(download_progress_message(c.total, c.received),
                  cp936(std::string("已下载:") + c.shown));
    }
}

TEST(ReportDownloadProgress, IgnoresElapsedTimeAndThisRun) {
    EXPECT_EQ(download_progress_message(8, 1), cp936("已下载:12.5%"));
    const testing::FixedClock clock(testing::ninth_of_december());
    testing::RecordingLogSink first;
    testing::RecordingLogSink second;
    report_download_progress(first, 8, 1, 10, 1, clock);
    report_download_progress(second, 8, 1, 99999, -5, clock);
    EXPECT_EQ(first.lines, second.lines);
}

}  // namespace
}  // namespace brindlecast
