#pragma once
// Resumable download of one address into a local file, in blocks of 10,240
// bytes with a progress call after each block.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "log/notifier.h"

namespace brindlecast {

/// Called after each written block with (total, received, elapsed_ms, this_run).
using ProgressRoutine = std::function<void(std::int32_t total, std::int32_t received,
                                           std::int32_t elapsed_ms, std::int32_t this_run)>;

struct DownloadSettings {
    Notifier* notifier = nullptr;  ///< message boxes, caption "信息："; none: silent
    std::string ca_file;           ///< CA bundle for https; empty: the system's trust store
    std::chrono::milliseconds stall_timeout{60000};  ///< no byte for this long fails the read
};

/// Bytes per block: each block is written and reported before the next is read.
inline constexpr std::size_t kDownloadBlockSize = 10240;

/// Fetches address (http or https) into local_path (CP936); 0 when the whole
/// body arrived and was stored, -1 after a message box otherwise. The target
/// is replaced only on success; a failure leaves an earlier file untouched.
/// resume asks for the bytes from offset on and keeps the target's first
/// offset bytes in front of them; a server that ignores the range restarts
/// the file from its first byte.
int download_with_progress(std::string_view address, std::string_view local_path,
                           const ProgressRoutine& progress, std::int32_t offset, bool resume,
                           const DownloadSettings& settings);

/// The request's fixed header lines, plus "\r\nRange:bytes=<offset>-" in resume mode.
std::string download_header_block(bool resume, std::int32_t offset);

/// "Agent" followed by the uptime in milliseconds taken as a signed 32-bit number.
std::string download_agent_text(std::int64_t uptime_ms);

}  // namespace brindlecast
