#pragma once
// The log during a retrieval that holds the window thread: the window keeps
// repainting, and a download's thousands of lines stay cheap.

#include <chrono>
#include <string>
#include <string_view>

#include <QElapsedTimer>

#include "log/log_sink.h"

namespace brindlecast {

class LiveLogSink final : public LogSink {
public:
    /// Gathers lines and passes them to inner in one piece, in order, at most
    /// once per interval, each time followed by handling the window's pending
    /// events (paints among them). The first line goes through at once.
    LiveLogSink(LogSink& inner, std::chrono::milliseconds interval);
    /// Passes on what is still gathered.
    ~LiveLogSink() override;
    LiveLogSink(const LiveLogSink&) = delete;
    LiveLogSink& operator=(const LiveLogSink&) = delete;

    void write_line(std::string_view line) override;
    /// Passes on every gathered line now, without handling events.
    void flush();

private:
    LogSink& inner_;
    qint64 interval_ms_;
    QElapsedTimer since_pump_;
    std::string pending_;
};

}  // namespace brindlecast
