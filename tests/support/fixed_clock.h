#pragma once
// A clock that always tells the same moment, so that log stamps and request
// stamps are known.

#include "text/clock.h"

namespace brindlecast::testing {

class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime moment) : moment_(moment) {}
    LocalDateTime now() const override { return moment_; }
    void set(LocalDateTime moment) { moment_ = moment; }

private:
    LocalDateTime moment_;
};

/// 5 January, 09:03:07: the stamp "1/5 09:03:07".
inline LocalDateTime fifth_of_january() { return {2026, 1, 5, 9, 3, 7, 0}; }

/// 9 December, 14:05:09: the stamp "12/9 14:05:09".
inline LocalDateTime ninth_of_december() { return {2026, 12, 9, 14, 5, 9, 0}; }

}  // namespace brindlecast::testing
