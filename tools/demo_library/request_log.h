#pragma once
// What the demo library received, recorded from the servers' threads and
// read by tests afterwards.

#include <mutex>
#include <string>
#include <vector>

#include <httplib.h>

namespace brindlecast::demo {

enum class ServerRole { resource, preview };

struct ReceivedRequest {
    ServerRole server = ServerRole::resource;
    std::string method;
    std::string target;   ///< as sent: path and query string, still percent-encoded
    std::string path;     ///< decoded path, without the query
    httplib::Headers headers;

    /// The value of a header (names compare without case), or "" when absent.
    std::string header(const std::string& name) const;
};

class RequestLog {
public:
    void add(ReceivedRequest request);
    /// A copy of everything received so far, in arrival order.
    std::vector<ReceivedRequest> all() const;
    /// Only those received by one of the two servers.
    std::vector<ReceivedRequest> of(ServerRole server) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
};

}  // namespace brindlecast::demo
