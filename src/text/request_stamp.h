#pragma once
// The cache-busting stamp that ends every resource-library query.

#include <string>

#include "text/clock.h"

namespace brindlecast {

/// Milliseconds since 1970-01-01 08:00:00 local time: at least 13 digits,
/// or exactly 10 characters with ten_digits. Seconds are counted in 64 bits.
std::string make_request_stamp(bool ten_digits = false, const Clock& clock = system_clock());

}  // namespace brindlecast
