// Numbers in the script engine's text form.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json/json_document.h"
#include "json/json_number.h"

namespace brindlecast {
namespace {

TEST(NumberToText, FollowsTheEcmaScriptLayout) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {12, "12"},
        {-12, "-12"},
        {1.5, "1.5"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1e21, "1e+21"},
        {1e21 * 1.5, "1.5e+21"},
        {999999999999999900000.0, "999999999999999900000"},
        {123456789012345680000.0, "123456789012345680000"},
        {1e15, "1000000000000000"},
        {9007199254740993.0, "9007199254740992"},
        {0.000001, "0.000001"},
        {0.0000015, "0.0000015"},
        {1e-7, "1e-7"},
        {-1.25e-7, "-1.25e-7"},
        {5e-324, "5e-324"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {123.456, "123.456"},
        {-0.5, "-0.5"},
        {std::numeric_limits<double>::infinity(), "Infinity"},
        {-std::numeric_limits<double>::infinity(), "-Infinity"},
        {std::nan(""), "NaN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(number_to_text(c.value), c.text);
    }
}

TEST(JsonDocumentNumbers, ReadsNumberTextsAsTheEngineDoes) {
    struct Case {
        const char* json;
        const char* text;
        const char* as_json;
    };
    const Case cases[] = {
        {"1E2", "100", "100"},
        {"-0.0", "0", "0"},
        {"1e400", "Infinity", "null"},
        {"-1e400", "-Infinity", "null"},
        {"1e-400", "0", "0"},
        {"0.000000000000000000000000000000000000000000000000001e-400", "0", "0"},
        {"123456789012345678901234567890", "1.2345678901234568e+29", "1.2345678901234568e+29"},
        {"1.00000000000000011102230246251565404236316680908203125", "1", "1"},
        {"2.5e+3", "2500", "2500"},
        {"0.1e1", "1", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        JsonDocument doc;
        ASSERT_TRUE(doc.parse(std::string("[") + c.json + "]"));
        EXPECT_EQ(doc.get_value("[0]"), c.text);
        EXPECT_EQ(doc.get_value("[0]", true), c.as_json);
    }
}

}  // namespace
}  // namespace brindlecast
