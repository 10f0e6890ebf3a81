#pragma once
// The local wall clock, injectable so that tests can fix the moment.

namespace brindlecast {

/// A local calendar date and time to the millisecond.
struct LocalDateTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;  // 0..999
};

class Clock {
public:
    virtual ~Clock() = default;
    /// The current local date and time.
    virtual LocalDateTime now() const = 0;
};

/// The machine's clock in its local time zone.
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
};

/// A stateless system clock for callers that do not inject one.
const Clock& system_clock();

}  // namespace brindlecast
