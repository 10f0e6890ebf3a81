#include "demo_server.h"

#include <chrono>

namespace brindlecast::demo {

namespace {

// httplib's default also sets SO_REUSEPORT, which lets a second server bind a
// port that one already listens on and silently share its connections; a
// demo library started twice must fail instead.
void reuse_address_only(socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

bool bind_loopback(httplib::Server& server, int& port) {
    if (port == 0) {
        port = server.bind_to_any_port("127.0.0.1");
        return port > 0;
    }
    return server.bind_to_port("127.0.0.1", port);
}

}  // namespace

DemoServer::DemoServer(Catalogue catalogue, int resource_port, int preview_port,
                       const std::string& certificate_path, const std::string& key_path)
    : library_(std::move(catalogue)),
      preview_(certificate_path.c_str(), key_path.c_str()),
      resource_port_(resource_port),
      preview_port_(preview_port) {
    resource_.set_socket_options(reuse_address_only);
    preview_.set_socket_options(reuse_address_only);
    library_.mount(resource_, preview_);
}

DemoServer::~DemoServer() { stop(); }

bool DemoServer::start() {
    if (!preview_.is_valid()) {
        error_ = "cannot load the certificate or its key";
        return false;
    }
    const int wanted_resource_port = resource_port_;
    if (!bind_loopback(resource_, resource_port_)) {
        error_ = "cannot listen on 127.0.0.1:" + std::to_string(wanted_resource_port);
        return false;
    }
    const int wanted_preview_port = preview_port_;
    if (!bind_loopback(preview_, preview_port_)) {
        error_ = "cannot listen on 127.0.0.1:" + std::to_string(wanted_preview_port);
        return false;
    }
    // The answers name the servers, so the hosts are known before the first request.
    library_.set_hosts(resource_host(), preview_host());
    resource_thread_ = std::thread([this] { resource_.listen_after_bind(); });
    preview_thread_ = std::thread([this] { preview_.listen_after_bind(); });
    // The sockets already listen; waiting for the accept loops keeps stop() from racing them.
    while (!resource_.is_running() || !preview_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void DemoServer::stop() {
    if (resource_thread_.joinable()) {
        resource_.stop();
        resource_thread_.join();
    }
    if (preview_thread_.joinable()) {
        preview_.stop();
        preview_thread_.join();
    }
}

}  // namespace brindlecast::demo
