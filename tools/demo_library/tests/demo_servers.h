#pragma once
// The demo library running on free ports, and a fetch over HTTP or HTTPS
// that trusts only the demo certificate.

#include <stdexcept>
#include <string>

#include <httplib.h>

#include "demo_server.h"

namespace brindlecast::demo::testing {

/// A DemoServer on free ports that is running once constructed.
class DemoServers : public DemoServer {
public:
    explicit DemoServers(Catalogue catalogue) : DemoServer(std::move(catalogue)) {
        if (!start()) throw std::runtime_error(error());
    }
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
