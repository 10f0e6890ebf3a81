#include "log/activity_log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "fixed_clock.h"
#include "recorders.h"
#include "text/cp936.h"

namespace brindlecast {
namespace {

using testing::FixedClock;

const LocalDateTime kDecemberNinth{2026, 12, 9, 14, 5, 9, 0};

TEST(MakeLogLine, StampsTheMessageWithMonthDayAnd24HourTime) {
    struct Case {
        LocalDateTime moment;
        const char* expected;
    };
    const Case cases[] = {
        {{2026, 12, 9, 14, 5, 9, 0}, "12/9 14:05:09: x\r\n"},
        {{2027, 1, 5, 9, 3, 7, 0}, "1/5 09:03:07: x\r\n"},
        {{2026, 12, 31, 23, 59, 59, 0}, "12/31 23:59:59: x\r\n"},
        {{2026, 6, 1, 0, 0, 1, 0}, "6/1 00:00:01: x\r\n"},    // just after midnight
        {{2026, 6, 1, 12, 30, 0, 0}, "6/1 12:30:00: x\r\n"},  // noon stays 12
        {{2024, 2, 29, 13, 0, 0, 999}, "2/29 13:00:00: x\r\n"},  // milliseconds dropped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(make_log_line("x", c.moment), c.expected);
    }
}

TEST(MakeLogLine, AddsNothingToTheMessage) {
    EXPECT_EQ(make_log_line("", kDecemberNinth), "12/9 14:05:09: \r\n");
    const std::string message = cp936("链接非法,请检查链接正确性.\r\n示例: http://h/cases?id=1");
    EXPECT_EQ(make_log_line(message, kDecemberNinth), "12/9 14:05:09: " + message + "\r\n");
    EXPECT_EQ(make_log_line(cp936("Json解析成功"), kDecemberNinth),
              "12/9 14:05:09: Json\xBD\xE2\xCE\xF6\xB3\xC9\xB9\xA6\r\n");
}

TEST(AppendLog, HandsOneLineForTheClocksMomentToTheSink) {
    testing::RecordingLogSink sink;
    FixedClock clock({2027, 1, 5, 9, 3, 7, 412});
    append_log(sink, cp936("欢迎打赏!"), clock);
    append_log(sink, "second", clock);
    clock.set({2027, 1, 5, 9, 3, 8, 0});
    append_log(sink, "third", clock);
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[0], "1/5 09:03:07: " + cp936("欢迎打赏!") + "\r\n");
    EXPECT_EQ(sink.lines[1], "1/5 09:03:07: second\r\n");
    EXPECT_EQ(sink.lines[2], "1/5 09:03:08: third\r\n");
}

TEST(ToAutomationDate, CountsDaysSinceTheEndOf1899) {
    EXPECT_EQ(to_automation_date({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(to_automation_date({1900, 1, 1, 0, 0, 0, 0}), 2.0);
    EXPECT_EQ(to_automation_date({2026, 12, 9, 12, 0, 0, 0}), 46365.5);
    EXPECT_EQ(to_automation_date({2026, 12, 9, 18, 0, 0, 0}), 46365.75);
    // Before the epoch the fraction still counts forward into the day.
    EXPECT_EQ(to_automation_date({1899, 12, 29, 6, 0, 0, 0}), -1.25);
}

TEST(FormatDateTime, FormatsEachGivenPicture) {
    const double moment = to_automation_date({2026, 12, 9, 14, 5, 9, 0});
    const double morning = to_automation_date({2027, 1, 5, 9, 3, 7, 0});
    struct Case {
        const char* name;
        double moment;
        std::optional<std::string_view> date_pattern;
        std::optional<std::string_view> time_pattern;
        int force_24_hour;
        std::string expected;
    };
    const Case cases[] = {
        {"log pictures", moment, "M/d ", "hh:mm:ss", 1, "12/9 14:05:09"},
        {"neither picture", moment, std::nullopt, std::nullopt, 1, ""},
        {"date picture alone", moment, "M/d ", std::nullopt, 1, "12/9 "},
        {"time picture alone", moment, std::nullopt, "hh:mm:ss", 1, "14:05:09"},
        {"short date picture gives no date part", moment, "d", "hh:mm:ss", 1, "14:05:09"},
        {"short time picture gives no time part", moment, "M/d ", "hh", 1, "12/9 "},
        {"no separator is added", moment, "yyyy-MM-dd", "HH:mm", 0, "2026-12-0914:05"},
        {"padded date fields", morning, "dd.MM.yy", std::nullopt, 0, "05.01.27"},
        {"unpadded date fields", morning, "d/M/yyyy", std::nullopt, 0, "5/1/2027"},
        {"12-hour clock without the flag", moment, std::nullopt, "h:mm:ss", 0, "2:05:09"},
        {"12-hour clock, two digits", morning, std::nullopt, "hh:mm:ss", 0, "09:03:07"},
        {"flag other than 1 has no effect", moment, std::nullopt, "hh:mm:ss", 2, "02:05:09"},
        {"24-hour picture letters", moment, std::nullopt, "H:m:s", 0, "14:5:9"},
        {"unpadded minutes and seconds", morning, std::nullopt, "h.m.s", 0, "9.3.7"},
        {"time marker", moment, std::nullopt, "h:mm tt", 0, "2:05 PM"},
        {"quoted literal", moment, "'day' d", std::nullopt, 0, "day 9"},
        {"quoted quote", moment, "d''M", std::nullopt, 0, "9'12"},
        {"quote inside a literal", moment, "'it''s' d", std::nullopt, 0, "it's 9"},
        {"time letters are literal in a date picture", moment, "d hms", std::nullopt, 0, "9 hms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(format_date_time(c.moment, c.date_pattern, c.time_pattern, c.force_24_hour),
                  c.expected);
    }
    // Both pictures left out: nothing to format.
    EXPECT_EQ(format_date_time(moment), "");
}

TEST(FormatDateTime, CopiesTwoByteCharactersOfAPictureWhole) {
    const double moment = to_automation_date({2026, 12, 9, 14, 5, 9, 0});
    EXPECT_EQ(format_date_time(moment, cp936("yyyy年M月d日")), cp936("2026年12月9日"));
    // 81 64 is a character whose second byte is the letter d.
    EXPECT_EQ(format_date_time(moment, std::string_view("\x81\x64/d")), "\x81\x64/9");
}

TEST(FormatDateTime, GivesAnEmptyTextForMomentsItCannotConvert) {
    EXPECT_EQ(format_date_time(std::nan(""), "M/d ", "hh:mm:ss", 1), "");
    EXPECT_EQ(format_date_time(std::numeric_limits<double>::infinity(), "M/d ", "hh:mm:ss", 1), "");
    EXPECT_EQ(format_date_time(1e9, "M/d ", "hh:mm:ss", 1), "");
    EXPECT_EQ(format_date_time(-1e9, "M/d ", "hh:mm:ss", 1), "");
    EXPECT_EQ(format_date_time(-1.25, "yyyy-MM-dd ", "HH:mm", 0), "1899-12-29 06:00");
}

TEST(FormatDateTime, ShowsEverySecondOfADayExactly) {
    // Automation dates are binary fractions of a day; rounding must not
    // turn 23:59:59 into the next day or lose a second anywhere.
    for (int second_of_day = 0; second_of_day < 86400; ++second_of_day) {
        const int hour = second_of_day / 3600;
        const int minute = second_of_day / 60 % 60;
        const int second = second_of_day % 60;
        char expected[32];
        std::snprintf(expected, sizeof expected, "12/31 %02d:%02d:%02d", hour, minute, second);
        const double moment = to_automation_date({2099, 12, 31, hour, minute, second, 0});
        ASSERT_EQ(format_date_time(moment, "M/d ", "hh:mm:ss", 1), expected);
    }
}

}  // namespace
}  // namespace brindlecast
