#pragma once
// A real HTTP or HTTPS server on 127.0.0.1 and a free port, run by a test.
// Register handlers on server() before start(); the destructor stops it.

#include <memory>
#include <string>
#include <thread>

#include <httplib.h>

namespace brindlecast::testing {

enum class Scheme { http, https };

class LoopbackServer {
public:
    explicit LoopbackServer(Scheme scheme = Scheme::http);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    httplib::Server& server() { return *server_; }
    /// Binds to a free loopback port and returns once the server accepts.
    void start();
    void stop();

    int port() const { return port_; }
    /// "127.0.0.1:PORT"
    std::string host() const;
    /// "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT"
    std::string origin() const;

private:
    Scheme scheme_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};

/// The self-signed certificate (CN and SAN 127.0.0.1, localhost) the HTTPS
/// server uses; it is its own CA, so clients can be pointed at it.
std::string test_certificate_path();
std::string test_key_path();

}  // namespace brindlecast::testing
