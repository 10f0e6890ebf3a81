#include "app/log_flushing_notifier.h"

#include "app/live_log_sink.h"

namespace brindlecast {

void LogFlushingNotifier::notify(std::string_view text, std::string_view caption) {
    // The box paints while the notice waits; it must show the lines that led to it.
    log_.flush();
    inner_.notify(text, caption);
}

}  // namespace brindlecast
