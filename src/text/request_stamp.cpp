#include "text/request_stamp.h"

#include <cstdint>

#include "text/calendar.h"
#include "text/format_number.h"
#include "text/text_ops.h"

namespace brindlecast {

namespace {

// The count starts at 1970-01-01 08:00:00 local time.
constexpr std::int64_t kStartOffsetSeconds = 8 * 3600;

}  // namespace

std::string make_request_stamp(bool ten_digits, const Clock& clock) {
    // One reading for both parts, so the milliseconds cannot belong to a
    // different second than the seconds count.
    const LocalDateTime now = clock.now();

    int millisecond = now.millisecond;
    if (millisecond < 0) millisecond = 0;
    if (millisecond > 999) millisecond = 999;
    std::string millis = format_number(millisecond);
    millis = repeat_n("0", 3 - static_cast<TextPos>(millis.size())) + millis;

    // 64 bits, counted from calendar fields: the stamp stays right after
    // 2038-01-19, where a 32-bit count would wrap to a negative number.
    const std::int64_t seconds = days_from_civil(now.year, now.month, now.day) * 86400 +
                                 std::int64_t{now.hour} * 3600 + std::int64_t{now.minute} * 60 +
                                 now.second - kStartOffsetSeconds;

    std::string stamp = format_number(seconds) + millis;
    if (ten_digits) {
        stamp = left_part(stamp, 10);
        stamp.append(10 - stamp.size(), '0');
    } else if (stamp.size() < 13) {
        stamp.append(13 - stamp.size(), '0');
    }
    return stamp;
}

}  // namespace brindlecast
