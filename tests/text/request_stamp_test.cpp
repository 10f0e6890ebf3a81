#include "text/request_stamp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "fixed_clock.h"

namespace brindlecast {
namespace {

using testing::FixedClock;

std::string stamp_at(LocalDateTime moment, bool ten_digits = false) {
    return make_request_stamp(ten_digits, FixedClock(moment));
}

TEST(MakeRequestStamp, PadsTheMillisecondsToThreeDigits) {
    struct Case {
        int millisecond;
        const char* expected;
    };
    // 2026-12-09 14:05:09 local is 1796796309 seconds after 1970-01-01 08:00:00.
    const Case cases[] = {
        {0, "1796796309000"},
        {7, "1796796309007"},
        {45, "1796796309045"},
        {123, "1796796309123"},
        {999, "1796796309999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.millisecond);
        EXPECT_EQ(stamp_at({2026, 12, 9, 14, 5, 9, c.millisecond}), c.expected);
    }
}

TEST(MakeRequestStamp, CountsFromEightOClockOnNewYearsDay1970) {
    // One billion seconds after 1970-01-01 00:00:00 UTC, read on a UTC+8 clock.
    EXPECT_EQ(stamp_at({2001, 9, 9, 9, 46, 40, 0}), "1000000000000");
    EXPECT_EQ(stamp_at({1970, 1, 2, 8, 0, 0, 1}), "8640000100000");  // 86400 s, 001 ms, zero-filled
    EXPECT_EQ(stamp_at({1970, 1, 1, 8, 0, 0, 0}), "0000000000000");
}

TEST(MakeRequestStamp, TakesTheFirstTenDigitsOnRequest) {
    EXPECT_EQ(stamp_at({2026, 12, 9, 14, 5, 9, 7}, true), "1796796309");
    EXPECT_EQ(stamp_at({2026, 12, 9, 14, 5, 9, 7}, false).substr(0, 10), "1796796309");
}

TEST(MakeRequestStamp, FillsShortStampsWithZerosOnTheRight) {
    // 1990-01-01 08:00:00 local: 631152000 seconds, nine digits.
    EXPECT_EQ(stamp_at({1990, 1, 1, 8, 0, 0, 500}), "6311520005000");
    EXPECT_EQ(stamp_at({1990, 1, 1, 8, 0, 0, 500}, true), "6311520005");
}

TEST(MakeRequestStamp, KeepsCountingPast2038) {
    // A 32-bit count wraps to a negative number one second after 2038-01-19 11:14:07.
    EXPECT_EQ(stamp_at({2038, 1, 19, 11, 14, 7, 0}), "2147483647000");
    EXPECT_EQ(stamp_at({2038, 1, 19, 11, 14, 8, 0}), "2147483648000");
    EXPECT_EQ(stamp_at({2100, 1, 1, 8, 0, 0, 250}), "4102444800250");
    // Eleven digits of seconds: the default stamp grows, the short one is cut.
    EXPECT_EQ(stamp_at({2400, 1, 1, 8, 0, 0, 0}), "13569465600000");
    EXPECT_EQ(stamp_at({2400, 1, 1, 8, 0, 0, 0}, true), "1356946560");
}

TEST(MakeRequestStamp, ShowsAMinusSignBeforeTheStartingMoment) {
    EXPECT_EQ(stamp_at({1970, 1, 1, 7, 59, 59, 0}), "-1000" "00000000");
    EXPECT_EQ(stamp_at({1970, 1, 1, 7, 59, 59, 0}, true), "-1000" "00000");
}

TEST(MakeRequestStamp, MatchesTheSystemClockShiftedByItsZone) {
    using namespace std::chrono;
    const auto before = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    const std::string stamp = make_request_stamp();
    const auto after = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();

    ASSERT_EQ(stamp.size(), 13u);
    const std::time_t seconds = static_cast<std::time_t>(before / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    // UTC milliseconds + the zone's offset - 8 hours.
    const long long shift = (static_cast<long long>(local.tm_gmtoff) - 8 * 3600) * 1000;
    const long long value = std::stoll(stamp);
    EXPECT_GE(value, before + shift);
    EXPECT_LE(value, after + shift);
}

}  // namespace
}  // namespace brindlecast
