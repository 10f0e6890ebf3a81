#pragma once
// The progress routine of a download: one "已下载:" log line per block.

#include <cstdint>
#include <string>

#include "log/log_sink.h"
#include "text/clock.h"

namespace brindlecast {

/// Logs "已下载:" + received/total as a percentage rounded to two places + "%";
/// when total is 0, the bytes received so far instead ("已下载:1.5 MB").
/// elapsed_ms and this_run play no part.
void report_download_progress(LogSink& log, std::int32_t total, std::int32_t received,
                              std::int32_t elapsed_ms, std::int32_t this_run,
                              const Clock& clock = system_clock());

/// The message of that line, without time stamp (CP936).
std::string download_progress_message(std::int32_t total, std::int32_t received);

}  // namespace brindlecast
