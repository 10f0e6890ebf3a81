#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace brindlecast {
namespace {

CliOptions defaults() {
    CliOptions d;
    d.resource_host = "res.default";
    d.preview_host = "pre.default";
    return d;
}

TEST(ParseCliArguments, TakesOptionsOverTheDefaults) {
    const CliParse parse = parse_cli_arguments(
        {"--resource-host", "r:1", "--output-dir", "out", "--ca-file", "ca.pem",
         "http://r:1/cases?id=abc"},
        defaults());
    ASSERT_TRUE(parse.ok) << parse.error;
    EXPECT_EQ(parse.options.resource_host, "r:1");
    EXPECT_EQ(parse.options.preview_host, "pre.default");
    EXPECT_EQ(parse.options.output_dir, "out");
    EXPECT_EQ(parse.options.ca_file, "ca.pem");
    EXPECT_EQ(parse.options.address, "http://r:1/cases?id=abc");
    EXPECT_FALSE(parse.options.help);
}

TEST(ParseCliArguments, RefusesWhatItCannotUse) {
    struct Case {
        std::vector<std::string> arguments;
        const char* why;
    };
    const Case cases[] = {
        {{}, "no address given"},
        {{"--output-dir"}, "--output-dir needs a value"},
        {{"--colour", "x"}, "unknown option --colour"},
        {{"a", "b"}, "only one address, please"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const CliParse parse = parse_cli_arguments(c.arguments, defaults());
        EXPECT_FALSE(parse.ok);
        EXPECT_EQ(parse.error, c.why);
    }
}

TEST(ParseCliArguments, HelpWinsAndAnAddressMayFollowDoubleDash) {
    EXPECT_TRUE(parse_cli_arguments({"x", "--help"}, defaults()).options.help);
    const CliParse parse = parse_cli_arguments({"--", "-odd"}, defaults());
    ASSERT_TRUE(parse.ok);
    EXPECT_EQ(parse.options.address, "-odd");
}

}  // namespace
}  // namespace brindlecast
