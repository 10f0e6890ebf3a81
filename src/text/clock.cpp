#include "text/clock.h"

#include <chrono>
#include <ctime>

namespace brindlecast {

LocalDateTime SystemClock::now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(ms % 1000);
    return result;
}

const Clock& system_clock() {
    static const SystemClock clock;
    return clock;
}

}  // namespace brindlecast
