#pragma once
// The retrieval of one entry: details, the PDF, then up to two videos.

#include <string>
#include <string_view>

#include "workflow/environment.h"

namespace brindlecast {

/// Runs the whole retrieval for case_id, logging every step; returns the last
/// working text (empty when the detail answer gave nothing).
std::string fetch_resources(std::string_view case_id, const Environment& environment);

}  // namespace brindlecast
