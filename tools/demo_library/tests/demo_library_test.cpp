#include <algorithm>
#include <set>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "demo_servers.h"
#include "pdf_check.h"

namespace brindlecast::demo {
namespace {

using nlohmann::json;
using testing::DemoServers;
using testing::fetch;

// A value's text the way the client reads it: a string gives its own text, an
// object "[object Object]", null or missing the empty text.
std::string text_at(const json& root, const std::string& path) {
    const json* node = &root;
    std::size_t at = 0;
    while (at < path.size()) {
        if (path[at] == '.') ++at;
        if (path[at] == '[') {
            const std::size_t close = path.find(']', at);
            const std::size_t index = std::stoul(path.substr(at + 1, close - at - 1));
            if (!node->is_array() || index >= node->size()) return "";
            node = &(*node)[index];
            at = close + 1;
        } else {
            const std::size_t end = std::min(path.find_first_of(".[", at), path.size());
            const std::string name = path.substr(at, end - at);
            if (!node->is_object() || !node->contains(name)) return "";
            node = &(*node)[name];
            at = end;
        }
    }
    if (node->is_string()) return node->get<std::string>();
    if (node->is_object()) return "[object Object]";
    if (node->is_null()) return "";
    return node->dump();
}

// The client takes a text as a document only when it parses to a value other than null.
std::optional<json> parse_document(const std::string& text) {
    json value = json::parse(text, nullptr, false);
    if (value.is_discarded() || value.is_null()) return std::nullopt;
    return value;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Where the chain of one retrieval ends, walked the way the client walks it.
struct Walk {
    bool detail_parses = false;
    std::string title, author;
    std::string document;  ///< "ok", or where the document branch stopped
    std::string pdf;
    std::string videos[2];  ///< "ok <file name>", or where the branch stopped
    std::string video_bytes[2];
};

std::string walk_video(const DemoServers& servers, const std::string& key, std::string& bytes) {
    if (key.empty()) return "no key";
    auto query = parse_document(fetch(servers.resource_origin() + "/api/open/file/get?keyList=" + key +
                                      "&typeList=mp4&_=1607000000000").body);
    if (!query) return "file query not json";
    auto record = parse_document(text_at(*query, "data[0]"));
    if (!record) return "record not json";
    const std::string meta_url = text_at(*record, "httpURL");
    auto meta = parse_document(fetch(meta_url).body);
    if (!meta) return "meta not json";
    const std::string filename = text_at(*meta, "levels.ori.list[0].filename");
    const testing::Fetched video = fetch(replace_all(meta_url, "meta.json", filename));
    if (!video.complete) return "video cut";
    if (video.status != 200) return "video status " + std::to_string(video.status);
    bytes = video.body;
    return "ok " + filename;
}

Walk walk(const DemoServers& servers, const std::string& id) {
    Walk w;
    auto detail = parse_document(
        fetch(servers.resource_origin() + "/api/open/reslib/content/detail?id=" + id + "&_=1607000000000").body);
    if (!detail) return w;
    w.detail_parses = true;
    w.title = text_at(*detail, "data.attrs[0].value");
    w.author = text_at(*detail, "data.attrs[4].value");
    const std::string preview = text_at(*detail, "data.attrs[9].value");
    const std::string keys[2] = {text_at(*detail, "data.attrs[10].value"), text_at(*detail, "data.attrs[11].value")};

    w.document = [&]() -> std::string {
        if (preview.empty()) return "no preview";
        const std::string prefix = servers.preview_origin() + "/view/";
        std::string config_url = preview;
        if (lower(preview).rfind(lower(prefix), 0) == 0) {
            config_url = servers.preview_origin() + "/content/" + preview.substr(prefix.size());
        }
        auto config = parse_document(fetch(config_url + ".json").body);
        if (!config) return "config not json";
        const std::string source = text_at(*config, "srcUrl");
        if (source.empty()) return "no srcUrl";
        const testing::Fetched pdf = fetch(servers.preview_origin() + source);
        if (!pdf.complete) return "pdf cut";
        if (pdf.status != 200) return "pdf status " + std::to_string(pdf.status);
        w.pdf = pdf.body;
        return "ok";
    }();
    for (int i = 0; i < 2; ++i) w.videos[i] = walk_video(servers, keys[i], w.video_bytes[i]);
    return w;
}

class DemoCatalogueServed : public ::testing::Test {
protected:
    DemoServers servers_{demo_catalogue()};
    const Catalogue& catalogue() { return servers_.library().catalogue(); }
};

TEST_F(DemoCatalogueServed, EachEntryStopsWhereItsHeaderSays) {
    struct Case {
        const char* id;
        bool detail_parses;
        const char* title;
        const char* author;
        const char* document;
        const char* video1;
        const char* video2;
    } cases[] = {
        {kCaseFull, true, "案例研究：城市更新", "张三", "ok", "ok city-renewal-1.mp4", "ok city-renewal-2.mp4"},
        {kCaseNoVideos, true, "案例研究：乡村振兴", "李四", "ok", "no key", "no key"},
        {kCaseDetailNotJson, false, "", "", "", "", ""},
        {kCaseDetailEmpty, false, "", "", "", "", ""},
        {kCaseNoTitle, true, "", "张三", "ok", "no key", "no key"},
        {kCaseNoAuthor, true, "没有作者的案例", "", "ok", "no key", "no key"},
        {kCaseNoPreview, true, "没有预览的案例", "张三", "no preview", "ok city-renewal-1.mp4", "no key"},
        {kCaseConfigNotJson, true, "配置文件损坏的案例", "张三", "config not json", "no key", "no key"},
        {kCaseNoSrcUrl, true, "缺少下载地址的案例", "张三", "no srcUrl", "no key", "no key"},
        {kCasePdfNotFound, true, "文件不存在的案例", "张三", "pdf status 404", "no key", "no key"},
        {kCasePdfCut, true, "下载中断的案例", "张三", "pdf cut", "no key", "no key"},
        {kCaseFileQueryNotJson, true, "视频查询出错的案例", "张三", "ok", "file query not json", "ok city-renewal-2.mp4"},
        {kCaseRecordObject, true, "视频记录为对象的案例", "张三", "ok", "record not json", "ok city-renewal-2.mp4"},
        {kCaseNoFileData, true, "视频记录缺失的案例", "张三", "ok", "record not json", "ok city-renewal-2.mp4"},
        {kCaseHttpUrlEmpty, true, "视频地址为空的案例", "张三", "ok", "meta not json", "ok city-renewal-2.mp4"},
        {kCaseMetaNotJson, true, "视频描述损坏的案例", "张三", "ok", "meta not json", "ok city-renewal-2.mp4"},
        {kCaseVideoCut, true, "视频下载中断的案例", "张三", "ok", "video cut", "ok city-renewal-2.mp4"},
        {kCaseUnsafeNames, true, "../../案例/研究", "张三", "ok", "ok ../escape.mp4", "ok sub/dir.mp4"},
        {kCaseSameVideoTwice, true, "同一视频两次的案例", "张三", "ok", "ok city-renewal-1.mp4", "ok city-renewal-1.mp4"},
        {kCaseUpperCasePreview, true, "大写预览地址的案例", "张三", "ok", "no key", "no key"},
        {kCaseShortAttrs, true, "属性不全的案例", "", "no preview", "no key", "no key"},
    };
    std::set<std::string> covered;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        covered.insert(c.id);
        const Walk w = walk(servers_, c.id);
        EXPECT_EQ(w.detail_parses, c.detail_parses);
        EXPECT_EQ(w.title, c.title);
        EXPECT_EQ(w.author, c.author);
        EXPECT_EQ(w.document, c.document);
        EXPECT_EQ(w.videos[0], c.video1);
        EXPECT_EQ(w.videos[1], c.video2);
        if (w.document == "ok") {
            EXPECT_EQ(testing::read_pdf(w.pdf).fault, "");
        }
    }
    // Every entry but the two benchmark ones has a row, so a new entry cannot go untested.
    for (const auto& [id, entry] : catalogue().cases) {
        if (id != kCaseLarge && id != kCaseHugeVideo) {
            EXPECT_TRUE(covered.count(id)) << id << " has no row";
        }
    }
}

TEST_F(DemoCatalogueServed, FullEntryServesItsDocumentAndVideosByteForByte) {
    const Walk w = walk(servers_, kCaseFull);
    EXPECT_EQ(w.pdf, demo_full_pdf());
    EXPECT_EQ(w.video_bytes[0], catalogue().videos.at("city-renewal-1").video.all_bytes());
    EXPECT_EQ(w.video_bytes[1], catalogue().videos.at("city-renewal-2").video.all_bytes());
    EXPECT_NE(w.video_bytes[0], w.video_bytes[1]);
}

TEST_F(DemoCatalogueServed, AnswersHaveTheShapesTheClientReads) {
    const testing::Fetched detail = fetch(servers_.resource_origin() +
                                          "/api/open/reslib/content/detail?id=" + kCaseFull + "&_=1607000000000");
    ASSERT_EQ(detail.status, 200);
    EXPECT_EQ(httplib::detail::get_header_value(detail.headers, "Content-Type", 0, ""),
              std::string("application/json;charset=UTF-8"));
    const json d = json::parse(detail.body);
    ASSERT_EQ(d["data"]["attrs"].size(), 12u);
    EXPECT_EQ(d["data"]["attrs"][9]["value"], "https://" + servers_.preview_host() + "/view/city-renewal");
    EXPECT_EQ(d["data"]["attrs"][10]["value"], "city-renewal-1");

    const json config = json::parse(fetch(servers_.preview_origin() + "/content/city-renewal.json").body);
    EXPECT_EQ(config["srcUrl"], "/files/city-renewal.pdf");

    const json query = json::parse(
        fetch(servers_.resource_origin() + "/api/open/file/get?keyList=city-renewal-1&typeList=mp4&_=1").body);
    ASSERT_TRUE(query["data"][0].is_string()) << "the record must come as a string holding JSON";
    const json record = json::parse(query["data"][0].get<std::string>());
    EXPECT_EQ(record["httpURL"], "http://" + servers_.resource_host() + "/videos/city-renewal-1/meta.json");

    const json meta = json::parse(fetch(record["httpURL"].get<std::string>()).body);
    EXPECT_EQ(meta["levels"]["ori"]["list"][0]["filename"], "city-renewal-1.mp4");

    const json object_query = json::parse(
        fetch(servers_.resource_origin() + "/api/open/file/get?keyList=record-object&typeList=mp4&_=1").body);
    EXPECT_TRUE(object_query["data"][0].is_object());

    const json upper = json::parse(fetch(servers_.resource_origin() + "/api/open/reslib/content/detail?id=" +
                                         kCaseUpperCasePreview + "&_=1").body);
    EXPECT_EQ(upper["data"]["attrs"][9]["value"], "HTTPS://" + servers_.preview_host() + "/VIEW/shared-doc");
}

TEST_F(DemoCatalogueServed, UnknownIdsAndKeysGetJsonWithoutData) {
    const json detail = json::parse(
        fetch(servers_.resource_origin() + "/api/open/reslib/content/detail?id=00000000000000000000000000000000&_=1").body);
    EXPECT_TRUE(detail["data"].is_null());
    const json query = json::parse(
        fetch(servers_.resource_origin() + "/api/open/file/get?keyList=nothing&typeList=mp4&_=1").body);
    EXPECT_TRUE(query["data"].empty());
    EXPECT_EQ(fetch(servers_.resource_origin() + "/videos/nothing/clip.mp4").status, 404);
}

TEST_F(DemoCatalogueServed, FilesHonourRangesFromAnyOffset) {
    // The client always asks for a range, from offset 0 on a fresh download.
    const testing::Fetched whole = fetch(servers_.preview_origin() + "/files/city-renewal.pdf", {{"Range", "bytes=0-"}});
    EXPECT_EQ(whole.status, 206);
    EXPECT_EQ(whole.body, demo_full_pdf());

    // The end of the 200 MiB video, without the server producing the rest.
    const Payload& huge = catalogue().videos.at("huge").video;
    const std::uint64_t from = huge.size() - 200;
    const testing::Fetched end =
        fetch(servers_.resource_origin() + "/videos/huge/huge.mp4", {{"Range", "bytes=" + std::to_string(from) + "-"}});
    EXPECT_EQ(end.status, 206);
    EXPECT_EQ(end.body, huge.bytes(from, 200));
    EXPECT_EQ(httplib::detail::get_header_value(end.headers, "Content-Range", 0, ""),
              "bytes " + std::to_string(from) + "-" + std::to_string(huge.size() - 1) + "/" +
                  std::to_string(huge.size()));
}

TEST_F(DemoCatalogueServed, LargeDocumentStreamsAsAValidPdf) {
    const testing::Fetched pdf = fetch(servers_.preview_origin() + "/files/large-doc.pdf");
    ASSERT_TRUE(pdf.complete);
    EXPECT_EQ(pdf.body.size(), catalogue().preview_files.at("/files/large-doc.pdf").size());
    EXPECT_EQ(testing::read_pdf(pdf.body).fault, "");
}

TEST_F(DemoCatalogueServed, CutFilesAnnounceTheirFullSizeAndStopEarly) {
    httplib::Client client(servers_.resource_origin());
    std::string received;
    std::string announced;
    auto result = client.Get(
        "/videos/cut-video/cut-video.mp4",
        [&](const httplib::Response& response) {
            announced = response.get_header_value("Content-Length");
            return true;
        },
        [&](const char* data, std::size_t size) {
            received.append(data, size);
            return true;
        });
    EXPECT_FALSE(result) << "the body must end before its announced length";
    EXPECT_EQ(announced, "100000");
    EXPECT_EQ(received, catalogue().videos.at("cut-video").video.bytes(0, 40000));
}

TEST_F(DemoCatalogueServed, RecordsEveryRequestWithTargetAndHeaders) {
    const std::string target = std::string("/api/open/reslib/content/detail?id=") + kCaseFull + "&_=1607000000000";
    fetch(servers_.resource_origin() + target, {{"Referer", "http://example.invalid/cases"}});
    fetch(servers_.preview_origin() + "/content/city-renewal.json");
    fetch(servers_.resource_origin() + "/no/such/path");

    const std::vector<ReceivedRequest> all = servers_.library().requests().all();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].server, ServerRole::resource);
    EXPECT_EQ(all[0].method, "GET");
    EXPECT_EQ(all[0].target, target);
    EXPECT_EQ(all[0].path, "/api/open/reslib/content/detail");
    EXPECT_EQ(all[0].header("referer"), "http://example.invalid/cases");
    EXPECT_EQ(all[0].header("X-Absent"), "");
    EXPECT_EQ(all[1].server, ServerRole::preview);
    EXPECT_EQ(all[1].target, "/content/city-renewal.json");
    EXPECT_EQ(all[2].path, "/no/such/path");
    EXPECT_EQ(servers_.library().requests().of(ServerRole::preview).size(), 1u);
    servers_.library().requests().clear();
    EXPECT_TRUE(servers_.library().requests().all().empty());
}

TEST(DemoLibraryCatalogue, PlaceholdersAndChosenPathsApplyToHandWrittenEntries) {
    Catalogue catalogue;
    CaseEntry entry;
    entry.raw_detail = RawAnswer{200, "application/json", R"({"at":"{resource_host}|{preview_host}"})"};
    catalogue.cases["raw"] = entry;
    VideoEntry video;
    video.directory = "/part/";
    video.meta_name = "META.JSON";
    video.filename = "clip.mp4";
    video.video = Payload::of_bytes("tiny video", "video/mp4");
    catalogue.videos["k"] = video;
    DemoServers servers(std::move(catalogue));

    const json raw = json::parse(fetch(servers.resource_origin() + "/api/open/reslib/content/detail?id=raw&_=1").body);
    EXPECT_EQ(raw["at"], servers.resource_host() + "|" + servers.preview_host());

    const json query = json::parse(fetch(servers.resource_origin() + "/api/open/file/get?keyList=k&typeList=mp4&_=1").body);
    const json record = json::parse(query["data"][0].get<std::string>());
    EXPECT_EQ(record["httpURL"], servers.resource_origin() + "/part/META.JSON");
    EXPECT_EQ(json::parse(fetch(servers.resource_origin() + "/part/META.JSON").body)["levels"]["ori"]["list"][0]["filename"],
              "clip.mp4");
    EXPECT_EQ(fetch(servers.resource_origin() + "/part/clip.mp4").body, "tiny video");
}

}  // namespace
}  // namespace brindlecast::demo

namespace brindlecast::demo {
namespace {

TEST(DemoServer, StartFailsWithAReasonWhenAPortIsTaken) {
    testing::DemoServers first{Catalogue{}};
    const int taken = std::stoi(first.resource_host().substr(first.resource_host().find(':') + 1));
    DemoServer second(Catalogue{}, taken, 0);
    EXPECT_FALSE(second.start());
    EXPECT_EQ(second.error(), "cannot listen on 127.0.0.1:" + std::to_string(taken));

    DemoServer no_key(Catalogue{}, 0, 0, demo_certificate_path(), "/nonexistent/key.pem");
    EXPECT_FALSE(no_key.start());
    EXPECT_NE(no_key.error(), "");
}

}  // namespace
}  // namespace brindlecast::demo

namespace brindlecast::demo {
namespace {

TEST(DemoServer, ChunkedFilesComeWithoutLengthWholeOrCut) {
    Catalogue catalogue;
    VideoEntry whole;
    whole.filename = "whole.mp4";
    whole.video = Payload::generated(150000, 21, "video/mp4");
    whole.video.chunked = true;
    catalogue.videos["whole"] = whole;
    VideoEntry cut = whole;
    cut.filename = "cut.mp4";
    cut.video.cut_after = 70000;
    catalogue.videos["cut"] = cut;
    testing::DemoServers servers(std::move(catalogue));

    const testing::Fetched served =
        fetch(servers.resource_origin() + "/videos/whole/whole.mp4", {{"Range", "bytes=0-"}});
    ASSERT_TRUE(served.complete);
    EXPECT_EQ(served.status, 200);
    EXPECT_EQ(httplib::detail::get_header_value(served.headers, "Content-Length", 0, "none"), std::string("none"));
    EXPECT_EQ(httplib::detail::get_header_value(served.headers, "Transfer-Encoding", 0, ""), std::string("chunked"));
    EXPECT_EQ(served.body, whole.video.all_bytes());

    // Cut before the last chunk: the client never sees the chunked body end.
    EXPECT_FALSE(fetch(servers.resource_origin() + "/videos/cut/cut.mp4").complete);
}

}  // namespace
}  // namespace brindlecast::demo
