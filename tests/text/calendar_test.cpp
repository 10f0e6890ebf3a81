#include "text/calendar.h"

#include <gtest/gtest.h>

namespace brindlecast {
namespace {

TEST(DaysFromCivil, CountsDaysFromNewYear1970) {
    EXPECT_EQ(days_from_civil(1970, 1, 1), 0);
    EXPECT_EQ(days_from_civil(1969, 12, 31), -1);
    EXPECT_EQ(days_from_civil(2000, 3, 1), 11017);     // after the leap day of 2000
    EXPECT_EQ(days_from_civil(1899, 12, 30), -25569);  // the automation-date epoch
    EXPECT_EQ(days_from_civil(1, 1, 1), -719162);
    EXPECT_EQ(days_from_civil(2100, 3, 1) - days_from_civil(2100, 2, 28), 1);  // 2100 is no leap year
    EXPECT_EQ(days_from_civil(2000, 3, 1) - days_from_civil(2000, 2, 28), 2);
}

TEST(CivilFromDays, InvertsDaysFromCivilDayByDay) {
    // Walk every day from year 100 to year 9999 and check that the dates
    // follow each other and convert back to the same count.
    CivilDate previous = civil_from_days(days_from_civil(100, 1, 1) - 1);
    for (std::int64_t days = days_from_civil(100, 1, 1); days <= days_from_civil(9999, 12, 31); ++days) {
        const CivilDate date = civil_from_days(days);
        ASSERT_EQ(days_from_civil(date.year, date.month, date.day), days);
        const bool next_day = date.year == previous.year && date.month == previous.month &&
                              date.day == previous.day + 1;
        const bool next_month = date.year == previous.year && date.month == previous.month + 1 &&
                                date.day == 1;
        const bool next_year = date.year == previous.year + 1 && date.month == 1 && date.day == 1 &&
                               previous.month == 12 && previous.day == 31;
        ASSERT_TRUE(next_day || next_month || next_year) << days;
        previous = date;
    }
}

}  // namespace
}  // namespace brindlecast
