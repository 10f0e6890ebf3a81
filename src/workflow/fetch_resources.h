#pragma once
// The retrieval of one entry: details, the PDF, then up to two videos.

#include <string>
#include <string_view>
#include <vector>

#include "workflow/environment.h"

namespace brindlecast {

/// What a run achieved, for callers that need more than the result text.
struct RunReport {
    bool details_parsed = false;
    bool document_saved = false;
    int videos_wanted = 0;   ///< video keys that were not empty
    int videos_saved = 0;
    std::vector<std::string> saved_paths;  ///< local paths written, in order
};

/// Runs the whole retrieval for case_id, logging every step; returns the last
/// working text (empty when the detail answer gave nothing). Fills report
/// when given.
std::string fetch_resources(std::string_view case_id, const Environment& environment,
                            RunReport* report = nullptr);

}  // namespace brindlecast
