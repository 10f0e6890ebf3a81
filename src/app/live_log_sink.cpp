#include "app/live_log_sink.h"

#include <QCoreApplication>

namespace brindlecast {

LiveLogSink::LiveLogSink(LogSink& inner, std::chrono::milliseconds interval)
    : inner_(inner), interval_ms_(interval.count()) {}

LiveLogSink::~LiveLogSink() { flush(); }

void LiveLogSink::write_line(std::string_view line) {
    pending_.append(line);
    // A download writes a line per 10 KB block. Putting each into the box on
    // its own and painting after it would cost more than the download, and
    // nobody sees the box between two paints anyway.
    if (since_pump_.isValid() && since_pump_.elapsed() < interval_ms_) {
        return;
    }
    flush();
    QCoreApplication::processEvents();
    since_pump_.start();
}

void LiveLogSink::flush() {
    if (pending_.empty()) {
        return;
    }
    inner_.write_line(pending_);
    pending_.clear();
}

}  // namespace brindlecast
