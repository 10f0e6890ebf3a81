#include "net/curl_request_object.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace brindlecast {

namespace {

using Clock = std::chrono::steady_clock;

// Defaults of the platform object before SetTimeouts: resolution unbounded,
// 60 s to connect, 30 s for each direction of the transfer.
constexpr long kDefaultResolveMs = 0;
constexpr long kDefaultConnectMs = 60000;
constexpr long kDefaultSendMs = 30000;
constexpr long kDefaultReceiveMs = 30000;
constexpr long kMaxRedirects = 10;

struct EasyCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Owns the easy handle and the header list handed to it; move-only, so the
// handle is freed exactly once.
class CurlEasy {
public:
    static std::optional<CurlEasy> make() {
        CURL* handle = curl_easy_init();
        if (handle == nullptr) return std::nullopt;
        return CurlEasy(handle);
    }
    CURL* get() const { return easy_.get(); }

    // Replaces the header lists for the server and for the proxy; false when
    // a line could not be added.
    bool set_header_lines(const std::vector<std::string>& lines,
                          const std::vector<std::string>& proxy_lines) {
        std::unique_ptr<curl_slist, SlistCleanup> list;
        std::unique_ptr<curl_slist, SlistCleanup> proxy_list;
        if (!append_lines(list, lines) || !append_lines(proxy_list, proxy_lines)) return false;
        // The handle refers to the lists until the next transfer sets new ones.
        curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, list.get());
        curl_easy_setopt(easy_.get(), CURLOPT_PROXYHEADER, proxy_list.get());
        headers_ = std::move(list);
        proxy_headers_ = std::move(proxy_list);
        return true;
    }

private:
    explicit CurlEasy(CURL* handle) : easy_(handle) {}

    static bool append_lines(std::unique_ptr<curl_slist, SlistCleanup>& list,
                             const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            curl_slist* grown = curl_slist_append(list.get(), line.c_str());
            if (grown == nullptr) return false;
            (void)list.release();
            list.reset(grown);
        }
        return true;
    }

    std::unique_ptr<CURL, EasyCleanup> easy_;
    std::unique_ptr<curl_slist, SlistCleanup> headers_;
    std::unique_ptr<curl_slist, SlistCleanup> proxy_headers_;
};

struct Credentials {
    std::string user;
    std::string password;
};

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// A byte that would end the header line or the name on the wire.
bool breaks_header_name(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f || c == ':' || c == ';';
}
bool breaks_header_value(char c) { return c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

struct CurlRequestObject::State {
    explicit State(CurlEasy handle, std::string ca) : easy(std::move(handle)), ca_file(std::move(ca)) {}

    CurlEasy easy;
    std::string ca_file;

    // Kept across requests, like the platform object's settings.
    long resolve_ms = kDefaultResolveMs;
    long connect_ms = kDefaultConnectMs;
    long send_ms = kDefaultSendMs;
    long receive_ms = kDefaultReceiveMs;
    std::optional<std::string> proxy;
    long ssl_ignore_flags = 0;
    bool follow_redirects = true;

    // One request, from Open to Send.
    bool opened = false;
    std::string method;
    std::string url;
    std::optional<Credentials> server_credentials;
    std::optional<Credentials> proxy_credentials;
    std::vector<std::pair<std::string, std::string>> headers;

    // The answer.
    ByteBuffer body;
    std::vector<std::string> header_lines;
    long status = 0;

    // Transfer bookkeeping for the stall check.
    bool connected = false;
    Clock::time_point last_activity;
    curl_off_t last_down = 0;
    curl_off_t last_up = 0;

    void clear_answer() {
        body.clear();
        header_lines.clear();
        status = 0;
    }
    bool has_header(std::string_view name) const {
        return std::any_of(headers.begin(), headers.end(),
                           [&](const auto& h) { return equals_ignoring_case(h.first, name); });
    }
};

namespace {

using State = CurlRequestObject::State;

size_t on_body(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<State*>(user);
    state->body.append(data, size * count);
    state->last_activity = Clock::now();
    return size * count;
}

size_t on_header(char* data, size_t size, size_t count, void* user) {
    auto* state = static_cast<State*>(user);
    std::string_view line(data, size * count);
    state->last_activity = Clock::now();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    // Each status line starts an answer of its own (a redirect, an
    // authentication round, a 100 Continue); only the last one is reported.
    if (line.substr(0, 5) == "HTTP/") {
        state->header_lines.clear();
        state->body.clear();
        return size * count;
    }
    if (!line.empty()) state->header_lines.emplace_back(line);
    return size * count;
}

int on_prereq(void* user, char*, char*, int, int) {
    auto* state = static_cast<State*>(user);
    state->connected = true;
    state->last_activity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// libcurl bounds only the whole transfer; the platform's send and receive
// time-outs bound how long one direction may stand still, so a stalled
// server ends the request while a slow but moving one does not.
int on_progress(void* user, curl_off_t, curl_off_t down_now, curl_off_t up_total,
                curl_off_t up_now) {
    auto* state = static_cast<State*>(user);
    const Clock::time_point now = Clock::now();
    if (down_now != state->last_down || up_now != state->last_up) {
        state->last_down = down_now;
        state->last_up = up_now;
        state->last_activity = now;
        return 0;
    }
    if (!state->connected) return 0;  // the connect time-out covers this phase
    const bool sending = up_total > 0 && up_now < up_total;
    const long limit_ms = sending ? state->send_ms : state->receive_ms;
    if (limit_ms <= 0) return 0;
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - state->last_activity);
    return idle.count() >= limit_ms ? 1 : 0;
}

}  // namespace

bool ensure_curl_initialised() {
    // curl_global_init is not safe to race and must run before any handle
    // exists; a function-local static runs it once, thread-safely, on first
    // use. The matching cleanup is left to process exit, because handles may
    // live in objects until then.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

std::unique_ptr<CurlRequestObject> CurlRequestObject::create(std::string ca_file) {
    if (!ensure_curl_initialised()) return nullptr;
    std::optional<CurlEasy> easy = CurlEasy::make();
    if (!easy) return nullptr;
    return std::unique_ptr<CurlRequestObject>(
        new CurlRequestObject(std::make_unique<State>(std::move(*easy), std::move(ca_file))));
}

CurlRequestObject::CurlRequestObject(std::unique_ptr<State> state) : state_(std::move(state)) {}
CurlRequestObject::~CurlRequestObject() = default;

void CurlRequestObject::SetTimeouts(long resolve_ms, long connect_ms, long send_ms,
                                    long receive_ms) {
    state_->resolve_ms = resolve_ms;
    state_->connect_ms = connect_ms;
    state_->send_ms = send_ms;
    state_->receive_ms = receive_ms;
}

void CurlRequestObject::SetProxy(int setting, std::string_view proxy_address) {
    if (setting == kProxySettingProxy && !proxy_address.empty()) {
        state_->proxy = std::string(proxy_address);
    } else {
        state_->proxy.reset();
    }
}

void CurlRequestObject::Open(std::string_view method, std::string_view url, bool) {
    // Every Send is synchronous; an asynchronous open behaves the same.
    state_->opened = !method.empty() && !url.empty();
    state_->method = std::string(method);
    state_->url = std::string(url);
    state_->server_credentials.reset();
    state_->proxy_credentials.reset();
    state_->headers.clear();
    state_->clear_answer();
}

void CurlRequestObject::Option(int index, long value) {
    if (index == kOptionSslErrorIgnoreFlags) state_->ssl_ignore_flags = value;
    if (index == kOptionEnableRedirects) state_->follow_redirects = value != 0;
}

void CurlRequestObject::SetCredentials(std::string_view user, std::string_view password,
                                       int target) {
    Credentials credentials{std::string(user), std::string(password)};
    if (target == kCredentialsForServer) state_->server_credentials = std::move(credentials);
    if (target == kCredentialsForProxy) state_->proxy_credentials = std::move(credentials);
}

void CurlRequestObject::SetRequestHeader(std::string_view name, std::string_view value) {
    // A line break in a name or value would let one header smuggle in others
    // (or end the request head early); such a header is refused, as is a
    // header without a name.
    if (name.empty() || std::any_of(name.begin(), name.end(), breaks_header_name) ||
        std::any_of(value.begin(), value.end(), breaks_header_value)) {
        return;
    }
    auto& headers = state_->headers;
    auto same = std::find_if(headers.begin(), headers.end(),
                             [&](const auto& h) { return equals_ignoring_case(h.first, name); });
    if (same != headers.end()) {
        same->second = std::string(value);
    } else {
        headers.emplace_back(std::string(name), std::string(value));
    }
}

void CurlRequestObject::Send(BodyKind, std::string_view body) {
    // Texts and byte arrays both go out as the bytes given.
    State& s = *state_;
    s.clear_answer();
    if (!s.opened) return;
    CURL* h = s.easy.get();
    // Reset forgets the previous request's options but keeps live connections.
    curl_easy_reset(h);

    curl_easy_setopt(h, CURLOPT_URL, s.url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // HTTP/2 would hand back lower-case header names, which callers that look
    // for "Set-Cookie" byte for byte would miss; speak HTTP/1.1 like the
    // platform object.
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, s.follow_redirects ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);

    // An empty proxy text also keeps libcurl from taking one from the
    // environment; an empty exception list keeps a no_proxy variable from
    // sending a request around the proxy it was given.
    curl_easy_setopt(h, CURLOPT_PROXY, s.proxy ? s.proxy->c_str() : "");
    curl_easy_setopt(h, CURLOPT_NOPROXY, "");
    curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

    // OpenSSL cannot tell an unknown issuer, a wrong usage and an expired
    // certificate apart at this level: any of those flags drops the chain
    // check, the name flag drops the host-name check.
    const bool ignore_chain =
        (s.ssl_ignore_flags & (kIgnoreUnknownCa | kIgnoreWrongUsage | kIgnoreCertDateInvalid)) != 0;
    const bool ignore_name = (s.ssl_ignore_flags & kIgnoreCertCnInvalid) != 0;
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, ignore_chain ? 0L : 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, ignore_name ? 0L : 2L);
    if (!s.ca_file.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, s.ca_file.c_str());

    if (s.server_credentials) {
        curl_easy_setopt(h, CURLOPT_USERNAME, s.server_credentials->user.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, s.server_credentials->password.c_str());
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    }
    if (s.proxy_credentials) {
        curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, s.proxy_credentials->user.c_str());
        curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, s.proxy_credentials->password.c_str());
        curl_easy_setopt(h, CURLOPT_PROXYAUTH, CURLAUTH_ANY);
    }

    const bool posts_body = !body.empty() || s.method == "POST" || s.method == "PUT";
    if (s.method == "HEAD") {
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    } else if (posts_body) {
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
        if (s.method != "POST") curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, s.method.c_str());
    } else if (s.method != "GET") {
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, s.method.c_str());
    }

    // Only the caller's headers go out: libcurl's own Accept, form
    // Content-Type and Expect are switched off unless the caller set them.
    std::vector<std::string> lines;
    std::vector<std::string> proxy_lines;
    for (const auto& [name, value] : s.headers) {
        // "Name;" is libcurl's form for a header with an empty value.
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        // The proxy's credentials are for the proxy alone: through a tunnel
        // the server's list would carry them to the server itself.
        if (s.proxy && equals_ignoring_case(name, "Proxy-Authorization")) {
            proxy_lines.push_back(std::move(line));
        } else {
            lines.push_back(std::move(line));
        }
    }
    if (!s.has_header("Accept")) lines.emplace_back("Accept:");
    if (posts_body && !s.has_header("Content-Type")) lines.emplace_back("Content-Type:");
    if (!s.has_header("Expect")) lines.emplace_back("Expect:");
    // Separate lists: a tunnel's CONNECT gets the proxy's, the request inside
    // it the server's, a request sent to the proxy unencrypted both.
    curl_easy_setopt(h, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
    if (!s.easy.set_header_lines(lines, proxy_lines)) return;

    // libcurl cannot bound resolution and connect apart; their sum bounds both.
    const long connect_limit = s.connect_ms > 0 ? s.connect_ms + std::max(s.resolve_ms, 0L) : 0L;
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connect_limit);

    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &s);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, on_header);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &s);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, on_prereq);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &s);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, on_progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &s);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

    s.connected = false;
    s.last_activity = Clock::now();
    s.last_down = 0;
    s.last_up = 0;

    const CURLcode result = curl_easy_perform(h);
    // The list must not outlive its use by the handle; drop the reference now.
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(h, CURLOPT_PROXYHEADER, nullptr);
    if (result != CURLE_OK) {
        // No complete answer: nothing half-received is reported.
        s.clear_answer();
        return;
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    s.status = status;
}

ByteBuffer CurlRequestObject::ResponseBody() const { return state_->body; }

std::string CurlRequestObject::GetAllResponseHeaders() const {
    std::string block;
    for (const std::string& line : state_->header_lines) {
        if (!block.empty()) block += "\r\n";
        block += line;
    }
    return block;
}

long CurlRequestObject::Status() const { return state_->status; }

std::unique_ptr<RequestObject> create_request_object(std::string_view programmatic_id) {
    // Programmatic identifiers are matched without regard to ASCII case.
    if (!equals_ignoring_case(programmatic_id, kWinHttpRequestId)) return nullptr;
    return CurlRequestObject::create();
}

}  // namespace brindlecast
