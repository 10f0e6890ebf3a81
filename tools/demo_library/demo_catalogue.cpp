#include "demo_catalogue.h"

#include <cstdint>

#include "pdf_writer.h"

namespace brindlecast::demo {

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

std::vector<std::string> pages_for(const std::string& heading) {
    return {
        heading + "\nBrindlecast demo library\nPage 1 of 3\n\nBackground and setting of the case.",
        heading + "\nPage 2 of 3\n\nThe course of events, with (parenthesised) notes\nand a backslash \\ kept as drawn.",
        heading + "\nPage 3 of 3\n\nLessons drawn and questions for discussion.",
    };
}

Payload video(std::uint64_t size, std::uint32_t seed) { return Payload::generated(size, seed, "video/mp4"); }

VideoEntry video_entry(std::string filename, Payload payload) {
    VideoEntry entry;
    entry.filename = std::move(filename);
    entry.video = std::move(payload);
    return entry;
}

// A case with title, author and the shared document, and no videos.
CaseEntry plain_case(std::string title) {
    CaseEntry entry;
    entry.title = std::move(title);
    entry.author = "张三";
    entry.preview = preview_address("shared-doc");
    entry.video_key1 = "";
    entry.video_key2 = "";
    return entry;
}

CaseEntry failing_video_case(std::string title, std::string key) {
    CaseEntry entry = plain_case(std::move(title));
    entry.video_key1 = std::move(key);
    entry.video_key2 = "city-renewal-2";
    return entry;
}

}  // namespace

std::string demo_full_pdf() { return make_pdf(pages_for("Case study: urban renewal")); }

Catalogue demo_catalogue() {
    Catalogue c;

    // Documents of the preview server.
    c.add_document("city-renewal", Payload::of_bytes(demo_full_pdf(), "application/pdf"));
    c.add_document("rural-revival", make_pdf_payload(pages_for("Case study: rural revival")));
    c.add_document("shared-doc", make_pdf_payload(pages_for("Demo document")));
    c.previews["config-not-json"].raw_config = RawAnswer::html_error_page(404);
    c.previews["no-src-url"].src_url.reset();
    c.add_document("missing-pdf", Payload::not_found());
    {
        Payload cut = make_pdf_payload(pages_for("Cut document"), 60000, 7);
        cut.cut_after = 30000;
        c.add_document("cut-pdf", std::move(cut));
    }
    {
        // Sized so that the whole file comes to exactly 20 MiB.
        const auto pages = pages_for("Large document");
        // The filler object's own header and xref entry take some bytes, so
        // measure once with a first guess and take the overshoot back off.
        const std::uint64_t target = 20 * kMiB;
        std::uint64_t filler = target - make_pdf_payload(pages).size();
        filler -= make_pdf_payload(pages, filler, 20).size() - target;
        c.add_document("large-doc", make_pdf_payload(pages, filler, 20));
    }

    // Videos of the resource library.
    c.videos["city-renewal-1"] = video_entry("city-renewal-1.mp4", video(96 * 1024, 1));
    c.videos["city-renewal-2"] = video_entry("city-renewal-2.mp4", video(200 * 1024 + 123, 2));
    c.videos["bad-file-query"].raw_file_query = RawAnswer::html_error_page(500);
    c.videos["record-object"].shape = FileRecordShape::object;
    c.videos["no-file-data"].shape = FileRecordShape::no_data;
    c.videos["empty-http-url"].http_url = "";
    c.videos["meta-not-json"].raw_meta = RawAnswer::html_error_page(404);
    {
        VideoEntry cut = video_entry("cut-video.mp4", video(100000, 3));
        cut.video.cut_after = 40000;
        c.videos["cut-video"] = std::move(cut);
    }
    c.videos["escape-name"] = video_entry("../escape.mp4", video(20000, 4));
    c.videos["slash-name"] = video_entry("sub/dir.mp4", video(20000, 5));
    c.videos["large-1"] = video_entry("large-1.mp4", video(100 * kMiB, 11));
    c.videos["large-2"] = video_entry("large-2.mp4", video(100 * kMiB, 12));
    c.videos["huge"] = video_entry("huge.mp4", video(200 * kMiB, 13));

    // Cases.
    {
        CaseEntry full;
        full.title = "案例研究：城市更新";
        full.author = "张三";
        full.preview = preview_address("city-renewal");
        full.video_key1 = "city-renewal-1";
        full.video_key2 = "city-renewal-2";
        c.cases[kCaseFull] = full;
    }
    {
        CaseEntry entry;
        entry.title = "案例研究：乡村振兴";
        entry.author = "李四";
        entry.preview = preview_address("rural-revival");
        entry.attr_count = 10;
        c.cases[kCaseNoVideos] = entry;
    }
    c.cases[kCaseDetailNotJson].raw_detail = RawAnswer::html_error_page(502);
    c.cases[kCaseDetailEmpty].raw_detail = RawAnswer::empty();
    c.cases[kCaseNoTitle] = plain_case("");
    {
        CaseEntry entry = plain_case("没有作者的案例");
        entry.author.reset();
        c.cases[kCaseNoAuthor] = entry;
    }
    {
        CaseEntry entry = plain_case("没有预览的案例");
        entry.preview.reset();
        entry.video_key1 = "city-renewal-1";
        c.cases[kCaseNoPreview] = entry;
    }
    {
        CaseEntry entry = plain_case("配置文件损坏的案例");
        entry.preview = preview_address("config-not-json");
        c.cases[kCaseConfigNotJson] = entry;
    }
    {
        CaseEntry entry = plain_case("缺少下载地址的案例");
        entry.preview = preview_address("no-src-url");
        c.cases[kCaseNoSrcUrl] = entry;
    }
    {
        CaseEntry entry = plain_case("文件不存在的案例");
        entry.preview = preview_address("missing-pdf");
        c.cases[kCasePdfNotFound] = entry;
    }
    {
        CaseEntry entry = plain_case("下载中断的案例");
        entry.preview = preview_address("cut-pdf");
        c.cases[kCasePdfCut] = entry;
    }
    c.cases[kCaseFileQueryNotJson] = failing_video_case("视频查询出错的案例", "bad-file-query");
    c.cases[kCaseRecordObject] = failing_video_case("视频记录为对象的案例", "record-object");
    c.cases[kCaseNoFileData] = failing_video_case("视频记录缺失的案例", "no-file-data");
    c.cases[kCaseHttpUrlEmpty] = failing_video_case("视频地址为空的案例", "empty-http-url");
    c.cases[kCaseMetaNotJson] = failing_video_case("视频描述损坏的案例", "meta-not-json");
    c.cases[kCaseVideoCut] = failing_video_case("视频下载中断的案例", "cut-video");
    {
        CaseEntry entry = plain_case("../../案例/研究");
        entry.video_key1 = "escape-name";
        entry.video_key2 = "slash-name";
        c.cases[kCaseUnsafeNames] = entry;
    }
    {
        CaseEntry entry = plain_case("同一视频两次的案例");
        entry.video_key1 = "city-renewal-1";
        entry.video_key2 = "city-renewal-1";
        c.cases[kCaseSameVideoTwice] = entry;
    }
    {
        CaseEntry entry = plain_case("大写预览地址的案例");
        entry.preview = std::string("HTTPS://") + kPreviewHostPlaceholder + "/VIEW/shared-doc";
        c.cases[kCaseUpperCasePreview] = entry;
    }
    {
        CaseEntry entry = plain_case("属性不全的案例");
        entry.attr_count = 3;
        c.cases[kCaseShortAttrs] = entry;
    }
    {
        CaseEntry entry;
        entry.title = "大文件案例";
        entry.author = "赵六";
        entry.preview = preview_address("large-doc");
        entry.video_key1 = "large-1";
        entry.video_key2 = "large-2";
        c.cases[kCaseLarge] = entry;
    }
    {
        CaseEntry entry;
        entry.title = "大视频案例";
        entry.author = "赵六";
        entry.video_key1 = "huge";
        entry.video_key2 = "";
        c.cases[kCaseHugeVideo] = entry;
    }
    return c;
}

std::string demo_certificate_path() { return BRINDLECAST_DEMO_LIBRARY_DIR "/demo_cert.pem"; }
std::string demo_key_path() { return BRINDLECAST_DEMO_LIBRARY_DIR "/demo_key.pem"; }

}  // namespace brindlecast::demo
