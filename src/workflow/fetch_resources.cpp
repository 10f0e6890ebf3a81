#include "workflow/fetch_resources.h"

#include "json/json_document.h"
#include "log/activity_log.h"
#include "net/download.h"
#include "net/download_progress.h"
#include "net/web_request.h"
#include "text/cp936.h"
#include "text/markers.h"
#include "text/request_stamp.h"
#include "text/response_text.h"
#include "text/text_ops.h"
#include "workflow/safe_file_name.h"

namespace brindlecast {
namespace {

// The run's fixed texts, converted to code page 936 once per run.
struct Texts {
    std::string link_ok = cp936("链接获取成功,");
    std::string json_failed = cp936("Json解析失败,请重试!");
    std::string json_ok = cp936("Json解析成功");
    std::string title_ok = cp936("标题获取成功:");
    std::string title_failed = cp936("标题获取失败,请重试!");
    std::string author_ok = cp936("作者获取成功:");
    std::string author_failed = cp936("作者获取失败,请重试!");
    std::string preview_failed = cp936("预览地址获取失败,请重试!");
    std::string preview_ok = cp936("预览地址获取成功:");
    std::string config_failed = cp936("配置文件地址拼接失败,请重试!");
    std::string config_ok = cp936("PDF配置文件地址拼接成功: ");
    std::string source_failed = cp936("下载地址获取失败,请重试!");
    std::string source_ok = cp936("下载地址获取成功: ");
    std::string document_saved = cp936("文件下载成功,文件名为: ");
    std::string video_query_failed = cp936("视频配置地址获取失败,请重试!");
    std::string video_query_ok = cp936("视频配置地址获取成功:");
    std::string video_address_failed = cp936("视频下载地址获取失败,请重试!");
    std::string video_meta_ok = cp936("视频解码地址获取成功: ");
    std::string video_address_ok = cp936("视频下载地址获取成功: ");
    std::string video_saved = cp936("视频下载成功,文件名为: ");
};

class Run {
public:
    Run(const Environment& environment, RunReport& report)
        : env_(environment), report_(report) {
        settings_.notifier = env_.notifier;
        settings_.ca_file = env_.ca_file;
    }

    std::string fetch(std::string_view case_id) {
        const std::string detail_address = "http://" + env_.resource_host +
                                           "/api/open/reslib/content/detail?id=" +
                                           std::string(case_id) + "&_=" + stamp();
        log(texts_.link_ok + detail_address);
        working_ = query(detail_address);
        if (!document_.parse(working_)) {
            log(texts_.json_failed);
            return working_;
        }
        report_.details_parsed = true;
        log(texts_.json_ok);

        const std::string title = document_.get_value("data.attrs[0].value");
        log(title.empty() ? texts_.title_failed : texts_.title_ok + title);
        const std::string author = document_.get_value("data.attrs[4].value");
        log(author.empty() ? texts_.author_failed : texts_.author_ok + author);
        // Every read of the detail answer comes before the next parse replaces it.
        const std::string preview_address = document_.get_value("data.attrs[9].value");
        const std::string video_key_1 = document_.get_value("data.attrs[10].value");
        const std::string video_key_2 = document_.get_value("data.attrs[11].value");

        fetch_document(preview_address, title);
        fetch_video(video_key_1);
        fetch_video(video_key_2);
        return working_;
    }

private:
    void fetch_document(const std::string& preview_address, const std::string& title) {
        if (preview_address.empty()) {
            log(texts_.preview_failed);
            return;
        }
        log(texts_.preview_ok + preview_address);
        const std::string origin = "https://" + env_.preview_host;
        const std::string config_address =
            replace_pairs(preview_address, std::nullopt, 1, false, origin + "/view/",
                          origin + "/content/") +
            ".json";
        working_ = query(config_address);
        if (!document_.parse(working_)) {
            log(texts_.config_failed);
            return;
        }
        log(texts_.config_ok + config_address);
        const std::string source = document_.get_value("srcUrl");
        if (source.empty()) {
            log(texts_.source_failed);
            return;
        }
        const std::string pdf_address = origin + source;
        log(texts_.source_ok + pdf_address);
        const std::string local_path = env_.run_directory + "/" + safe_title(title) + ".pdf";
        if (download(pdf_address, local_path)) {
            report_.document_saved = true;
            log(texts_.document_saved + local_path);
        }
    }

    void fetch_video(const std::string& key) {
        if (key.empty()) {
            log(texts_.preview_failed);
            return;
        }
        ++report_.videos_wanted;
        log(texts_.preview_ok + key);
        std::string video_address = "http://" + env_.resource_host +
                                    "/api/open/file/get?keyList=" + key +
                                    "&typeList=mp4&_=" + stamp();
        working_ = query(video_address);
        if (!document_.parse(working_)) {
            log(texts_.video_query_failed);
            return;
        }
        log(texts_.video_query_ok + video_address);
        // The record goes on only when the server sent it as a string holding
        // JSON; an object reads as "[object Object]", which does not parse.
        working_ = document_.get_value("data[0]");
        if (!document_.parse(working_)) {
            log(texts_.video_address_failed);
            return;
        }
        video_address = document_.get_value("httpURL");
        log(texts_.video_meta_ok + video_address);
        working_ = query(video_address);
        if (!document_.parse(working_)) {
            log(texts_.video_address_failed);
            return;
        }
        working_ = document_.get_value("levels.ori.list[0].filename");
        video_address = substitute(video_address, "meta.json", working_, 1, std::nullopt, true);
        log(texts_.video_address_ok + video_address);
        const std::string local_path = env_.run_directory + "/" + safe_file_name(working_);
        if (download(video_address, local_path)) {
            ++report_.videos_saved;
            log(texts_.video_saved + local_path);
        }
    }

    std::string query(const std::string& address) {
        return decode_utf8_response(web_request(address));
    }

    bool download(const std::string& address, const std::string& local_path) {
        LogSink& sink = *env_.log;
        const Clock& clock = *env_.clock;
        const ProgressRoutine progress = [&sink, &clock](std::int32_t total,
                                                         std::int32_t received,
                                                         std::int32_t elapsed,
                                                         std::int32_t this_run) {
            report_download_progress(sink, total, received, elapsed, this_run, clock);
        };
        const bool saved =
            download_with_progress(address, local_path, progress, 0, true, settings_) == 0;
        if (saved) report_.saved_paths.push_back(local_path);
        return saved;
    }

    std::string stamp() const { return make_request_stamp(false, *env_.clock); }

    void log(std::string_view message) { append_log(*env_.log, message, *env_.clock); }

    const Environment& env_;
    RunReport& report_;
    Texts texts_;
    DownloadSettings settings_;
    JsonDocument document_;
    std::string working_;
};

}  // namespace

std::string fetch_resources(std::string_view case_id, const Environment& environment,
                            RunReport* report) {
    RunReport local_report;
    Run run(environment, report != nullptr ? *report : local_report);
    return run.fetch(case_id);
}

}  // namespace brindlecast
