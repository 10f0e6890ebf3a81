#pragma once
// A log sink that lets the window repaint while a retrieval holds its thread.

#include <chrono>
#include <string_view>

#include <QElapsedTimer>

#include "log/log_sink.h"

namespace brindlecast {

class EventPumpingSink final : public LogSink {
public:
    /// Passes every line to inner and handles pending events (paints among
    /// them) at most once per interval.
    EventPumpingSink(LogSink& inner, std::chrono::milliseconds interval);

    void write_line(std::string_view line) override;

private:
    LogSink& inner_;
    qint64 interval_ms_;
    QElapsedTimer since_pump_;
};

}  // namespace brindlecast
