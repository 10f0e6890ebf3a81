#pragma once
// The HTTP request object that web_request drives: one synchronous request at
// a time, configured step by step, then sent and read back.

#include <memory>
#include <string>
#include <string_view>

namespace brindlecast {

/// A counted run of bytes (request and answer bodies); not a program text.
using ByteBuffer = std::string;

/// The programmatic identifier under which the request object is created.
inline constexpr std::string_view kWinHttpRequestId = "WinHttp.WinHttpRequest.5.1";

/// Proxy setting mode: the named proxy, no bypass list.
inline constexpr int kProxySettingProxy = 2;
/// Credentials flags: answer the server's or the proxy's challenge.
inline constexpr int kCredentialsForServer = 0;
inline constexpr int kCredentialsForProxy = 1;
/// Option indexes and the certificate-error flags of option 4.
inline constexpr int kOptionSslErrorIgnoreFlags = 4;
inline constexpr int kOptionEnableRedirects = 6;
inline constexpr long kIgnoreUnknownCa = 0x0100;
inline constexpr long kIgnoreWrongUsage = 0x0200;
inline constexpr long kIgnoreCertCnInvalid = 0x1000;
inline constexpr long kIgnoreCertDateInvalid = 0x2000;

/// Which kind of body Send got: a program text or a byte array.
enum class BodyKind { text, bytes };

/// The platform's scriptable HTTP request object. No operation reports
/// failure; a failed one leaves the answer empty and the status 0.
class RequestObject {
public:
    virtual ~RequestObject() = default;

    /// Time-outs in milliseconds for name resolution, connect, send and receive.
    virtual void SetTimeouts(long resolve_ms, long connect_ms, long send_ms, long receive_ms) = 0;
    /// Proxy mode (2: the named proxy) and the proxy's address.
    virtual void SetProxy(int setting, std::string_view proxy_address) = 0;
    /// Starts a new request: method name, absolute address, asynchronous flag.
    virtual void Open(std::string_view method, std::string_view url, bool asynchronous) = 0;
    /// Writes option index (4: certificate errors to ignore, 6: follow redirects).
    virtual void Option(int index, long value) = 0;
    /// Credentials for the server's (0) or the proxy's (1) challenge.
    virtual void SetCredentials(std::string_view user, std::string_view password, int target) = 0;
    /// Adds a request header, replacing one of the same name.
    virtual void SetRequestHeader(std::string_view name, std::string_view value) = 0;
    /// Sends the request with the body and returns once the whole answer is in
    /// or the request has failed.
    virtual void Send(BodyKind kind, std::string_view body) = 0;
    /// The answer body, undecoded.
    virtual ByteBuffer ResponseBody() const = 0;
    /// The answer's header lines separated by "\r\n", without the status line.
    virtual std::string GetAllResponseHeaders() const = 0;
    /// The answer's status code; 0 when there was no answer.
    virtual long Status() const = 0;
};

/// Creates a request object by its programmatic identifier; nullptr for an
/// unknown identifier or when the object cannot be set up.
std::unique_ptr<RequestObject> create_request_object(std::string_view programmatic_id);

}  // namespace brindlecast
