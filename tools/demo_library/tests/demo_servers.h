#pragma once
// The demo library mounted on two loopback servers (HTTP and HTTPS with the
// demo certificate) on free ports, plus a fetch over either that trusts only
// that certificate.

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <httplib.h>

#include "demo_catalogue.h"
#include "demo_library.h"

namespace brindlecast::demo::testing {

class DemoServers {
public:
    explicit DemoServers(Catalogue catalogue)
        : library_(std::move(catalogue)), preview_(demo_certificate_path().c_str(), demo_key_path().c_str()) {
        library_.mount(resource_, preview_);
        resource_port_ = resource_.bind_to_any_port("127.0.0.1");
        preview_port_ = preview_.bind_to_any_port("127.0.0.1");
        library_.set_hosts(resource_host(), preview_host());
        resource_thread_ = std::thread([this] { resource_.listen_after_bind(); });
        preview_thread_ = std::thread([this] { preview_.listen_after_bind(); });
        while (!resource_.is_running() || !preview_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~DemoServers() {
        resource_.stop();
        preview_.stop();
        resource_thread_.join();
        preview_thread_.join();
    }
    DemoServers(const DemoServers&) = delete;
    DemoServers& operator=(const DemoServers&) = delete;

    DemoLibrary& library() { return library_; }
    std::string resource_host() const { return "127.0.0.1:" + std::to_string(resource_port_); }
    std::string preview_host() const { return "127.0.0.1:" + std::to_string(preview_port_); }
    std::string resource_origin() const { return "http://" + resource_host(); }
    std::string preview_origin() const { return "https://" + preview_host(); }

private:
    DemoLibrary library_;
    httplib::Server resource_;
    httplib::SSLServer preview_;
    int resource_port_ = 0;
    int preview_port_ = 0;
    std::thread resource_thread_;
    std::thread preview_thread_;
};

struct Fetched {
    bool complete = false;  ///< an answer came and its body was read to its announced end
    int status = 0;
    std::string body;
    httplib::Headers headers;
};

/// GET of an absolute http:// or https:// address; https trusts only the demo certificate.
inline Fetched fetch(const std::string& url, const httplib::Headers& headers = {}) {
    Fetched fetched;
    const std::size_t scheme_end = url.find("://");
    if (scheme_end == std::string::npos) return fetched;
    const std::size_t path_start = url.find('/', scheme_end + 3);
    const std::string origin = url.substr(0, path_start);
    const std::string target = path_start == std::string::npos ? "/" : url.substr(path_start);
    httplib::Client client(origin);
    client.set_ca_cert_path(demo_certificate_path().c_str());
    client.enable_server_certificate_verification(true);
    client.set_connection_timeout(2);
    client.set_read_timeout(5);
    httplib::Result result = client.Get(target.c_str(), headers);
    if (!result) return fetched;
    fetched.complete = true;
    fetched.status = result->status;
    fetched.body = result->body;
    fetched.headers = result->headers;
    return fetched;
}

}  // namespace brindlecast::demo::testing
