#pragma once
// The activity log's sink in the window: the Log box.

#include <string_view>

#include "log/log_sink.h"
#include "text/cp936.h"

class QPlainTextEdit;

namespace brindlecast {

class LogBoxSink final : public LogSink {
public:
    explicit LogBoxSink(QPlainTextEdit& box);

    /// Appends line after whatever the box holds (typed text included), moves
    /// the caret there and scrolls it into view; the insertion cannot be undone.
    /// Each CR LF in line starts a new line in the box.
    void write_line(std::string_view line) override;

private:
    QPlainTextEdit& box_;
    Cp936Codec codec_;  // one codec for the thousands of progress lines of a download
};

}  // namespace brindlecast
