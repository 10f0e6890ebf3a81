#pragma once
// A clock that always tells the same moment, so that log stamps and request
// stamps are known.

#include "text/clock.h"

namespace brindlecast::testing {

class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime moment) : moment_(moment) {}
    LocalDateTime now() const override { return moment_; }

private:
    LocalDateTime moment_;
};

}  // namespace brindlecast::testing
