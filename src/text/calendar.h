#pragma once
// Proleptic Gregorian calendar arithmetic, free of time zones and of the
// 32-bit time_t limit.

#include <cstdint>

namespace brindlecast {

struct CivilDate {
    std::int64_t year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
};

/// Days from 1970-01-01 to the given date (negative before it).
std::int64_t days_from_civil(std::int64_t year, int month, int day);

/// The date that lies `days` days after 1970-01-01.
CivilDate civil_from_days(std::int64_t days);

}  // namespace brindlecast
