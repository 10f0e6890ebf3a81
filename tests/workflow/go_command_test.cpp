#include "workflow/go_command.h"

#include <gtest/gtest.h>

namespace brindlecast {
namespace {

TEST(ExtractCaseId, KeepsWhatFollowsTheLastExactIdMarker) {
    struct Case {
        const char* address;
        const char* expected;
    };
    const Case cases[] = {
        {"http://lib.example/cases?id=ff808081769a6f150176a809d8d4049d",
         "ff808081769a6f150176a809d8d4049d"},
        {"http://lib.example/cases?uid=7&id=abc", "abc"},
        {"http://lib.example/cases?id=abc&uid=7", "7"},
        {"http://lib.example/cases?id=abc&from=x", "abc&from=x"},
        {"http://lib.example/cases?id=abc ", "abc "},
        {"http://lib.example/cases?ID=abc", ""},
        {"http://lib.example/cases?id=", ""},
        {"http://lib.example/cases", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(extract_case_id(c.address), c.expected);
    }
}

}  // namespace
}  // namespace brindlecast
