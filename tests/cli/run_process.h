#pragma once
// Runs a program to its end and keeps what it printed.

#include <string>
#include <vector>

namespace brindlecast::testing {

struct ProcessResult {
    int exit_code = -1;  ///< -1 when it did not exit normally
    std::string out;
    std::string err;
};

/// Runs program with arguments, standard input closed, in working_dir when not empty.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& working_dir = {});

}  // namespace brindlecast::testing
