// web_request and the libcurl request object against real loopback servers.

#include "net/web_request.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "loopback_server.h"
#include "net/base64.h"
#include "net/curl_request_object.h"
#include "raw_http_server.h"

namespace brindlecast {
namespace {

using testing::LoopbackServer;
using testing::RawHttpServer;
using testing::Scheme;
using namespace std::chrono_literals;

const std::string kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The request head exactly as it went out, so the order of the header lines
// on the wire can be checked; empty when no request arrived.
std::string only_head(const RawHttpServer& server) {
    const std::vector<std::string> heads = server.requests();
    return heads.size() == 1 ? heads.front() : std::string();
}

TEST(WebRequestWire, AddressAloneSendsTheDefaultHeadersInOrder) {
    RawHttpServer server(RawHttpServer::answering(
        "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello"));
    const std::string url = server.origin() + "/api/open/reslib/content/detail?id=ab&_=1";
    EXPECT_EQ(web_request(url), "hello");
    EXPECT_EQ(only_head(server),
              "GET /api/open/reslib/content/detail?id=ab&_=1 HTTP/1.1\r\n"
              "Host: " + server.origin().substr(7) + "\r\n"
              "Accept: */*\r\n"
              "Referer: " + url + "\r\n"
              "Accept-Language: zh-cn\r\n"
              "User-Agent: " + kUserAgent + "\r\n"
              "\r\n");
}

TEST(WebRequestWire, EmptyCookieTextGoesOutAsAnEmptyCookieHeader) {
    RawHttpServer server(
        RawHttpServer::answering("HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n"));
    std::string cookies;
    int status = 0;
    web_request(server.origin() + "/", 0, {}, &cookies, nullptr, {}, nullptr, &status);
    EXPECT_EQ(status, 204);
    EXPECT_NE(only_head(server).find("\r\nCookie:\r\n"), std::string::npos) << only_head(server);
}

TEST(WebRequestWire, ErrorStatusKeepsItsBodyAndHeaders) {
    LoopbackServer server;
    server.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_header("X-Reason", "gone");
        res.set_content("no such case", "text/plain");
    });
    server.start();
    std::string headers;
    int status = 0;
    const ByteBuffer body = web_request(server.origin() + "/missing", 0, {}, nullptr, nullptr, {},
                                        &headers, &status);
    EXPECT_EQ(body, "no such case");
    EXPECT_EQ(status, 404);
    // Header lines only, separated by CR LF, without the status line.
    EXPECT_EQ(headers.rfind("HTTP/", 0), std::string::npos);
    EXPECT_NE(headers.find("X-Reason: gone"), std::string::npos) << headers;
    EXPECT_NE(headers.find("Content-Length: 12"), std::string::npos) << headers;
    EXPECT_EQ(headers.find("\r\n\r\n"), std::string::npos);
    EXPECT_NE(headers.substr(headers.size() - 2), "\r\n");
}

TEST(WebRequestWire, CookiesAreSentCollectedAndMergedAcrossRequests) {
    LoopbackServer server;
    std::mutex mutex;
    std::string received_cookie;
    server.server().Get("/login", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        received_cookie = req.get_header_value("Cookie");
        res.set_header("Set-Cookie", "sid=42; Path=/; HttpOnly");
        res.set_header("Set-Cookie", "theme=dark");
        res.set_header("Set-Cookie", "old=deleted; Max-Age=0");
        res.set_content("ok", "text/plain");
    });
    server.start();

    auto object = CurlRequestObject::create();
    ASSERT_NE(object, nullptr);
    std::string cookies = "Cookie: old=1; keep=yes";
    std::string returned;
    web_request(server.origin() + "/login", 0, {}, &cookies, &returned, {}, nullptr, nullptr,
                false, {}, {}, 0, {}, {}, std::nullopt, object.get());
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(received_cookie, "old=1; keep=yes");
    }
    EXPECT_EQ(cookies, "sid=42; theme=dark; keep=yes");
    EXPECT_EQ(returned, cookies);

    // The same object and the kept cookies carry the session on.
    web_request(server.origin() + "/login", 0, {}, &cookies, &returned, {}, nullptr, nullptr,
                false, {}, {}, 0, {}, {}, std::nullopt, object.get());
    std::lock_guard lock(mutex);
    EXPECT_EQ(received_cookie, "sid=42; theme=dark; keep=yes");
}

class RedirectingServer : public ::testing::Test {
protected:
    void SetUp() override {
        server_.server().Get("/old", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/new", 302);
            res.set_content("moved", "text/plain");
        });
        server_.server().Get("/new", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("X-Final", "yes");
            res.set_content("arrived", "text/plain");
        });
        server_.start();
    }
    LoopbackServer server_;
};

TEST_F(RedirectingServer, RedirectsAreFollowedByDefault) {
    std::string headers;
    int status = 0;
    const ByteBuffer body = web_request(server_.origin() + "/old", 0, {}, nullptr, nullptr, {},
                                        &headers, &status);
    EXPECT_EQ(body, "arrived");
    EXPECT_EQ(status, 200);
    // Only the final answer's headers are reported.
    EXPECT_NE(headers.find("X-Final: yes"), std::string::npos) << headers;
    EXPECT_EQ(headers.find("Location"), std::string::npos) << headers;
}

TEST_F(RedirectingServer, NoRedirectReturnsTheRedirectItself) {
    std::string headers;
    int status = 0;
    const ByteBuffer body = web_request(server_.origin() + "/old", 0, {}, nullptr, nullptr, {},
                                        &headers, &status, true);
    EXPECT_EQ(body, "moved");
    EXPECT_EQ(status, 302);
    EXPECT_NE(headers.find("Location: /new"), std::string::npos) << headers;
}

TEST(WebRequestWire, PostSendsByteAndTextBodiesAsGiven) {
    LoopbackServer server;
    std::mutex mutex;
    std::string received_type;
    server.server().Post("/echo", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        received_type = req.get_header_value("Content-Type");
        res.set_content(req.body, "application/octet-stream");
    });
    server.start();
    const std::string url = server.origin() + "/echo";

    const std::string bytes("\x00\x01\xff\xfe body", 9);
    EXPECT_EQ(web_request(url, 1, "ignored", nullptr, nullptr, {}, nullptr, nullptr, false, bytes),
              bytes);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(received_type, "application/x-www-form-urlencoded");
    }

    const std::string text = "name=\xD6\xD0\xCE\xC4&x=1";  // CP936 bytes go out unchanged
    EXPECT_EQ(web_request(url, 1, text, nullptr, nullptr, "Content-Type: text/plain"), text);
    std::lock_guard lock(mutex);
    EXPECT_EQ(received_type, "text/plain");
}

TEST(WebRequestWire, StalledServerEndsTheRequestAfterTheTimeout) {
    std::atomic<bool> release{false};
    LoopbackServer server;
    server.server().Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
        for (int i = 0; i < 1000 && !release; ++i) std::this_thread::sleep_for(10ms);
        res.set_content("too late", "text/plain");
    });
    server.start();
    std::string headers = "stale";
    int status = -1;
    const auto started = std::chrono::steady_clock::now();
    const ByteBuffer body = web_request(server.origin() + "/stall", 0, {}, nullptr, nullptr, {},
                                        &headers, &status, false, {}, {}, 1);
    const auto took = std::chrono::steady_clock::now() - started;
    release = true;
    EXPECT_EQ(body, "");
    EXPECT_EQ(headers, "");
    EXPECT_EQ(status, 0);
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 4s);
}

TEST(WebRequestWire, RefusedConnectionGivesNoAnswer) {
    LoopbackServer closed;
    closed.start();
    const std::string url = closed.origin() + "/";
    closed.stop();
    std::string headers = "stale";
    int status = -1;
    std::string returned = "stale";
    EXPECT_EQ(web_request(url, 0, {}, nullptr, &returned, {}, &headers, &status), "");
    EXPECT_EQ(headers, "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(returned, "");
}

TEST(WebRequestWire, BodyComesBackUndecoded) {
    LoopbackServer server;
    const std::string raw("\x1f\x8b\x08\x00not really gzip", 19);
    server.server().Get("/packed", [&](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Encoding", "gzip");
        res.set_content(raw, "application/json");
    });
    server.start();
    EXPECT_EQ(web_request(server.origin() + "/packed"), raw);
}

TEST(WebRequestWire, HeadGetsStatusWithoutBody) {
    LoopbackServer server;
    server.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("page body", "text/html");
    });
    server.start();
    int status = 0;
    EXPECT_EQ(web_request(server.origin() + "/page", 2, {}, nullptr, nullptr, {}, nullptr, &status),
              "");
    EXPECT_EQ(status, 200);
}

TEST(WebRequestWire, OnlyTheGivenHeadersGoOut) {
    LoopbackServer server;
    std::mutex mutex;
    httplib::Headers received;
    server.server().Post("/plain", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        received = req.headers;
        res.set_content("ok", "text/plain");
    });
    server.start();
    // No completion and no headers: the nameless header call is ignored and
    // the object adds no Accept, Content-Type or Expect of its own.
    const std::string big_body(2 * 1024 * 1024, 'x');
    EXPECT_EQ(web_request(server.origin() + "/plain", 1, {}, nullptr, nullptr, {}, nullptr, nullptr,
                          false, big_body, {}, 0, {}, {}, std::nullopt, nullptr, std::nullopt,
                          false),
              "ok");
    std::lock_guard lock(mutex);
    EXPECT_EQ(received.count("Accept"), 0u);
    EXPECT_EQ(received.count("Content-Type"), 0u);
    EXPECT_EQ(received.count("Expect"), 0u);
    EXPECT_EQ(received.count("User-Agent"), 0u);
}

TEST(WebRequestWire, SelfSignedCertificateIsAcceptedAsTheFourIgnoredErrorsRequire) {
    LoopbackServer server(Scheme::https);
    server.server().Get("/secure", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("secret", "text/plain");
    });
    server.start();
    int status = 0;
    EXPECT_EQ(web_request(server.origin() + "/secure", 0, {}, nullptr, nullptr, {}, nullptr,
                          &status),
              "secret");
    EXPECT_EQ(status, 200);
}

TEST(CurlRequestObject, VerifiesCertificatesUnlessOptionFourSaysOtherwise) {
    LoopbackServer server(Scheme::https);
    server.server().Get("/secure", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("secret", "text/plain");
    });
    server.start();
    const std::string url = server.origin() + "/secure";

    struct Case {
        const char* label;
        std::string ca_file;
        std::optional<long> ignore_flags;
        long expected_status;
    };
    const Case cases[] = {
        {"system trust store refuses the self-signed certificate", "", std::nullopt, 0},
        {"ignoring the name alone still checks the chain", "", kIgnoreCertCnInvalid, 0},
        {"the four flags let it through", "", 0x3300, 200},
        {"trusting the certificate verifies it", testing::test_certificate_path(), std::nullopt,
         200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto object = CurlRequestObject::create(c.ca_file);
        ASSERT_NE(object, nullptr);
        object->SetTimeouts(2000, 2000, 2000, 2000);
        object->Open("GET", url, false);
        if (c.ignore_flags) object->Option(kOptionSslErrorIgnoreFlags, *c.ignore_flags);
        object->Send(BodyKind::text, {});
        EXPECT_EQ(object->Status(), c.expected_status);
        EXPECT_EQ(object->ResponseBody(), c.expected_status == 200 ? "secret" : "");
    }
}

TEST(CurlRequestObject, RefusesHeadersThatWouldBreakTheRequestHead) {
    LoopbackServer server;
    std::mutex mutex;
    httplib::Headers received;
    server.server().Get("/h", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        received = req.headers;
        res.set_content("ok", "text/plain");
    });
    server.start();
    auto object = CurlRequestObject::create();
    ASSERT_NE(object, nullptr);
    object->Open("GET", server.origin() + "/h", false);
    object->SetRequestHeader("X-Good", "1");
    object->SetRequestHeader("X-Bad", "1\r\nX-Injected: 1");
    object->SetRequestHeader("X-Lf", "1\nX-Injected-Lf: 1");
    object->SetRequestHeader("X-Bad\r\nX-Injected-Name", "1");
    object->SetRequestHeader("", "nameless");
    object->SetRequestHeader("x-good", "2");  // same name, other case: replaces
    object->Send(BodyKind::text, {});
    EXPECT_EQ(object->Status(), 200);
    std::lock_guard lock(mutex);
    EXPECT_EQ(received.count("X-Injected"), 0u);
    EXPECT_EQ(received.count("X-Injected-Lf"), 0u);
    EXPECT_EQ(received.count("X-Injected-Name"), 0u);
    EXPECT_EQ(received.count("X-Bad"), 0u);
    EXPECT_EQ(received.count("X-Lf"), 0u);
    ASSERT_EQ(received.count("X-Good"), 1u);
    EXPECT_EQ(received.find("X-Good")->second, "2");
}

// A loopback server that answers requests in absolute form stands in for an
// HTTP proxy; the requested host never resolves, so only the proxy can answer.
class ProxyServer : public ::testing::Test {
protected:
    void SetUp() override {
        server_.server().Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            target_ = req.target;
            proxy_authorization_ = req.get_header_value("Proxy-Authorization");
            const std::string authorization = req.get_header_value("Authorization");
            if (req.path.find("/private") != std::string::npos &&
                authorization != "Basic " + encode_base64("user:pw")) {
                res.status = 401;
                res.set_header("WWW-Authenticate", "Basic realm=\"cases\"");
                res.set_content("who are you", "text/plain");
                return;
            }
            res.set_content("via proxy", "text/plain");
        });
        server_.start();
    }
    LoopbackServer server_;
    std::mutex mutex_;
    std::string target_;
    std::string proxy_authorization_;
};

TEST_F(ProxyServer, RequestGoesThroughTheProxyWithItsCredentials) {
    int status = 0;
    const ByteBuffer body =
        web_request("http://brindlecast.invalid/cases?id=1", 0, {}, nullptr, nullptr, {}, nullptr,
                    &status, false, {}, server_.host(), 2, "user", "pw");
    EXPECT_EQ(body, "via proxy");
    EXPECT_EQ(status, 200);
    std::lock_guard lock(mutex_);
    EXPECT_EQ(target_, "http://brindlecast.invalid/cases?id=1");
    EXPECT_EQ(proxy_authorization_, "Basic " + encode_base64("user:pw"));
}

TEST_F(ProxyServer, ANoProxyVariableDoesNotSendTheRequestAroundTheProxy) {
    // Process-wide, so put back before any assertion can end the test.
    const char* saved = std::getenv("no_proxy");
    const std::string saved_value = saved ? saved : "";
    ::setenv("no_proxy", "*", 1);
    int status = 0;
    const ByteBuffer body =
        web_request("http://brindlecast.invalid/cases?id=2", 0, {}, nullptr, nullptr, {}, nullptr,
                    &status, false, {}, server_.host(), 2);
    if (saved) {
        ::setenv("no_proxy", saved_value.c_str(), 1);
    } else {
        ::unsetenv("no_proxy");
    }
    EXPECT_EQ(body, "via proxy");
    EXPECT_EQ(status, 200);
}

TEST_F(ProxyServer, ServerCredentialsAnswerTheServersChallenge) {
    int status = 0;
    const ByteBuffer body =
        web_request("http://brindlecast.invalid/private", 0, {}, nullptr, nullptr, {}, nullptr,
                    &status, false, {}, server_.host(), 2, "user", "pw", 0);
    EXPECT_EQ(body, "via proxy");
    EXPECT_EQ(status, 200);
    std::lock_guard lock(mutex_);
    EXPECT_EQ(proxy_authorization_, "");
}

TEST_F(ProxyServer, WithoutCredentialsTheChallengeIsReturned) {
    int status = 0;
    const ByteBuffer body =
        web_request("http://brindlecast.invalid/private", 0, {}, nullptr, nullptr, {}, nullptr,
                    &status, false, {}, server_.host(), 2);
    EXPECT_EQ(body, "who are you");
    EXPECT_EQ(status, 401);
}

// Closes the descriptor it holds.
struct Socket {
    explicit Socket(int fd) : fd(fd) {}
    ~Socket() {
        if (fd >= 0) ::close(fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd;
};

// A proxy that opens the tunnel a CONNECT asks for, always to the loopback
// port named, and relays bytes both ways until one side hangs up.
RawHttpServer::Handler tunnelling_proxy() {
    return [](int client, const std::string& head) {
        const std::size_t line_end = head.find("\r\n");
        const std::size_t colon = head.rfind(':', line_end);
        if (head.rfind("CONNECT ", 0) != 0 || colon == std::string::npos) return;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(head.c_str() + colon + 1)));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const Socket upstream(::socket(AF_INET, SOCK_STREAM, 0));
        if (upstream.fd < 0 ||
            ::connect(upstream.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            return;
        }
        if (!RawHttpServer::send_all(client, "HTTP/1.1 200 Connection established\r\n\r\n")) return;
        pollfd ends[2] = {{client, POLLIN, 0}, {upstream.fd, POLLIN, 0}};
        char buffer[16384];
        while (::poll(ends, 2, 2000) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (ends[i].revents == 0) continue;
                const ssize_t got = ::recv(ends[i].fd, buffer, sizeof buffer, 0);
                if (got <= 0 ||
                    !RawHttpServer::send_all(ends[1 - i].fd,
                                             std::string_view(buffer, static_cast<std::size_t>(got)))) {
                    return;
                }
            }
        }
    };
}

TEST(WebRequestWire, ProxyCredentialsGoToTheProxyAndNotThroughItsTunnel) {
    LoopbackServer target(Scheme::https);
    std::mutex mutex;
    bool target_saw_proxy_authorization = true;
    target.server().Get("/secure", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        target_saw_proxy_authorization = req.has_header("Proxy-Authorization");
        res.set_content("secret", "text/plain");
    });
    target.start();
    RawHttpServer proxy(tunnelling_proxy());

    // The name never resolves: only the proxy can reach the target.
    const std::string url =
        "https://brindlecast.invalid:" + std::to_string(target.port()) + "/secure";
    int status = 0;
    const ByteBuffer body =
        web_request(url, 0, {}, nullptr, nullptr, {}, nullptr, &status, false, {},
                    "127.0.0.1:" + std::to_string(proxy.port()), 2, "user", "pw");
    EXPECT_EQ(body, "secret");
    EXPECT_EQ(status, 200);
    const std::vector<std::string> heads = proxy.requests();
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads.front().rfind("CONNECT brindlecast.invalid:", 0), 0u) << heads.front();
    EXPECT_NE(heads.front().find("\r\nProxy-Authorization: Basic " + encode_base64("user:pw") +
                                 "\r\n"),
              std::string::npos)
        << heads.front();
    std::lock_guard lock(mutex);
    EXPECT_FALSE(target_saw_proxy_authorization);
}

}  // namespace
}  // namespace brindlecast
