#pragma once
// The command line of brindlecast-cli.

#include <string>
#include <vector>

namespace brindlecast {

struct CliOptions {
    std::string resource_host;  ///< UTF-8 as typed
    std::string preview_host;
    std::string ca_file;
    std::string output_dir;
    std::string address;
    bool help = false;
};

struct CliParse {
    bool ok = false;
    std::string error;  ///< why the arguments were refused
    CliOptions options;
};

/// Reads the arguments (without the program name) over the given defaults.
CliParse parse_cli_arguments(const std::vector<std::string>& arguments, CliOptions defaults);

/// The --help text.
std::string cli_usage();

}  // namespace brindlecast
