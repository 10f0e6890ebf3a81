#include "demo_library.h"

#include <algorithm>
#include <vector>

namespace brindlecast::demo {

namespace {

constexpr std::uint64_t kChunkSize = 64 * 1024;
const char* const kJsonType = "application/json;charset=UTF-8";

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string remove_dot_segments(const std::string& path) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    const bool trailing_slash = !path.empty() && path.back() == '/';
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(std::move(segment));
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& segment : segments) out += "/" + segment;
    const bool ends_in_dots = path.ends_with("/..") || path.ends_with("/.") || path == ".." || path == ".";
    if (out.empty() || trailing_slash || ends_in_dots) out += "/";
    return out;
}

void serve_payload(const Payload& payload, httplib::Response& response) {
    if (payload.status != 200) {
        const RawAnswer page = RawAnswer::html_error_page(payload.status);
        response.status = page.status;
        response.set_content(page.body, page.content_type.c_str());
        return;
    }
    if (payload.size() == 0) {
        response.set_content("", payload.content_type.c_str());
        return;
    }
    if (payload.chunked) {
        // Without a length there is nothing to take a range of: the whole body, as a 200.
        response.status = 200;
        response.set_chunked_content_provider(
            payload.content_type, [&payload](std::size_t offset, httplib::DataSink& sink) {
                std::uint64_t chunk = std::min<std::uint64_t>(payload.size() - offset, kChunkSize);
                if (payload.cut_after) {
                    if (offset >= *payload.cut_after) return false;
                    chunk = std::min<std::uint64_t>(chunk, *payload.cut_after - offset);
                }
                const std::string data = payload.bytes(offset, chunk);
                if (!sink.write(data.data(), data.size())) return false;
                if (offset + chunk == payload.size()) sink.done();
                return true;
            });
        return;
    }
    // httplib calls back with the range still to send; one bounded chunk per
    // call keeps memory flat whatever the file size.
    response.set_content_provider(
        payload.size(), payload.content_type,
        [&payload](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::uint64_t chunk = std::min<std::uint64_t>(length, kChunkSize);
            if (payload.cut_after) {
                if (offset >= *payload.cut_after) return false;  // drops the connection mid-body
                chunk = std::min<std::uint64_t>(chunk, *payload.cut_after - offset);
            }
            const std::string data = payload.bytes(offset, chunk);
            return sink.write(data.data(), data.size());
        });
}

DemoLibrary::DemoLibrary(Catalogue catalogue, std::string resource_host, std::string preview_host)
    : catalogue_(std::move(catalogue)),
      resource_host_(std::move(resource_host)),
      preview_host_(std::move(preview_host)) {
    for (const auto& [key, video] : catalogue_.videos) {
        const std::string directory = video_directory(key, video);
        meta_paths_[remove_dot_segments(directory + video.meta_name)] = &video;
        video_paths_[remove_dot_segments(directory + video.filename)] = &video;
    }
    for (const auto& [path, payload] : catalogue_.preview_files) {
        preview_paths_[remove_dot_segments(path)] = &payload;
    }
}

void DemoLibrary::set_hosts(std::string resource_host, std::string preview_host) {
    std::lock_guard lock(hosts_mutex_);
    resource_host_ = std::move(resource_host);
    preview_host_ = std::move(preview_host);
}

std::string DemoLibrary::expand(const std::string& text) const {
    std::string out = text;
    std::lock_guard lock(hosts_mutex_);
    replace_all(out, kResourceHostPlaceholder, resource_host_);
    replace_all(out, kPreviewHostPlaceholder, preview_host_);
    return out;
}

void DemoLibrary::mount(httplib::Server& resource_server, httplib::Server& preview_server) {
    using httplib::Request;
    using httplib::Response;
    using HandlerResponse = httplib::Server::HandlerResponse;

    auto record = [this](ServerRole role, const Request& request) {
        requests_.add({role, request.method, request.target, request.path, request.headers});
    };

    // Files sit at paths a catalogue chooses freely, so they are served before
    // routing rather than through a catch-all route that would hide handlers
    // a test adds later.
    resource_server.set_pre_routing_handler([this, record](const Request& request, Response& response) {
        record(ServerRole::resource, request);
        return serve_resource_file(request, response) ? HandlerResponse::Handled : HandlerResponse::Unhandled;
    });
    preview_server.set_pre_routing_handler([this, record](const Request& request, Response& response) {
        record(ServerRole::preview, request);
        return serve_preview_file(request, response) ? HandlerResponse::Handled : HandlerResponse::Unhandled;
    });

    resource_server.Get("/api/open/reslib/content/detail",
                        [this](const Request& request, Response& response) { serve_detail(request, response); });
    resource_server.Get("/api/open/file/get",
                        [this](const Request& request, Response& response) { serve_file_query(request, response); });
    preview_server.Get(R"(/content/(.+)\.json)", [this](const Request& request, Response& response) {
        serve_preview_config(request, response);
    });
}

void DemoLibrary::send_json(httplib::Response& response, const std::string& body) const {
    response.status = 200;
    response.set_content(expand(body), kJsonType);
}

void DemoLibrary::send_raw(httplib::Response& response, const RawAnswer& answer) const {
    response.status = answer.status;
    response.set_content(expand(answer.body), answer.content_type.c_str());
}

void DemoLibrary::serve_detail(const httplib::Request& request, httplib::Response& response) const {
    const std::string id = request.get_param_value("id");
    auto it = catalogue_.cases.find(id);
    if (it == catalogue_.cases.end()) {
        send_json(response, "{\"code\":404,\"message\":\"no such case\",\"data\":null}");
    } else if (it->second.raw_detail) {
        send_raw(response, *it->second.raw_detail);
    } else {
        send_json(response, detail_answer(id, it->second));
    }
}

void DemoLibrary::serve_file_query(const httplib::Request& request, httplib::Response& response) const {
    const std::string key = request.get_param_value("keyList");
    auto it = catalogue_.videos.find(key);
    if (it == catalogue_.videos.end()) {
        send_json(response, "{\"code\":0,\"message\":\"success\",\"data\":[]}");
    } else if (it->second.raw_file_query) {
        send_raw(response, *it->second.raw_file_query);
    } else {
        send_json(response, file_query_answer(key, it->second));
    }
}

void DemoLibrary::serve_preview_config(const httplib::Request& request, httplib::Response& response) const {
    const std::string name = request.matches[1];
    auto it = catalogue_.previews.find(name);
    if (it == catalogue_.previews.end()) {
        send_raw(response, RawAnswer::html_error_page(404));
    } else if (it->second.raw_config) {
        send_raw(response, *it->second.raw_config);
    } else {
        send_json(response, preview_config_answer(name, it->second));
    }
}

bool DemoLibrary::serve_resource_file(const httplib::Request& request, httplib::Response& response) const {
    if (request.method != "GET") return false;
    const std::string path = remove_dot_segments(request.path);
    if (auto meta = meta_paths_.find(path); meta != meta_paths_.end()) {
        const VideoEntry& video = *meta->second;
        if (video.raw_meta) {
            send_raw(response, *video.raw_meta);
        } else {
            send_json(response, description_answer(video));
        }
        return true;
    }
    if (auto video = video_paths_.find(path); video != video_paths_.end()) {
        serve_payload(video->second->video, response);
        return true;
    }
    return false;
}

bool DemoLibrary::serve_preview_file(const httplib::Request& request, httplib::Response& response) const {
    if (request.method != "GET") return false;
    auto it = preview_paths_.find(remove_dot_segments(request.path));
    if (it == preview_paths_.end()) return false;
    serve_payload(*it->second, response);
    return true;
}

}  // namespace brindlecast::demo
