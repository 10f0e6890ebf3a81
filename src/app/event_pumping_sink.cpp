#include "app/event_pumping_sink.h"

#include <QCoreApplication>

namespace brindlecast {

EventPumpingSink::EventPumpingSink(LogSink& inner, std::chrono::milliseconds interval)
    : inner_(inner), interval_ms_(interval.count()) {}

void EventPumpingSink::write_line(std::string_view line) {
    inner_.write_line(line);
    // A download writes a line per 10 KB block; painting after each of them
    // would cost more than the download, so the pumping is throttled.
    if (since_pump_.isValid() && since_pump_.elapsed() < interval_ms_) {
        return;
    }
    QCoreApplication::processEvents();
    since_pump_.start();
}

}  // namespace brindlecast
