#pragma once
// The request object over libcurl: what stands in for the platform's object.

#include <memory>
#include <string>
#include <string_view>

#include "net/request_object.h"

namespace brindlecast {

/// Runs each Send as one synchronous libcurl transfer on its own easy handle,
/// which it keeps (with its live connections) for the object's lifetime.
/// Time-outs: resolve + connect bound the connection; send and receive bound
/// the longest stall of each direction. Certificates are verified unless
/// option 4 names the errors to ignore; redirects are followed unless option
/// 6 is 0. Bodies are never content-decoded. With a proxy set, a
/// Proxy-Authorization header goes to the proxy only, and the proxy is used
/// for every host whatever the environment says.
class CurlRequestObject final : public RequestObject {
public:
    /// nullptr when libcurl cannot be set up. ca_file adds trust anchors for
    /// verification (empty: the system's trust store only).
    static std::unique_ptr<CurlRequestObject> create(std::string ca_file = {});

    ~CurlRequestObject() override;
    CurlRequestObject(const CurlRequestObject&) = delete;
    CurlRequestObject& operator=(const CurlRequestObject&) = delete;

    void SetTimeouts(long resolve_ms, long connect_ms, long send_ms, long receive_ms) override;
    void SetProxy(int setting, std::string_view proxy_address) override;
    void Open(std::string_view method, std::string_view url, bool asynchronous) override;
    void Option(int index, long value) override;
    void SetCredentials(std::string_view user, std::string_view password, int target) override;
    void SetRequestHeader(std::string_view name, std::string_view value) override;
    void Send(BodyKind kind, std::string_view body) override;
    ByteBuffer ResponseBody() const override;
    std::string GetAllResponseHeaders() const override;
    long Status() const override;

    struct State;

private:
    explicit CurlRequestObject(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

/// Initialises libcurl's process-wide state once; false when that failed.
/// Safe to call from any thread, any number of times.
bool ensure_curl_initialised();

}  // namespace brindlecast
