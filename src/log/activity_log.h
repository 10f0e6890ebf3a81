#pragma once
// Building and writing activity-log lines.

#include <optional>
#include <string>
#include <string_view>

#include "log/log_sink.h"
#include "text/clock.h"

namespace brindlecast {

/// An automation date (days since 1899-12-30, the fraction the time of day)
/// for a local calendar moment, to the whole second.
double to_automation_date(const LocalDateTime& moment);

/// Date part formatted with date_pattern followed directly by the time part
/// formatted with time_pattern; a pattern shorter than 3 characters gives an
/// empty part, and neither given gives the empty text. force_24_hour == 1
/// shows h/hh in 24-hour form.
std::string format_date_time(double moment,
                             std::optional<std::string_view> date_pattern = std::nullopt,
                             std::optional<std::string_view> time_pattern = std::nullopt,
                             int force_24_hour = 0);

/// The whole log line for message at moment: "M/d hh:mm:ss" + ": " + message + "\r\n".
std::string make_log_line(std::string_view message, const LocalDateTime& moment);

/// Appends one time-stamped line for message to the log.
void append_log(LogSink& sink, std::string_view message, const Clock& clock = system_clock());

}  // namespace brindlecast
