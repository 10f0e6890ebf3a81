#include "net/download_progress.h"

#include <cmath>
#include <string_view>

#include "log/activity_log.h"
#include "text/cp936.h"
#include "text/format_number.h"

namespace brindlecast {
namespace {

// Half away from zero; the nudge lifts values such as 1.005, stored just below
// their decimal form, onto the side a reader expects.
double round_half_away(double value, double scale) {
    if (value == 0.0) return 0.0;
    const bool negative = value < 0.0;
    const double magnitude = std::fabs(value) * scale + 1e-12;
    double whole = std::floor(magnitude);
    if (magnitude - whole >= 0.5) whole += 1.0;
    const double rounded = whole / scale;
    return negative ? -rounded : rounded;
}

// Without a length the share is meaningless; the count itself still tells the
// user that bytes are coming. The 32-bit count is read unsigned so that up to
// 4 GB still shows correctly.
void append_byte_count(std::string& message, std::int32_t received) {
    static constexpr std::string_view kUnits[] = {" B", " KB", " MB", " GB"};
    double value = static_cast<double>(static_cast<std::uint32_t>(received));
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    message += format_number(round_half_away(value, 10.0));
    message += kUnits[unit];
}

}  // namespace

std::string download_progress_message(std::int32_t total, std::int32_t received) {
    // Converted once: this runs for every block of every download.
    static const std::string kPrefix = cp936("已下载:");
    std::string message;
    message.reserve(kPrefix.size() + 24);
    message += kPrefix;
    if (total == 0) {
        append_byte_count(message, received);
        return message;
    }
    const double share = static_cast<double>(received) * 10000.0 / total / 100.0;
    message += format_number(round_half_away(share, 100.0));
    message += '%';
    return message;
}

void report_download_progress(LogSink& log, std::int32_t total, std::int32_t received,
                              std::int32_t /*elapsed_ms*/, std::int32_t /*this_run*/,
                              const Clock& clock) {
    append_log(log, download_progress_message(total, received), clock);
}

}  // namespace brindlecast
