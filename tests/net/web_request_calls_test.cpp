// What web_request asks of the request object, checked on a recording fake.

#include "net/web_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "net/base64.h"
#include "recording_request_object.h"
#include "text/cp936.h"

namespace brindlecast {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::RecordingRequestObject;

const std::string kUrl = "http://127.0.0.1:9/api/open/reslib/content/detail?id=ab&_=1";
const std::string kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

using Header = std::pair<std::string, std::string>;

// All nineteen arguments with their left-out values, so a test states only
// the ones it gives.
struct Request {
    std::string url = kUrl;
    int method_index = 0;
    std::string body_text;
    std::string* cookies = nullptr;
    std::string* returned_cookies = nullptr;
    std::string extra_headers;
    std::string* returned_headers = nullptr;
    int* status_code = nullptr;
    bool no_redirect = false;
    std::string body_bytes;
    std::string proxy_address;
    int timeout_seconds = 0;
    std::string proxy_user;
    std::string proxy_password;
    std::optional<int> credentials_target;
    std::optional<bool> auto_merge_cookies;
    std::optional<bool> complete_headers;
    std::optional<bool> normalise_headers;

    ByteBuffer run(RequestObject& object) const {
        return web_request(url, method_index, body_text, cookies, returned_cookies,
                           extra_headers, returned_headers, status_code, no_redirect,
                           body_bytes, proxy_address, timeout_seconds, proxy_user,
                           proxy_password, credentials_target, &object, auto_merge_cookies,
                           complete_headers, normalise_headers);
    }
};

std::vector<Header> default_headers(const std::string& url) {
    return {{"Accept", "*/*"},
            {"Referer", url},
            {"Accept-Language", "zh-cn"},
            {"User-Agent", kUserAgent}};
}

TEST(WebRequestCalls, AddressAloneSendsAPlainGetWithTheDefaults) {
    RecordingRequestObject object;
    Request().run(object);
    EXPECT_THAT(object.calls,
                ElementsAre("SetTimeouts(15000,15000,15000,15000)", "Open(GET," + kUrl + ",false)",
                            "Option(4)=13056", "SetRequestHeader(Accept,*/*)",
                            "SetRequestHeader(Referer," + kUrl + ")",
                            "SetRequestHeader(Accept-Language,zh-cn)",
                            "SetRequestHeader(User-Agent," + kUserAgent + ")", "Send(text:)"));
}

TEST(WebRequestCalls, MethodIndexPicksTheMethodAndOutOfRangeMeansGet) {
    const std::pair<int, const char*> cases[] = {
        {-1, "GET"},     {0, "GET"},    {1, "POST"},  {2, "HEAD"},    {3, "PUT"},
        {4, "OPTIONS"},  {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"},
    };
    for (const auto& [index, method] : cases) {
        SCOPED_TRACE(index);
        RecordingRequestObject object;
        Request request;
        request.method_index = index;
        request.run(object);
        ASSERT_GE(object.calls.size(), 2u);
        EXPECT_EQ(object.calls[1], std::string("Open(") + method + "," + kUrl + ",false)");
        // Only a POST gets the form Content-Type.
        std::vector<Header> expected = default_headers(kUrl);
        if (index == 1) expected.emplace_back("Content-Type", "application/x-www-form-urlencoded");
        EXPECT_EQ(object.headers, expected);
    }
}

struct HeaderCase {
    const char* label;
    int method_index;
    std::string extra_headers;
    std::optional<bool> complete;
    std::optional<bool> normalise;
    std::vector<Header> expected;
};

TEST(WebRequestCalls, HeaderBlockIsCompletedNormalisedAndHandedOverLineByLine) {
    const auto with_defaults = [](std::vector<Header> first, std::vector<Header> rest) {
        first.insert(first.end(), rest.begin(), rest.end());
        return first;
    };
    const HeaderCase cases[] = {
        {"caller content type wins over the form default", 1,
         "content-type: application/json", std::nullopt, std::nullopt,
         with_defaults({{"Content-Type", "application/json"}}, default_headers(kUrl))},
        {"lower-case referer suppresses the default and is capitalised", 0,
         "referer: http://elsewhere/", std::nullopt, std::nullopt,
         {{"Referer", "http://elsewhere/"}, {"Accept", "*/*"},
          {"Accept-Language", "zh-cn"}, {"User-Agent", kUserAgent}}},
        {"a name ending in the key counts as present", 0, "X-Referer: r", std::nullopt,
         std::nullopt,
         {{"X-Referer", "r"}, {"Accept", "*/*"}, {"Accept-Language", "zh-cn"},
          {"User-Agent", kUserAgent}}},
        {"caller lines first in their order, then the defaults", 0,
         "b-header: 2\r\na-header: 1", std::nullopt, std::nullopt,
         with_defaults({{"B-Header", "2"}, {"A-Header", "1"}}, default_headers(kUrl))},
        {"Connection keep-alive is not handed on", 0, "Connection: keep-alive", std::nullopt,
         std::nullopt, default_headers(kUrl)},
        {"lower-case connection counts once capitalised", 0, "connection: keep-alive",
         std::nullopt, std::nullopt, default_headers(kUrl)},
        {"Connection with another value goes out", 0, "Connection: close", std::nullopt,
         std::nullopt, with_defaults({{"Connection", "close"}}, default_headers(kUrl))},
        {"keep-alive in other letter case goes out", 0, "Connection: Keep-Alive", std::nullopt,
         std::nullopt, with_defaults({{"Connection", "Keep-Alive"}}, default_headers(kUrl))},
        {"without normalisation a lower-case connection goes out", 0,
         "connection: keep-alive\r\nAccept: a", std::nullopt, false,
         {{"connection", "keep-alive"}, {"Accept", "a"}, {"Referer", kUrl},
          {"Accept-Language", "zh-cn"}, {"User-Agent", kUserAgent}}},
        {"a one-line block skips every test", 0, "Connection: keep-alive", false, false,
         {{"Connection", "keep-alive"}}},
        {"no completion and no headers makes one nameless call", 0, "", false, std::nullopt,
         {{"", ""}}},
        {"without normalisation a line without colon makes a nameless call", 0,
         "junk\r\nA: 1", false, false, {{"", ""}, {"A", "1"}}},
        {"given false completion adds nothing", 0, "a: 1\r\nb: 2", false, std::nullopt,
         {{"A", "1"}, {"B", "2"}}},
        // Normalisation works on the untrimmed name, so the blank hides the first letter.
        {"names are trimmed after capitalising, values keep their colons", 0,
         "  x-y  :  a: b  ", std::nullopt, std::nullopt,
         with_defaults({{"x-Y", "a: b"}}, default_headers(kUrl))},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.label);
        RecordingRequestObject object;
        Request request;
        request.method_index = c.method_index;
        request.extra_headers = c.extra_headers;
        request.complete_headers = c.complete;
        request.normalise_headers = c.normalise;
        request.run(object);
        EXPECT_EQ(object.headers, c.expected);
    }
}

TEST(WebRequestCalls, TimeoutRule) {
    const std::pair<int, std::optional<long>> cases[] = {
        {-1, std::nullopt}, {0, 15000}, {-5, 15000}, {1, 1000}, {30, 30000},
    };
    for (const auto& [seconds, expected_ms] : cases) {
        SCOPED_TRACE(seconds);
        RecordingRequestObject object;
        Request request;
        request.timeout_seconds = seconds;
        request.run(object);
        if (expected_ms) {
            const std::string t = std::to_string(*expected_ms);
            EXPECT_EQ(object.calls.front(), "SetTimeouts(" + t + "," + t + "," + t + "," + t + ")");
        } else {
            EXPECT_EQ(object.calls.front().rfind("Open(", 0), 0u) << object.calls.front();
        }
    }
}

TEST(WebRequestCalls, NoRedirectWritesOptionSixBeforeTheCertificateFlags) {
    RecordingRequestObject object;
    Request request;
    request.no_redirect = true;
    request.run(object);
    ASSERT_GE(object.calls.size(), 4u);
    EXPECT_EQ(object.calls[2], "Option(6)=0");
    EXPECT_EQ(object.calls[3], "Option(4)=13056");
}

struct ProxyCase {
    const char* label;
    std::string proxy_address;
    std::string user;
    std::optional<int> target;
    std::vector<std::string> expected_calls;  // between SetTimeouts and Send
};

TEST(WebRequestCalls, ProxyAndCredentials) {
    const std::string user = cp936("用户");
    const std::string proxy_authorization =
        "SetRequestHeader(Proxy-Authorization,Basic " + encode_base64(user + ":pw") + ")";
    const ProxyCase cases[] = {
        {"proxy without user: no credentials", "127.0.0.1:3128", "", std::nullopt,
         {"SetProxy(2,127.0.0.1:3128)", "Open(GET," + kUrl + ",false)", "Option(4)=13056"}},
        {"user without proxy: nothing is set", "", user, 0,
         {"Open(GET," + kUrl + ",false)", "Option(4)=13056"}},
        {"proxy credentials by default, with the Basic header", "127.0.0.1:3128", user,
         std::nullopt,
         {"SetProxy(2,127.0.0.1:3128)", "Open(GET," + kUrl + ",false)", "Option(4)=13056",
          "SetCredentials(" + user + ",pw,1)", proxy_authorization}},
        {"server credentials: no Basic header", "127.0.0.1:3128", user, 0,
         {"SetProxy(2,127.0.0.1:3128)", "Open(GET," + kUrl + ",false)", "Option(4)=13056",
          "SetCredentials(" + user + ",pw,0)"}},
    };
    for (const ProxyCase& c : cases) {
        SCOPED_TRACE(c.label);
        RecordingRequestObject object;
        Request request;
        request.proxy_address = c.proxy_address;
        request.proxy_user = c.user;
        request.proxy_password = "pw";
        request.credentials_target = c.target;
        request.run(object);
        // Drop SetTimeouts, the four default headers and Send.
        const std::vector<std::string> middle(object.calls.begin() + 1, object.calls.end() - 5);
        EXPECT_THAT(middle, ElementsAreArray(c.expected_calls));
    }
}

TEST(WebRequestCalls, ProxyAuthorizationEncodesTheCp936Bytes) {
    // 用户 in CP936 is D3 C3 BB A7.
    EXPECT_EQ(cp936("用户"), "\xD3\xC3\xBB\xA7");
    EXPECT_EQ(encode_base64("\xD3\xC3\xBB\xA7:pw"), "08O7pzpwdw==");
}

struct CookieCase {
    const char* label;
    std::string cookies;
    std::string sent;
    std::string kept;
};

TEST(WebRequestCalls, CookiesAreSentCleanedOfTheirHeaderName) {
    const CookieCase cases[] = {
        {"plain pairs go out unchanged", "a=1; b=2", "a=1; b=2", "a=1; b=2"},
        {"a leading Cookie: goes, the space stays", "Cookie: a=1", " a=1", " a=1"},
        {"every Cookie: in any case goes", "cookie: a=1; COOKIE:b=2", " a=1; b=2", " a=1; b=2"},
        {"the empty text still sets the header", "", "", ""},
    };
    for (const CookieCase& c : cases) {
        SCOPED_TRACE(c.label);
        RecordingRequestObject object;
        std::string cookies = c.cookies;
        Request request;
        request.cookies = &cookies;
        request.auto_merge_cookies = false;  // merging would tidy the text further
        request.run(object);
        ASSERT_FALSE(object.headers.empty());
        EXPECT_EQ(object.headers.front(), Header("Cookie", c.sent));
        EXPECT_EQ(cookies, c.kept);
    }
    RecordingRequestObject object;
    Request().run(object);
    for (const Header& header : object.headers) EXPECT_NE(header.first, "Cookie");
}

struct SetCookieCase {
    const char* label;
    std::string answer_headers;
    std::string expected;
};

TEST(WebRequestCalls, SetCookieLinesGiveTheirFirstPairs) {
    const SetCookieCase cases[] = {
        {"pair with attributes and bare pair",
         "Content-Type: text/html\r\nSet-Cookie: a=1; Path=/; HttpOnly\r\nSet-Cookie: b=2",
         "a=1; b=2"},
        {"lower-case name is not collected", "set-cookie: a=1; Path=/\r\nSet-Cookie: b=2", "b=2"},
        {"no Set-Cookie lines", "Content-Type: text/html\r\nContent-Length: 3", ""},
        {"no answer at all", "", ""},
    };
    for (const SetCookieCase& c : cases) {
        SCOPED_TRACE(c.label);
        RecordingRequestObject object;
        object.answer_headers = c.answer_headers;
        object.answer_status = 200;
        std::string returned = "stale";
        Request request;
        request.returned_cookies = &returned;
        request.run(object);
        EXPECT_EQ(returned, c.expected);
    }
}

TEST(WebRequestCalls, MergingMakesBothCookieTextsEqual) {
    RecordingRequestObject object;
    object.answer_headers = "Set-Cookie: b=3; Path=/\r\nSet-Cookie: c=deleted; Path=/";
    object.answer_status = 200;
    std::string cookies = "Cookie: a=1; b=2; c=9";
    std::string returned;
    Request request;
    request.cookies = &cookies;
    request.returned_cookies = &returned;
    request.run(object);
    EXPECT_EQ(cookies, "b=3; a=1");
    EXPECT_EQ(returned, cookies);
}

TEST(WebRequestCalls, WithoutMergingCookiesOnlyLoseTheirHeaderName) {
    RecordingRequestObject object;
    object.answer_headers = "Set-Cookie: b=3; Path=/";
    object.answer_status = 200;
    std::string cookies = "Cookie: a=1; b=2";
    std::string returned;
    Request request;
    request.cookies = &cookies;
    request.returned_cookies = &returned;
    request.auto_merge_cookies = false;
    request.run(object);
    EXPECT_EQ(cookies, " a=1; b=2");
    EXPECT_EQ(returned, "b=3");
}

TEST(WebRequestCalls, ByteBodyWinsOverTextBody) {
    RecordingRequestObject bytes_object;
    Request request;
    request.method_index = 1;
    request.body_text = "text=1";
    request.body_bytes = std::string("\x00\xff", 2);
    request.run(bytes_object);
    EXPECT_EQ(bytes_object.calls.back(), std::string("Send(bytes:\x00\xff)", 14));

    RecordingRequestObject text_object;
    request.body_bytes.clear();
    request.run(text_object);
    EXPECT_EQ(text_object.calls.back(), "Send(text:text=1)");
}

TEST(WebRequestCalls, AnswerIsDeliveredThroughTheOutParameters) {
    RecordingRequestObject object;
    object.answer_body = std::string("not\0found", 9);
    object.answer_headers = "Content-Length: 9\r\nSet-Cookie: s=1";
    object.answer_status = 404;
    std::string headers = "old";
    int status = -7;
    Request request;
    request.returned_headers = &headers;
    request.status_code = &status;
    EXPECT_EQ(request.run(object), std::string("not\0found", 9));
    EXPECT_EQ(headers, object.answer_headers);
    EXPECT_EQ(status, 404);
}

TEST(WebRequestCalls, NoAnswerGivesEmptyResultsAndKeepsCallerCookies) {
    // An object that answers nothing, like one whose every operation fails.
    RecordingRequestObject object;
    std::string cookies = "a=1";
    std::string returned = "stale";
    std::string headers = "stale";
    int status = 200;
    Request request;
    request.cookies = &cookies;
    request.returned_cookies = &returned;
    request.returned_headers = &headers;
    request.status_code = &status;
    EXPECT_EQ(request.run(object), "");
    EXPECT_EQ(headers, "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(returned, "a=1");  // merged with nothing

    request.auto_merge_cookies = false;
    request.run(object);
    EXPECT_EQ(returned, "");
}

TEST(RequestObjectFactory, KnowsOnlyTheWinHttpIdentifier) {
    EXPECT_NE(create_request_object("WinHttp.WinHttpRequest.5.1"), nullptr);
    EXPECT_NE(create_request_object("winhttp.winhttprequest.5.1"), nullptr);
    EXPECT_EQ(create_request_object("WinHttp.WinHttpRequest.5"), nullptr);
    EXPECT_EQ(create_request_object("MSXML2.XMLHTTP"), nullptr);
    EXPECT_EQ(create_request_object(""), nullptr);
}

}  // namespace
}  // namespace brindlecast
