#include "cli/terminal_log_sink.h"

namespace brindlecast {

TerminalLogSink::TerminalLogSink(std::FILE* out, bool live_progress)
    : out_(out), live_progress_(live_progress), progress_prefix_(cp936(": 已下载:")) {}

TerminalLogSink::~TerminalLogSink() { finish_progress(); }

void TerminalLogSink::write_line(std::string_view line) {
    // Only right behind the stamp: a title or address may hold the same text.
    const std::size_t after_stamp = line.find(": ");
    const bool is_progress = after_stamp != std::string_view::npos &&
                             line.compare(after_stamp, progress_prefix_.size(), progress_prefix_) == 0;
    std::string text = codec_.to_utf8(line);
    // Lines end in CR LF in the log; a terminal or a file wants LF alone.
    std::string converted;
    converted.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        converted.push_back(text[i]);
    }
    if (is_progress && !live_progress_) {
        // One line per block: leave them to the stream's buffer.
        std::fwrite(converted.data(), 1, converted.size(), out_);
        return;
    }
    if (is_progress) {
        if (!converted.empty() && converted.back() == '\n') converted.pop_back();
        std::fputs("\r\033[K", out_);
        std::fwrite(converted.data(), 1, converted.size(), out_);
        std::fflush(out_);
        progress_pending_ = true;
        return;
    }
    finish_progress();
    std::fwrite(converted.data(), 1, converted.size(), out_);
    std::fflush(out_);
}

void TerminalLogSink::finish_progress() {
    if (progress_pending_) {
        std::fputc('\n', out_);
        std::fflush(out_);
        progress_pending_ = false;
    }
}

}  // namespace brindlecast
