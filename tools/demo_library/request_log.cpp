#include "request_log.h"

namespace brindlecast::demo {

std::string ReceivedRequest::header(const std::string& name) const {
    // httplib::Headers orders names without case, so find() matches any case.
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
}

void RequestLog::add(ReceivedRequest request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
}

std::vector<ReceivedRequest> RequestLog::all() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<ReceivedRequest> RequestLog::of(ServerRole server) const {
    std::lock_guard lock(mutex_);
    std::vector<ReceivedRequest> out;
    for (const auto& request : requests_) {
        if (request.server == server) out.push_back(request);
    }
    return out;
}

void RequestLog::clear() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

}  // namespace brindlecast::demo
