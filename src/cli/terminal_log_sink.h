#pragma once
// The log on standard output: UTF-8 with "\n" line ends.

#include <cstdio>
#include <string>
#include <string_view>

#include "log/log_sink.h"
#include "text/cp936.h"

namespace brindlecast {

class TerminalLogSink final : public LogSink {
public:
    /// live_progress: progress lines overwrite each other in place (for a terminal).
    TerminalLogSink(std::FILE* out, bool live_progress);
    ~TerminalLogSink() override;

    void write_line(std::string_view line) override;
    /// Ends a pending in-place progress line, so other output starts on a fresh line.
    void finish_progress();

private:
    std::FILE* out_;  // not owned
    bool live_progress_;
    bool progress_pending_ = false;
    Cp936Codec codec_;
    std::string progress_prefix_;  // ": 已下载:" in code page 936
};

}  // namespace brindlecast
