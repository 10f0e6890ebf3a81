// brindlecast-demo-library: serves the demo catalogue on 127.0.0.1, the
// resource library over HTTP and the document-preview server over HTTPS,
// until SIGINT or SIGTERM.

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include <pthread.h>

#include <httplib.h>

#include "demo_catalogue.h"
#include "demo_library.h"

namespace {

constexpr const char* kUsage =
    "usage: brindlecast-demo-library [--resource-port PORT] [--preview-port PORT] [--print-ready]\n"
    "       [--cert FILE] [--key FILE]\n";

// Port 0 takes any free port; the ready line tells which.
bool parse_port(const std::string& text, int& port) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

bool bind_loopback(httplib::Server& server, int& port) {
    if (port == 0) {
        port = server.bind_to_any_port("127.0.0.1");
        return port > 0;
    }
    return server.bind_to_port("127.0.0.1", port);
}

}  // namespace

int main(int argc, char** argv) {
    int resource_port = 18080;
    int preview_port = 18443;
    bool print_ready = false;
    std::string cert = brindlecast::demo::demo_certificate_path();
    std::string key = brindlecast::demo::demo_key_path();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--resource-port" && has_value && parse_port(argv[i + 1], resource_port)) {
            ++i;
        } else if (arg == "--preview-port" && has_value && parse_port(argv[i + 1], preview_port)) {
            ++i;
        } else if (arg == "--cert" && has_value) {
            cert = argv[++i];
        } else if (arg == "--key" && has_value) {
            key = argv[++i];
        } else if (arg == "--print-ready") {
            print_ready = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }

    // Block the stop signals before any server thread exists, so that every
    // thread inherits the mask and only sigwait below ever sees them.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

    httplib::Server resource_server;
    httplib::SSLServer preview_server(cert.c_str(), key.c_str());
    if (!preview_server.is_valid()) {
        std::cerr << "brindlecast-demo-library: cannot load certificate " << cert << " or key " << key << "\n";
        return 1;
    }

    brindlecast::demo::DemoLibrary library(brindlecast::demo::demo_catalogue());
    library.mount(resource_server, preview_server);

    if (!bind_loopback(resource_server, resource_port)) {
        std::cerr << "brindlecast-demo-library: cannot listen on 127.0.0.1:" << resource_port << "\n";
        return 1;
    }
    if (!bind_loopback(preview_server, preview_port)) {
        std::cerr << "brindlecast-demo-library: cannot listen on 127.0.0.1:" << preview_port << "\n";
        return 1;
    }
    const std::string resource_host = "127.0.0.1:" + std::to_string(resource_port);
    const std::string preview_host = "127.0.0.1:" + std::to_string(preview_port);
    library.set_hosts(resource_host, preview_host);

    std::thread resource_thread([&] { resource_server.listen_after_bind(); });
    std::thread preview_thread([&] { preview_server.listen_after_bind(); });
    while (!resource_server.is_running() || !preview_server.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (print_ready) {
        std::cout << "ready http://" << resource_host << " https://" << preview_host << std::endl;
    }

    int received = 0;
    sigwait(&stop_signals, &received);
    resource_server.stop();
    preview_server.stop();
    resource_thread.join();
    preview_thread.join();
    return 0;
}
