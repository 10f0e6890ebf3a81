#pragma once
// A DemoLibrary served for real on 127.0.0.1: the resource library over HTTP
// and the preview server over HTTPS, each on its own listening thread. Used by
// the brindlecast-demo-library program, tests and benchmarks.

#include <memory>
#include <string>
#include <thread>

#include <httplib.h>

#include "demo_catalogue.h"
#include "demo_library.h"

namespace brindlecast::demo {

class DemoServer {
public:
    /// Port 0 takes any free port. The certificate must be valid for 127.0.0.1.
    explicit DemoServer(Catalogue catalogue, int resource_port = 0, int preview_port = 0,
                        const std::string& certificate_path = demo_certificate_path(),
                        const std::string& key_path = demo_key_path());
    ~DemoServer();
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    /// Binds both ports and returns once both servers accept; false (see
    /// error()) when the certificate cannot be loaded or a port is taken.
    bool start();
    /// Stops both servers and waits for their threads; also done on destruction.
    void stop();
    const std::string& error() const { return error_; }

    DemoLibrary& library() { return library_; }
    /// "127.0.0.1:PORT", valid after a successful start().
    std::string resource_host() const { return "127.0.0.1:" + std::to_string(resource_port_); }
    std::string preview_host() const { return "127.0.0.1:" + std::to_string(preview_port_); }
    std::string resource_origin() const { return "http://" + resource_host(); }
    std::string preview_origin() const { return "https://" + preview_host(); }

private:
    DemoLibrary library_;
    httplib::Server resource_;
    httplib::SSLServer preview_;
    int resource_port_;
    int preview_port_;
    std::string error_;
    std::thread resource_thread_;
    std::thread preview_thread_;
};

}  // namespace brindlecast::demo
