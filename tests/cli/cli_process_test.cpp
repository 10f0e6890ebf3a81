// brindlecast-cli as a user runs it: a separate process against the demo
// library on loopback.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "demo_catalogue.h"
#include "library_fixture.h"
#include "loopback_server.h"
#include "run_process.h"

namespace brindlecast {
namespace {

namespace fs = std::filesystem;
using testing::LibraryFixture;
using testing::ProcessResult;

const std::string kCli = BRINDLECAST_CLI_PATH;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Drops the "M/d hh:mm:ss: " stamp of a log line.
std::string message_of(const std::string& line) {
    static const std::regex stamp(R"(^\d{1,2}/\d{1,2} \d\d:\d\d:\d\d: )");
    return std::regex_replace(line, stamp, "", std::regex_constants::format_first_only);
}

class CliRun : public ::testing::Test {
protected:
    CliRun() : fixture_(demo::demo_catalogue()), output_(fixture_.run_directory() / "out") {}

    ProcessResult run_case(const std::string& case_id) {
        return testing::run_process(
            kCli, {"--resource-host", fixture_.resource_host(), "--preview-host", fixture_.preview_host(),
                   "--ca-file", testing::test_certificate_path(), "--output-dir", output_.string(),
                   "http://" + fixture_.resource_host() + "/cases?id=" + case_id});
    }

    LibraryFixture fixture_;
    fs::path output_;
};

TEST_F(CliRun, FullEntryPrintsTheLogAsUtf8LinesAndExitsZero) {
    const ProcessResult result = run_case(demo::kCaseFull);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
    const auto lines = lines_of(result.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\d{1,2}/\d{1,2} \d\d:\d\d:\d\d: Json解析成功)")))
        << lines[1];
    EXPECT_EQ(message_of(lines[2]), "标题获取成功:案例研究：城市更新");
    EXPECT_EQ(message_of(lines.back()),
              "视频下载成功,文件名为: " + output_.string() + "/city-renewal-2.mp4");
    // Not a terminal: one progress line per block, as the log has them.
    std::size_t progress = 0;
    for (const auto& line : lines) progress += message_of(line).rfind("已下载:", 0) == 0 ? 1 : 0;
    EXPECT_GT(progress, 3u);
    EXPECT_TRUE(fs::exists(output_ / "案例研究：城市更新.pdf"));
    EXPECT_TRUE(fs::exists(output_ / "city-renewal-1.mp4"));
    EXPECT_TRUE(fs::exists(output_ / "city-renewal-2.mp4"));
}

TEST_F(CliRun, ExitCodeTellsWhetherEverythingTheEntryNamesWasSaved) {
    struct Case {
        const char* case_id;
        int exit_code;
        const char* err;
        const char* last_message;
    };
    const Case cases[] = {
        {demo::kCaseNoVideos, 0, "", "预览地址获取失败,请重试!"},
        {demo::kCasePdfNotFound, 1, "信息：下载失败,服务器返回状态: 404\n", "预览地址获取失败,请重试!"},
        {demo::kCaseVideoCut, 1, "信息：读文件出错!\n", nullptr},
        {demo::kCaseDetailEmpty, 1, "", "获取失败"},
        {demo::kCaseDetailNotJson, 1, "", "Json解析失败,请重试!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.case_id);
        const ProcessResult result = run_case(c.case_id);
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(result.err, c.err);
        if (c.last_message != nullptr) {
            const auto lines = lines_of(result.out);
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(message_of(lines.back()), c.last_message);
        }
    }
}

TEST_F(CliRun, AnAddressWithoutIdentifierShowsTheExpectedFormAndExitsTwo) {
    const ProcessResult result = testing::run_process(
        kCli, {"--resource-host", "lib.example", "http://lib.example/cases?ID=abc"});
    EXPECT_EQ(result.exit_code, 2);
    const auto lines = lines_of(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_EQ(message_of(lines[0]), "链接非法,请检查链接正确性.");
    EXPECT_EQ(lines[1], "示例: http://lib.example/cases?id=ff808081769a6f150176a809d8d4049d");
    EXPECT_TRUE(fixture_.library().requests().all().empty());
}

TEST(CliUsage, HelpAndBadUsage) {
    const ProcessResult help = testing::run_process(kCli, {"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("Usage: brindlecast-cli"), std::string::npos);

    const ProcessResult none = testing::run_process(kCli, {});
    EXPECT_EQ(none.exit_code, 2);
    EXPECT_NE(none.err.find("no address given"), std::string::npos);
}

}  // namespace
}  // namespace brindlecast
