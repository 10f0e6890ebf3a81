#include "loopback_server.h"

#include <csignal>
#include <chrono>
#include <stdexcept>

namespace brindlecast::testing {

std::string test_certificate_path() { return BRINDLECAST_TEST_SUPPORT_DIR "/test_cert.pem"; }
std::string test_key_path() { return BRINDLECAST_TEST_SUPPORT_DIR "/test_key.pem"; }

LoopbackServer::LoopbackServer(Scheme scheme) : scheme_(scheme) {
    if (scheme == Scheme::https) {
        server_ = std::make_unique<httplib::SSLServer>(test_certificate_path().c_str(),
                                                       test_key_path().c_str());
    } else {
        server_ = std::make_unique<httplib::Server>();
    }
}

LoopbackServer::~LoopbackServer() { stop(); }

void LoopbackServer::start() {
    // A client that hangs up mid-body (a time-out test) must not kill the test
    // process when the TLS layer writes to the closed socket.
    std::signal(SIGPIPE, SIG_IGN);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // The socket already listens; wait for the accept loop so stop() cannot race it.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LoopbackServer::stop() {
    if (thread_.joinable()) {
        server_->stop();
        thread_.join();
    }
}

std::string LoopbackServer::host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string LoopbackServer::origin() const {
    return (scheme_ == Scheme::https ? "https://" : "http://") + host();
}

}  // namespace brindlecast::testing
