#pragma once
// The Go! command without its window: shared by the desktop program and the CLI.

#include <string>
#include <string_view>

#include "workflow/environment.h"
#include "workflow/fetch_resources.h"

namespace brindlecast {

/// Everything after the last "id=" (case-sensitive), or empty.
std::string extract_case_id(std::string_view entered_address);

/// The log message for an address without an identifier, showing the
/// expected form with resource_host.
std::string invalid_address_message(std::string_view resource_host);

struct GoOutcome {
    enum class Kind { invalid_address, failed, succeeded };
    Kind kind = Kind::failed;
    std::string result;  ///< for the download box when succeeded
    RunReport report;
};

/// Takes the identifier out of the entered address and runs the retrieval,
/// writing the invalid-address message or "获取失败" to the log where due.
GoOutcome run_go_command(std::string_view entered_address, const Environment& environment);

}  // namespace brindlecast
