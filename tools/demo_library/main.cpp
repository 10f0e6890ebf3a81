// brindlecast-demo-library: serves the demo catalogue on 127.0.0.1, the
// resource library over HTTP and the document-preview server over HTTPS,
// until SIGINT or SIGTERM.

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>

#include <pthread.h>

#include "demo_catalogue.h"
#include "demo_server.h"

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

}  // namespace

int main(int argc, char** argv) {
    // Block the stop signals first, before any thread exists, so that every
    // thread inherits the mask and only sigwait below ever sees them.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    // TLS writes go through write(2): a client that hangs up mid-file would
    // otherwise end the whole server with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);

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

    brindlecast::demo::DemoServer server(brindlecast::demo::demo_catalogue(), resource_port, preview_port, cert, key);
    if (!server.start()) {
        std::cerr << "brindlecast-demo-library: " << server.error() << "\n";
        return 1;
    }
    if (print_ready) {
        std::cout << "ready " << server.resource_origin() << " " << server.preview_origin() << std::endl;
    }

    int received = 0;
    sigwait(&stop_signals, &received);
    server.stop();
    return 0;
}
