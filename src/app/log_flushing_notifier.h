#pragma once
// Notices during a retrieval: the log is brought up to date before each one.

#include <string_view>

#include "log/notifier.h"

namespace brindlecast {

class LiveLogSink;

class LogFlushingNotifier final : public Notifier {
public:
    LogFlushingNotifier(LiveLogSink& log, Notifier& inner) : log_(log), inner_(inner) {}

    /// Shows every gathered log line, then the notice through inner.
    void notify(std::string_view text, std::string_view caption) override;

private:
    LiveLogSink& log_;
    Notifier& inner_;
};

}  // namespace brindlecast
