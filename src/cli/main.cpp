// brindlecast-cli: the Go! command from a terminal.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_options.h"
#include "cli/stderr_notifier.h"
#include "cli/terminal_log_sink.h"
#include "text/cp936.h"
#include "workflow/go_command.h"

namespace {

constexpr int kExitSaved = 0;
constexpr int kExitIncomplete = 1;
constexpr int kExitUsage = 2;

int run(const brindlecast::CliOptions& options) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path output_dir =
        fs::absolute(options.output_dir.empty() ? fs::path(".") : fs::path(options.output_dir), error)
            .lexically_normal();
    fs::create_directories(output_dir, error);
    std::string run_directory = output_dir.string();
    while (run_directory.size() > 1 && run_directory.back() == '/') run_directory.pop_back();

    brindlecast::TerminalLogSink log(stdout, isatty(fileno(stdout)) == 1);
    brindlecast::StderrNotifier notifier(&log);
    brindlecast::Environment environment;
    environment.resource_host = brindlecast::utf8_to_cp936(options.resource_host);
    environment.preview_host = brindlecast::utf8_to_cp936(options.preview_host);
    environment.run_directory = brindlecast::utf8_to_cp936(run_directory);
    environment.ca_file = options.ca_file;
    environment.log = &log;
    environment.notifier = &notifier;

    const brindlecast::GoOutcome outcome =
        brindlecast::run_go_command(brindlecast::utf8_to_cp936(options.address), environment);
    log.finish_progress();
    std::fflush(stdout);
    switch (outcome.kind) {
        case brindlecast::GoOutcome::Kind::invalid_address:
            return kExitUsage;
        case brindlecast::GoOutcome::Kind::failed:
            return kExitIncomplete;
        case brindlecast::GoOutcome::Kind::succeeded:
            break;
    }
    const auto& report = outcome.report;
    const bool complete = report.document_saved && report.videos_saved == report.videos_wanted;
    return complete ? kExitSaved : kExitIncomplete;
}

}  // namespace

int main(int argc, char** argv) {
    brindlecast::CliOptions defaults;
    defaults.resource_host = BRINDLECAST_RESOURCE_HOST;
    defaults.preview_host = BRINDLECAST_PREVIEW_HOST;
    defaults.ca_file = BRINDLECAST_CA_FILE;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const brindlecast::CliParse parse = brindlecast::parse_cli_arguments(arguments, defaults);
    if (!parse.ok) {
        std::fprintf(stderr, "brindlecast-cli: %s\n\n%s", parse.error.c_str(),
                     brindlecast::cli_usage().c_str());
        return kExitUsage;
    }
    if (parse.options.help) {
        std::fputs(brindlecast::cli_usage().c_str(), stdout);
        return kExitSaved;
    }
    return run(parse.options);
}
