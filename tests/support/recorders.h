#pragma once
// Test doubles for the log sink and the notifier that keep what they got.

#include <string>
#include <string_view>
#include <vector>

#include "log/log_sink.h"
#include "log/notifier.h"

namespace brindlecast::testing {

class RecordingLogSink final : public LogSink {
public:
    void write_line(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;  // whole lines, CP936, with "\r\n"
};

struct Notice {
    std::string text;
    std::string caption;
};

class RecordingNotifier final : public Notifier {
public:
    void notify(std::string_view text, std::string_view caption) override {
        notices.push_back({std::string(text), std::string(caption)});
    }
    std::vector<Notice> notices;
};

}  // namespace brindlecast::testing
