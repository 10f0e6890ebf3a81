#pragma once
// A request object that records every call it gets, in order, as readable
// lines, and answers with what the test scripted.

#include <string>
#include <string_view>
#include <vector>

#include "net/request_object.h"

namespace brindlecast::testing {

class RecordingRequestObject final : public RequestObject {
public:
    void SetTimeouts(long resolve_ms, long connect_ms, long send_ms, long receive_ms) override {
        record("SetTimeouts(" + std::to_string(resolve_ms) + "," + std::to_string(connect_ms) +
               "," + std::to_string(send_ms) + "," + std::to_string(receive_ms) + ")");
    }
    void SetProxy(int setting, std::string_view proxy_address) override {
        record("SetProxy(" + std::to_string(setting) + "," + std::string(proxy_address) + ")");
    }
    void Open(std::string_view method, std::string_view url, bool asynchronous) override {
        record("Open(" + std::string(method) + "," + std::string(url) + "," +
               (asynchronous ? "true" : "false") + ")");
    }
    void Option(int index, long value) override {
        record("Option(" + std::to_string(index) + ")=" + std::to_string(value));
    }
    void SetCredentials(std::string_view user, std::string_view password, int target) override {
        record("SetCredentials(" + std::string(user) + "," + std::string(password) + "," +
               std::to_string(target) + ")");
    }
    void SetRequestHeader(std::string_view name, std::string_view value) override {
        record("SetRequestHeader(" + std::string(name) + "," + std::string(value) + ")");
        headers.emplace_back(std::string(name), std::string(value));
    }
    void Send(BodyKind kind, std::string_view body) override {
        record(std::string(kind == BodyKind::bytes ? "Send(bytes:" : "Send(text:") +
               std::string(body) + ")");
    }
    ByteBuffer ResponseBody() const override { return answer_body; }
    std::string GetAllResponseHeaders() const override { return answer_headers; }
    long Status() const override { return answer_status; }

    /// Every call so far, e.g. "Open(GET,http://x/,false)" or "Option(4)=13056".
    std::vector<std::string> calls;
    /// The SetRequestHeader calls alone, as name and value.
    std::vector<std::pair<std::string, std::string>> headers;

    /// What the object answers after Send; empty and 0 stand for no answer.
    ByteBuffer answer_body;
    std::string answer_headers;
    long answer_status = 0;

private:
    void record(std::string call) { calls.push_back(std::move(call)); }
};

}  // namespace brindlecast::testing
