#include "cli/stderr_notifier.h"

#include <string>

#include "cli/terminal_log_sink.h"
#include "text/cp936.h"

namespace brindlecast {

void StderrNotifier::notify(std::string_view text, std::string_view caption) {
    if (log_ != nullptr) log_->finish_progress();
    std::fflush(stdout);
    const std::string line = cp936_to_utf8(caption) + cp936_to_utf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace brindlecast
