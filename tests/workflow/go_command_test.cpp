#include "workflow/go_command.h"

#include <gtest/gtest.h>

#include "demo_catalogue.h"
#include "library_fixture.h"
#include "text/cp936.h"

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

TEST(RunGoCommand, AnAddressWithoutIdentifierLogsTheExpectedFormAndQueriesNothing) {
    testing::LibraryFixture fixture(demo::demo_catalogue());
    const std::string host = fixture.resource_host();
    // One log line whose message carries its own CR LF, so the box shows two.
    const std::string line = cp936("12/9 14:05:09: 链接非法,请检查链接正确性.\r\n示例: http://" + host +
                                   "/cases?id=ff808081769a6f150176a809d8d4049d\r\n");
    for (const std::string& address :
         {"http://" + host + "/cases?ID=" + demo::kCaseFull, "http://" + host + "/cases?id=",
          std::string()}) {
        SCOPED_TRACE(address);
        fixture.log.lines.clear();
        const GoOutcome outcome = run_go_command(address, fixture.environment());
        EXPECT_EQ(outcome.kind, GoOutcome::Kind::invalid_address);
        EXPECT_EQ(outcome.result, "");
        EXPECT_EQ(fixture.log.lines, std::vector<std::string>{line});
    }
    EXPECT_TRUE(fixture.library().requests().all().empty());
}

TEST(RunGoCommand, AnEmptyResultIsAnsweredWithTheFailureLineAfterTheWorkflowLines) {
    testing::LibraryFixture fixture(demo::demo_catalogue());
    const std::string origin = "http://" + fixture.resource_host();

    const GoOutcome empty = run_go_command(origin + "/cases?id=" + demo::kCaseDetailEmpty,
                                           fixture.environment());
    EXPECT_EQ(empty.kind, GoOutcome::Kind::failed);
    EXPECT_EQ(empty.result, "");
    const auto messages = fixture.messages_without_progress();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1], "Json解析失败,请重试!");
    EXPECT_EQ(fixture.log.lines.back(), cp936("12/9 14:05:09: 获取失败\r\n"));

    // An answer that does not parse is still a non-empty result: no failure line.
    fixture.log.lines.clear();
    const GoOutcome page = run_go_command(origin + "/cases?id=" + demo::kCaseDetailNotJson,
                                          fixture.environment());
    EXPECT_EQ(page.kind, GoOutcome::Kind::succeeded);
    EXPECT_NE(page.result.find("502 Error"), std::string::npos);
    EXPECT_EQ(fixture.messages_without_progress().back(), "Json解析失败,请重试!");
}

}  // namespace
}  // namespace brindlecast
