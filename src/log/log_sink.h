#pragma once
// Where activity-log lines go: the window's Log box, standard output, a test recorder.

#include <string_view>

namespace brindlecast {

class LogSink {
public:
    virtual ~LogSink() = default;
    /// Takes one whole line: stamp, ": ", message, "\r\n", in code page 936.
    virtual void write_line(std::string_view line) = 0;
};

}  // namespace brindlecast
