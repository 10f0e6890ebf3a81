#pragma once
// The resource library and the document-preview server as local servers:
// mounts handlers that serve a Catalogue on two httplib servers.
//
// Resource server (http):
//   GET /api/open/reslib/content/detail?id=ID&_=STAMP  the case's detail answer
//   GET /api/open/file/get?keyList=KEY&typeList=mp4&_=STAMP  the video's file record
//   GET <video directory>meta.json, <video directory><filename>  description and video
// Preview server (https):
//   GET /content/NAME.json  the document's configuration
//   GET <path>  the files of Catalogue::preview_files (the PDFs)
// Files answer Range requests with 206; unknown ids and keys get a JSON
// answer without data, unknown paths a 404.
//
// On servers of one's own (DemoServer does all of this on free ports):
//   DemoLibrary library(demo_catalogue());
//   library.mount(http_server, https_server);
//   ... bind and start both ...
//   library.set_hosts("127.0.0.1:" + http_port, "127.0.0.1:" + https_port);

#include <mutex>
#include <string>

#include <httplib.h>

#include "catalogue.h"
#include "request_log.h"

namespace brindlecast::demo {

class DemoLibrary {
public:
    /// Hosts are "127.0.0.1:PORT", put into answers in place of the placeholders.
    explicit DemoLibrary(Catalogue catalogue, std::string resource_host = {}, std::string preview_host = {});
    DemoLibrary(const DemoLibrary&) = delete;
    DemoLibrary& operator=(const DemoLibrary&) = delete;

    /// For servers whose ports are known only after mount(); call before the first request.
    void set_hosts(std::string resource_host, std::string preview_host);

    /// Registers the handlers on both servers and takes their pre-routing
    /// handlers (used to record every request and to serve files). This object
    /// must outlive the servers' running.
    void mount(httplib::Server& resource_server, httplib::Server& preview_server);

    const Catalogue& catalogue() const { return catalogue_; }
    /// Every request either server received, in arrival order.
    RequestLog& requests() { return requests_; }

    /// The text with both placeholders replaced by the current hosts.
    std::string expand(const std::string& text) const;

private:
    void serve_detail(const httplib::Request& request, httplib::Response& response) const;
    void serve_file_query(const httplib::Request& request, httplib::Response& response) const;
    void serve_preview_config(const httplib::Request& request, httplib::Response& response) const;
    bool serve_resource_file(const httplib::Request& request, httplib::Response& response) const;
    bool serve_preview_file(const httplib::Request& request, httplib::Response& response) const;
    void send_json(httplib::Response& response, const std::string& body) const;
    void send_raw(httplib::Response& response, const RawAnswer& answer) const;

    Catalogue catalogue_;
    // Paths with dot segments resolved, to what is served there.
    std::map<std::string, const VideoEntry*> meta_paths_;
    std::map<std::string, const VideoEntry*> video_paths_;
    std::map<std::string, const Payload*> preview_paths_;

    mutable std::mutex hosts_mutex_;
    std::string resource_host_;
    std::string preview_host_;
    RequestLog requests_;
};

/// Streams a payload as the response body: Content-Length of the whole body
/// and Range honoured (unless chunked), the connection cut at
/// payload.cut_after; the payload must outlive the response.
void serve_payload(const Payload& payload, httplib::Response& response);

/// A path with "." and ".." segments resolved the way a client resolves them.
std::string remove_dot_segments(const std::string& path);

}  // namespace brindlecast::demo
