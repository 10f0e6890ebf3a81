#include "workflow/fetch_resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "demo_catalogue.h"
#include "library_fixture.h"
#include "text/cp936.h"
#include "text/request_stamp.h"

namespace brindlecast {
namespace {

namespace fs = std::filesystem;
using testing::LibraryFixture;
using Lines = std::vector<std::string>;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::set<std::string> files_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::size_t blocks_of(std::uint64_t size) { return static_cast<std::size_t>((size + 10239) / 10240); }

// Builds the log messages a run should write, with the fixture's hosts.
class Expect {
public:
    explicit Expect(LibraryFixture& fixture)
        : resource_(fixture.resource_host()),
          preview_(fixture.preview_host()),
          run_(fixture.run_directory().string()),
          stamp_(make_request_stamp(false, fixture.clock)) {}

    Lines detail(const std::string& case_id) const {
        return {"链接获取成功,http://" + resource_ + "/api/open/reslib/content/detail?id=" + case_id +
                "&_=" + stamp_};
    }
    Lines head(const std::string& case_id, const std::string& title, const std::string& author) const {
        Lines lines = detail(case_id);
        lines.push_back("Json解析成功");
        lines.push_back(title.empty() ? "标题获取失败,请重试!" : "标题获取成功:" + title);
        lines.push_back(author.empty() ? "作者获取失败,请重试!" : "作者获取成功:" + author);
        return lines;
    }
    Lines document_until_address(const std::string& name) const {
        return {"预览地址获取成功:https://" + preview_ + "/view/" + name,
                "PDF配置文件地址拼接成功: https://" + preview_ + "/content/" + name + ".json",
                "下载地址获取成功: https://" + preview_ + "/files/" + name + ".pdf"};
    }
    Lines document(const std::string& name, const std::string& saved_as) const {
        Lines lines = document_until_address(name);
        lines.push_back("文件下载成功,文件名为: " + run_ + "/" + saved_as);
        return lines;
    }
    Lines video_until_meta(const std::string& key) const {
        return {"预览地址获取成功:" + key,
                "视频配置地址获取成功:http://" + resource_ + "/api/open/file/get?keyList=" + key +
                    "&typeList=mp4&_=" + stamp_,
                "视频解码地址获取成功: http://" + resource_ + "/videos/" + key + "/meta.json"};
    }
    Lines video_until_address(const std::string& key, const std::string& file) const {
        Lines lines = video_until_meta(key);
        lines.push_back("视频下载地址获取成功: http://" + resource_ + "/videos/" + key + "/" + file);
        return lines;
    }
    Lines video(const std::string& key, const std::string& file, const std::string& saved_as) const {
        Lines lines = video_until_address(key, file);
        lines.push_back("视频下载成功,文件名为: " + run_ + "/" + saved_as);
        return lines;
    }
    static Lines no_preview() { return {"预览地址获取失败,请重试!"}; }

    const std::string& run() const { return run_; }

private:
    std::string resource_;
    std::string preview_;
    std::string run_;
    std::string stamp_;
};

Lines join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(FetchResources, FullEntryLogsEveryStepAndSavesThePdfAndBothVideos) {
    LibraryFixture fixture(demo::demo_catalogue());
    const Expect expect(fixture);
    RunReport report;
    const std::string result = fetch_resources(demo::kCaseFull, fixture.environment(), &report);

    const std::string title = "案例研究：城市更新";
    EXPECT_EQ(fixture.messages_without_progress(),
              join({expect.head(demo::kCaseFull, title, "张三"),
                    expect.document("city-renewal", title + ".pdf"),
                    expect.video("city-renewal-1", "city-renewal-1.mp4", "city-renewal-1.mp4"),
                    expect.video("city-renewal-2", "city-renewal-2.mp4", "city-renewal-2.mp4")}));

    // Whole lines, byte for byte in code page 936.
    ASSERT_GE(fixture.log.lines.size(), 2u);
    EXPECT_EQ(fixture.log.lines[1], cp936("12/9 14:05:09: Json解析成功\r\n"));

    // The files hold exactly what the servers sent.
    const demo::Catalogue& catalogue = fixture.library().catalogue();
    const auto& video1 = catalogue.videos.at("city-renewal-1").video;
    const auto& video2 = catalogue.videos.at("city-renewal-2").video;
    EXPECT_EQ(read_file(fixture.run_directory() / (title + ".pdf")), demo::demo_full_pdf());
    EXPECT_EQ(read_file(fixture.run_directory() / "city-renewal-1.mp4"), video1.all_bytes());
    EXPECT_EQ(read_file(fixture.run_directory() / "city-renewal-2.mp4"), video2.all_bytes());
    EXPECT_EQ(files_in(fixture.run_directory()),
              (std::set<std::string>{title + ".pdf", "city-renewal-1.mp4", "city-renewal-2.mp4"}));

    // One progress line per block of each download, the last one at 100%.
    EXPECT_EQ(fixture.progress_line_count(),
              blocks_of(demo::demo_full_pdf().size()) + blocks_of(video1.size()) + blocks_of(video2.size()));
    const Lines lines = fixture.log_lines();
    const auto saved_line = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("文件下载成功") != std::string::npos;
    });
    ASSERT_NE(saved_line, lines.begin());
    EXPECT_EQ(*(saved_line - 1), std::string(testing::kFixtureStamp) + "已下载:100%\r\n");

    // The last working text is the second video's file name.
    EXPECT_EQ(result, "city-renewal-2.mp4");
    EXPECT_TRUE(report.details_parsed);
    EXPECT_TRUE(report.document_saved);
    EXPECT_EQ(report.videos_wanted, 2);
    EXPECT_EQ(report.videos_saved, 2);
    EXPECT_TRUE(fixture.notifier.notices.empty());
}

TEST(FetchResources, QueriesCarryAFreshThirteenDigitStampAndThePreviewServerNone) {
    LibraryFixture fixture(demo::demo_catalogue());
    fetch_resources(demo::kCaseFull, fixture.environment());
    const std::regex detail(R"(/api/open/reslib/content/detail\?id=ff808081769a6f150176a809d8d4049d&_=\d{13})");
    const std::regex file_query(R"(/api/open/file/get\?keyList=city-renewal-[12]&typeList=mp4&_=\d{13})");
    int details = 0;
    int file_queries = 0;
    for (const demo::ReceivedRequest& request : fixture.library().requests().all()) {
        SCOPED_TRACE(request.target);
        EXPECT_EQ(request.method, "GET");
        if (request.path == "/api/open/reslib/content/detail") {
            EXPECT_TRUE(std::regex_match(request.target, detail));
            ++details;
        } else if (request.path == "/api/open/file/get") {
            EXPECT_TRUE(std::regex_match(request.target, file_query));
            ++file_queries;
        } else {
            EXPECT_EQ(request.target.find("&_="), std::string::npos);
        }
    }
    EXPECT_EQ(details, 1);
    EXPECT_EQ(file_queries, 2);
}

struct FailureCase {
    const char* name;
    const char* case_id;
    // Builds the expected messages (progress left out) from the fixture's hosts.
    Lines (*expected)(const Expect&, const char* case_id);
    std::set<std::string> files;        // what the run directory holds afterwards
    std::vector<std::string> notices;   // message texts shown, in order
    bool empty_result = false;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

const FailureCase kFailureCases[] = {
    {"DetailIsAnErrorPage", demo::kCaseDetailNotJson,
     [](const Expect& e, const char* id) { return join({e.detail(id), {"Json解析失败,请重试!"}}); },
     {}, {}},
    {"DetailIsEmpty", demo::kCaseDetailEmpty,
     [](const Expect& e, const char* id) { return join({e.detail(id), {"Json解析失败,请重试!"}}); },
     {}, {}, true},
    {"TitleEmptyGivesDotPdf", demo::kCaseNoTitle,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "", "张三"), e.document("shared-doc", ".pdf"), e.no_preview(), e.no_preview()});
     },
     {".pdf"}, {}},
    {"AuthorNull", demo::kCaseNoAuthor,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "没有作者的案例", ""), e.document("shared-doc", "没有作者的案例.pdf"),
                      e.no_preview(), e.no_preview()});
     },
     {"没有作者的案例.pdf"}, {}},
    {"NoPreviewEndsOnlyTheDocumentBranch", demo::kCaseNoPreview,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "没有预览的案例", "张三"), e.no_preview(),
                      e.video("city-renewal-1", "city-renewal-1.mp4", "city-renewal-1.mp4"), e.no_preview()});
     },
     {"city-renewal-1.mp4"}, {}},
    {"ConfigurationNotJson", demo::kCaseConfigNotJson,
     [](const Expect& e, const char* id) {
         Lines document = e.document_until_address("config-not-json");
         return join({e.head(id, "配置文件损坏的案例", "张三"), {document[0], "配置文件地址拼接失败,请重试!"},
                      e.no_preview(), e.no_preview()});
     },
     {}, {}},
    {"ConfigurationWithoutSrcUrl", demo::kCaseNoSrcUrl,
     [](const Expect& e, const char* id) {
         Lines document = e.document_until_address("no-src-url");
         return join({e.head(id, "缺少下载地址的案例", "张三"),
                      {document[0], document[1], "下载地址获取失败,请重试!"}, e.no_preview(), e.no_preview()});
     },
     {}, {}},
    {"PdfAnswers404", demo::kCasePdfNotFound,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "文件不存在的案例", "张三"), e.document_until_address("missing-pdf"),
                      e.no_preview(), e.no_preview()});
     },
     {}, {"下载失败,服务器返回状态: 404"}},
    {"PdfCutMidBody", demo::kCasePdfCut,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "下载中断的案例", "张三"), e.document_until_address("cut-pdf"),
                      e.no_preview(), e.no_preview()});
     },
     {}, {"读文件出错!"}},
    {"FileQueryNotJson", demo::kCaseFileQueryNotJson,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "视频查询出错的案例", "张三"), e.document("shared-doc", "视频查询出错的案例.pdf"),
                      {"预览地址获取成功:bad-file-query", "视频配置地址获取失败,请重试!"},
                      e.video("city-renewal-2", "city-renewal-2.mp4", "city-renewal-2.mp4")});
     },
     {"视频查询出错的案例.pdf", "city-renewal-2.mp4"}, {}},
    {"RecordSentAsObject", demo::kCaseRecordObject,
     [](const Expect& e, const char* id) {
         Lines video = e.video_until_meta("record-object");
         return join({e.head(id, "视频记录为对象的案例", "张三"), e.document("shared-doc", "视频记录为对象的案例.pdf"),
                      {video[0], video[1], "视频下载地址获取失败,请重试!"},
                      e.video("city-renewal-2", "city-renewal-2.mp4", "city-renewal-2.mp4")});
     },
     {"视频记录为对象的案例.pdf", "city-renewal-2.mp4"}, {}},
    {"FileQueryWithoutData", demo::kCaseNoFileData,
     [](const Expect& e, const char* id) {
         Lines video = e.video_until_meta("no-file-data");
         return join({e.head(id, "视频记录缺失的案例", "张三"), e.document("shared-doc", "视频记录缺失的案例.pdf"),
                      {video[0], video[1], "视频下载地址获取失败,请重试!"},
                      e.video("city-renewal-2", "city-renewal-2.mp4", "city-renewal-2.mp4")});
     },
     {"视频记录缺失的案例.pdf", "city-renewal-2.mp4"}, {}},
    {"HttpUrlEmptyStillLoggedThenFails", demo::kCaseHttpUrlEmpty,
     [](const Expect& e, const char* id) {
         Lines video = e.video_until_meta("empty-http-url");
         return join({e.head(id, "视频地址为空的案例", "张三"), e.document("shared-doc", "视频地址为空的案例.pdf"),
                      {video[0], video[1], "视频解码地址获取成功: ", "视频下载地址获取失败,请重试!"},
                      e.video("city-renewal-2", "city-renewal-2.mp4", "city-renewal-2.mp4")});
     },
     {"视频地址为空的案例.pdf", "city-renewal-2.mp4"}, {}},
    {"DescriptionNotJson", demo::kCaseMetaNotJson,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "视频描述损坏的案例", "张三"), e.document("shared-doc", "视频描述损坏的案例.pdf"),
                      e.video_until_meta("meta-not-json"), {"视频下载地址获取失败,请重试!"},
                      e.video("city-renewal-2", "city-renewal-2.mp4", "city-renewal-2.mp4")});
     },
     {"视频描述损坏的案例.pdf", "city-renewal-2.mp4"}, {}},
    {"VideoCutMidBody", demo::kCaseVideoCut,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "视频下载中断的案例", "张三"), e.document("shared-doc", "视频下载中断的案例.pdf"),
                      e.video_until_address("cut-video", "cut-video.mp4"),
                      e.video("city-renewal-2", "city-renewal-2.mp4", "city-renewal-2.mp4")});
     },
     {"视频下载中断的案例.pdf", "city-renewal-2.mp4"}, {"读文件出错!"}},
    {"FewerThanFiveAttrs", demo::kCaseShortAttrs,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "属性不全的案例", ""), e.no_preview(), e.no_preview(), e.no_preview()});
     },
     {}, {}},
    {"NoVideoKeysAfterTenAttrs", demo::kCaseNoVideos,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "案例研究：乡村振兴", "李四"), e.document("rural-revival", "案例研究：乡村振兴.pdf"),
                      e.no_preview(), e.no_preview()});
     },
     {"案例研究：乡村振兴.pdf"}, {}},
    {"SameVideoKeyTwiceSavesTheFileOnce", demo::kCaseSameVideoTwice,
     [](const Expect& e, const char* id) {
         return join({e.head(id, "同一视频两次的案例", "张三"), e.document("shared-doc", "同一视频两次的案例.pdf"),
                      e.video("city-renewal-1", "city-renewal-1.mp4", "city-renewal-1.mp4"),
                      e.video("city-renewal-1", "city-renewal-1.mp4", "city-renewal-1.mp4")});
     },
     {"同一视频两次的案例.pdf", "city-renewal-1.mp4"}, {}},
};

class FetchResourcesCase : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FetchResourcesCase, LogsTheStepsAndKeepsOnlyWhatArrivedWhole) {
    const FailureCase& c = GetParam();
    LibraryFixture fixture(demo::demo_catalogue());
    const Expect expect(fixture);
    const std::string result = fetch_resources(c.case_id, fixture.environment());

    EXPECT_EQ(fixture.messages_without_progress(), c.expected(expect, c.case_id));
    EXPECT_EQ(files_in(fixture.run_directory()), c.files);
    std::vector<std::string> notices;
    for (const auto& notice : fixture.notifier.notices) {
        notices.push_back(cp936_to_utf8(notice.text));
        EXPECT_EQ(cp936_to_utf8(notice.caption), "信息：");
    }
    EXPECT_EQ(notices, c.notices);
    EXPECT_EQ(result.empty(), c.empty_result);
}

INSTANTIATE_TEST_SUITE_P(Entries, FetchResourcesCase, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FetchResources, CapitalisedViewPrefixIsStillRewritten) {
    LibraryFixture fixture(demo::demo_catalogue());
    const Expect expect(fixture);
    fetch_resources(demo::kCaseUpperCasePreview, fixture.environment());
    const std::string preview = fixture.preview_host();
    const Lines messages = fixture.messages_without_progress();
    ASSERT_GE(messages.size(), 7u);
    EXPECT_EQ(messages[4], "预览地址获取成功:HTTPS://" + preview + "/VIEW/shared-doc");
    EXPECT_EQ(messages[5], "PDF配置文件地址拼接成功: https://" + preview + "/content/shared-doc.json");
    EXPECT_EQ(messages[7], "文件下载成功,文件名为: " + expect.run() + "/大写预览地址的案例.pdf");
}

TEST(FetchResources, ServerNamesNeverLeaveTheRunDirectory) {
    LibraryFixture fixture(demo::demo_catalogue());
    // Run one level down, so that the fixture's own folder is where "../" would lead.
    const fs::path run = fixture.run_directory() / "run";
    fs::create_directory(run);
    Environment environment = fixture.environment();
    environment.run_directory = utf8_to_cp936(run.string());
    fetch_resources(demo::kCaseUnsafeNames, environment);

    EXPECT_EQ(files_in(run), (std::set<std::string>{".._.._案例_研究.pdf", ".._escape.mp4", "sub_dir.mp4"}));
    EXPECT_EQ(files_in(fixture.run_directory()), (std::set<std::string>{"run"}));
    const Lines messages = fixture.messages_without_progress();
    for (const std::string& saved : {"文件下载成功,文件名为: " + run.string() + "/.._.._案例_研究.pdf",
                                     "视频下载成功,文件名为: " + run.string() + "/.._escape.mp4",
                                     "视频下载成功,文件名为: " + run.string() + "/sub_dir.mp4"}) {
        EXPECT_NE(std::find(messages.begin(), messages.end(), saved), messages.end()) << saved;
    }
}

TEST(FetchResources, AVeryLongTitleIsCutSoThePdfCanStillBeSaved) {
    demo::Catalogue catalogue = demo::demo_catalogue();
    std::string title;
    for (int i = 0; i < 200; ++i) title += "长";
    demo::CaseEntry entry = catalogue.cases.at(demo::kCaseNoVideos);
    entry.title = title;
    catalogue.cases["long-title"] = entry;
    LibraryFixture fixture(std::move(catalogue));
    RunReport report;
    fetch_resources("long-title", fixture.environment(), &report);

    EXPECT_TRUE(report.document_saved);
    EXPECT_TRUE(fixture.notifier.notices.empty());
    ASSERT_EQ(report.saved_paths.size(), 1u);
    const fs::path saved(cp936_to_utf8(report.saved_paths[0]));
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_EQ(saved.extension(), ".pdf");
    EXPECT_EQ(saved.stem().string().rfind("长长长", 0), 0u);
}

TEST(FetchResources, ResultIsTheWorkingTextTheLastStepThatSetItLeft) {
    demo::Catalogue catalogue = demo::demo_catalogue();
    // Entries whose second video branch is the last to set the working text.
    for (const char* key : {"bad-file-query", "record-object", "no-file-data", "empty-http-url",
                            "meta-not-json"}) {
        demo::CaseEntry entry = catalogue.cases.at(demo::kCaseNoVideos);
        entry.attr_count = 12;
        entry.video_key1.reset();
        entry.video_key2 = key;
        catalogue.cases[std::string("last-") + key] = entry;
    }
    LibraryFixture fixture(std::move(catalogue));
    const demo::Catalogue& served = fixture.library().catalogue();
    const auto html = [](int status) { return demo::RawAnswer::html_error_page(status).body; };
    const struct Case {
        std::string case_id;
        std::string result;  // UTF-8
    } cases[] = {
        // The detail answer when it does not parse, or when nothing was queried after it.
        {demo::kCaseDetailNotJson, html(502)},
        {demo::kCaseShortAttrs,
         fixture.library().expand(demo::detail_answer(demo::kCaseShortAttrs,
                                                      served.cases.at(demo::kCaseShortAttrs)))},
        // The configuration answer when no video branch sent a query.
        {demo::kCaseNoVideos,
         fixture.library().expand(
             demo::preview_config_answer("rural-revival", served.previews.at("rural-revival")))},
        {demo::kCaseNoSrcUrl,
         fixture.library().expand(
             demo::preview_config_answer("no-src-url", served.previews.at("no-src-url")))},
        // Otherwise what the last video branch that sent a query left.
        {"last-bad-file-query", html(500)},
        {"last-record-object", "[object Object]"},
        {"last-no-file-data", ""},
        {"last-empty-http-url", ""},
        {"last-meta-not-json", html(404)},
        {demo::kCaseNoPreview, "city-renewal-1.mp4"},
        {demo::kCaseFull, "city-renewal-2.mp4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.case_id);
        EXPECT_EQ(cp936_to_utf8(fetch_resources(c.case_id, fixture.environment())), c.result);
    }
}

TEST(FetchResources, AnUnreachableLibraryGivesAnEmptyResult) {
    LibraryFixture fixture(demo::demo_catalogue());
    Environment environment = fixture.environment();
    environment.resource_host = "127.0.0.1:1";  // nothing listens on port 1
    RunReport report;
    EXPECT_EQ(fetch_resources(demo::kCaseFull, environment, &report), "");
    EXPECT_FALSE(report.details_parsed);
    EXPECT_EQ(fixture.messages_without_progress().back(), "Json解析失败,请重试!");
}

}  // namespace
}  // namespace brindlecast
