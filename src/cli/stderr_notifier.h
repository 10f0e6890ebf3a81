#pragma once
// Notices on standard error, behind their caption.

#include <cstdio>

#include "log/notifier.h"

namespace brindlecast {

class TerminalLogSink;

class StderrNotifier final : public Notifier {
public:
    /// log: its pending progress line is ended first, so the notice stands alone.
    explicit StderrNotifier(TerminalLogSink* log) : log_(log) {}
    void notify(std::string_view text, std::string_view caption) override;

private:
    TerminalLogSink* log_;  // not owned
};

}  // namespace brindlecast
