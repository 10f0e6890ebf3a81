#include "catalogue.h"

#include <cstdio>

namespace brindlecast::demo {

RawAnswer RawAnswer::html_error_page(int status) {
    RawAnswer answer;
    answer.status = status;
    answer.content_type = "text/html;charset=UTF-8";
    answer.body = "<!DOCTYPE html>\n<html><head><title>" + std::to_string(status) +
                  " Error</title></head>\n<body><h1>" + std::to_string(status) +
                  " Error</h1><p>The server could not answer this request.</p></body></html>\n";
    return answer;
}

RawAnswer RawAnswer::empty() {
    RawAnswer answer;
    answer.content_type = "text/plain";
    return answer;
}

void Catalogue::add_document(const std::string& name, Payload pdf) {
    const std::string path = "/files/" + name + ".pdf";
    previews[name].src_url = path;
    preview_files[path] = std::move(pdf);
}

std::string preview_address(const std::string& name) {
    return std::string("https://") + kPreviewHostPlaceholder + "/view/" + name;
}

std::string video_directory(const std::string& key, const VideoEntry& entry) {
    return entry.directory.empty() ? "/videos/" + key + "/" : entry.directory;
}

std::string json_quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

namespace {

std::string json_value(const std::optional<std::string>& value) {
    return value ? json_quote(*value) : "null";
}

// Names of the attributes the library lists for a case; only the positions of
// title, author, preview and the two videos matter to a client.
const char* const kAttributeNames[] = {
    "title",    "category", "industry", "keywords", "author",  "publishDate",
    "abstract", "language", "pages",    "preview",  "video1",  "video2",
};

}  // namespace

std::string detail_answer(const std::string& case_id, const CaseEntry& entry) {
    std::string attrs;
    for (int i = 0; i < entry.attr_count; ++i) {
        std::optional<std::string> value;
        switch (i) {
        case 0: value = entry.title; break;
        case 4: value = entry.author; break;
        case 9: value = entry.preview; break;
        case 10: value = entry.video_key1; break;
        case 11: value = entry.video_key2; break;
        case 1: value = "案例"; break;
        case 5: value = "2021-01-01"; break;
        case 7: value = "zh-CN"; break;
        default: value = ""; break;
        }
        std::string name = i < 12 ? kAttributeNames[i] : "extra" + std::to_string(i);
        if (!attrs.empty()) attrs += ",";
        attrs += "{\"name\":" + json_quote(name) + ",\"value\":" + json_value(value) + "}";
    }
    return "{\"code\":0,\"message\":\"success\",\"data\":{\"id\":" + json_quote(case_id) +
           ",\"attrs\":[" + attrs + "]}}";
}

std::string preview_config_answer(const std::string& name, const PreviewDocument& document) {
    std::string body = "{\"id\":" + json_quote(name) + ",\"type\":\"pdf\"";
    if (document.src_url) body += ",\"srcUrl\":" + json_quote(*document.src_url);
    return body + ",\"watermark\":false}";
}

std::string file_query_answer(const std::string& key, const VideoEntry& entry) {
    const std::string http_url = entry.http_url ? *entry.http_url
                                                : std::string("http://") + kResourceHostPlaceholder +
                                                      video_directory(key, entry) + entry.meta_name;
    const std::string record = "{\"key\":" + json_quote(key) + ",\"type\":\"mp4\",\"httpURL\":" +
                               json_quote(http_url) + "}";
    switch (entry.shape) {
    case FileRecordShape::string_holding_json:
        return "{\"code\":0,\"message\":\"success\",\"data\":[" + json_quote(record) + "]}";
    case FileRecordShape::object:
        return "{\"code\":0,\"message\":\"success\",\"data\":[" + record + "]}";
    case FileRecordShape::no_data:
        break;
    }
    return "{\"code\":0,\"message\":\"success\"}";
}

std::string description_answer(const VideoEntry& entry) {
    return "{\"levels\":{\"ori\":{\"list\":[{\"filename\":" + json_quote(entry.filename) +
           ",\"size\":" + std::to_string(entry.video.size()) + ",\"width\":1280,\"height\":720}]}}}";
}

}  // namespace brindlecast::demo
