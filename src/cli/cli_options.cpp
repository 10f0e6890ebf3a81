#include "cli/cli_options.h"

namespace brindlecast {

CliParse parse_cli_arguments(const std::vector<std::string>& arguments, CliOptions defaults) {
    CliParse parse;
    parse.options = std::move(defaults);
    bool have_address = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            parse.options.help = true;
            parse.ok = true;
            return parse;
        }
        std::string* target = nullptr;
        if (argument == "--resource-host") target = &parse.options.resource_host;
        else if (argument == "--preview-host") target = &parse.options.preview_host;
        else if (argument == "--ca-file") target = &parse.options.ca_file;
        else if (argument == "--output-dir") target = &parse.options.output_dir;
        if (target != nullptr) {
            if (i + 1 >= arguments.size()) {
                parse.error = argument + " needs a value";
                return parse;
            }
            *target = arguments[++i];
            continue;
        }
        // An address may itself start with "-" only after "--".
        if (argument == "--" && i + 1 < arguments.size() && !have_address) {
            parse.options.address = arguments[++i];
            have_address = true;
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            parse.error = "unknown option " + argument;
            return parse;
        }
        if (have_address) {
            parse.error = "only one address, please";
            return parse;
        }
        parse.options.address = argument;
        have_address = true;
    }
    if (!have_address) {
        parse.error = "no address given";
        return parse;
    }
    parse.ok = true;
    return parse;
}

std::string cli_usage() {
    return "Usage: brindlecast-cli [--resource-host H] [--preview-host H] [--ca-file F]\n"
           "                       [--output-dir D] ADDRESS\n"
           "\n"
           "Fetches the PDF and up to two videos of the case whose page address is\n"
           "ADDRESS (it ends in ...cases?id=<identifier>) into the output directory,\n"
           "logging every step on standard output. Notices go to standard error.\n"
           "\n"
           "  --resource-host H  resource library host[:port], reached over http://\n"
           "  --preview-host H   document-preview host[:port], reached over https://\n"
           "  --ca-file F        CA certificates (PEM) trusted for HTTPS downloads\n"
           "  --output-dir D     where files are saved (default: the current directory)\n"
           "  --help             this text\n"
           "\n"
           "Exit status: 0 when the PDF and every video the entry names were saved,\n"
           "1 when something was not, 2 for an address without an identifier or bad usage.\n";
}

}  // namespace brindlecast
