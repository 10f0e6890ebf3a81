#include "net/web_request.h"

#include <array>
#include <memory>
#include <vector>

#include "net/base64.h"
#include "net/cookies.h"
#include "net/header_block.h"
#include "text/markers.h"
#include "text/text_ops.h"

namespace brindlecast {

namespace {

constexpr std::array<std::string_view, 8> kMethods = {"GET",     "POST",   "HEAD",  "PUT",
                                                      "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr int kPostIndex = 1;
constexpr long kDefaultTimeoutMs = 15000;
constexpr long kSslErrorsIgnored =
    kIgnoreUnknownCa | kIgnoreWrongUsage | kIgnoreCertCnInvalid | kIgnoreCertDateInvalid;

// Appends each default header the block lacks. The key is looked for anywhere
// in the block with case ignored, so "X-Referer:" also counts as a Referer.
std::string complete_header_block(std::string block, std::string_view request_url,
                                  int method_index) {
    struct Default {
        std::string_view key;
        std::string line;
    };
    const Default defaults[] = {
        {"Accept:", "\r\nAccept: */*"},
        {"Referer:", "\r\nReferer: " + std::string(request_url)},
        {"Accept-Language:", "\r\nAccept-Language: zh-cn"},
        {"User-Agent:", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
    };
    for (const Default& d : defaults) {
        if (locate(block, d.key, 1, true) == -1) block += d.line;
    }
    if (method_index == kPostIndex && locate(block, "Content-Type:", 1, true) == -1) {
        block += "\r\nContent-Type: application/x-www-form-urlencoded";
    }
    return block;
}

void send_header_lines(RequestObject& object, std::string_view block) {
    // A block of one line is handed over as it stands, without the tests below.
    if (locate(block, "\r\n") == -1) {
        object.SetRequestHeader(header_name(block), header_value(block));
        return;
    }
    for (const std::string& line : split_by(block, "\r\n")) {
        if (line.empty()) continue;
        const std::string name = header_name(line);
        const std::string value = header_value(line);
        // The object manages its own connection; a keep-alive request is not passed on.
        if (name == "Connection" && value == "keep-alive") continue;
        object.SetRequestHeader(name, value);
    }
}

// The first name=value pair of every Set-Cookie line, joined by "; ".
std::string collect_set_cookies(std::string_view answer_headers) {
    std::string collected;
    for (const std::string& line : split_by(answer_headers, "\r\n")) {
        if (text_left_of(line, ": ") != "Set-Cookie") continue;
        const std::string value =
            locate(line, ";") != -1
                ? trim_blanks(text_between(line, "Set-Cookie:", ";"))
                : trim_blanks(substitute(line, "Set-Cookie:", {}, 1, std::nullopt, false));
        collected += value;
        collected += "; ";
    }
    if (collected.size() >= 2 && collected.compare(collected.size() - 2, 2, "; ") == 0) {
        collected.resize(collected.size() - 2);
    }
    return collected;
}

}  // namespace

ByteBuffer web_request(std::string_view request_url, int method_index, std::string_view body_text,
                       std::string* cookies, std::string* returned_cookies,
                       std::string_view extra_headers, std::string* returned_headers,
                       int* status_code, bool no_redirect, std::string_view body_bytes,
                       std::string_view proxy_address, int timeout_seconds,
                       std::string_view proxy_user, std::string_view proxy_password,
                       std::optional<int> credentials_target, RequestObject* request_object,
                       std::optional<bool> auto_merge_cookies,
                       std::optional<bool> complete_headers,
                       std::optional<bool> normalise_headers) {
    const int target = credentials_target.value_or(kCredentialsForProxy);
    const bool merge = auto_merge_cookies.value_or(true);
    const bool complete = complete_headers.value_or(true);
    const bool normalise = normalise_headers.value_or(true);

    if (method_index < 0 || method_index > 7) method_index = 0;
    const std::string_view method = kMethods[static_cast<std::size_t>(method_index)];

    std::unique_ptr<RequestObject> own_object;
    RequestObject* object = request_object;
    if (object == nullptr) {
        own_object = create_request_object(kWinHttpRequestId);
        object = own_object.get();
        if (object == nullptr) return {};
    }

    if (timeout_seconds != -1) {
        const long t = timeout_seconds < 1 ? kDefaultTimeoutMs : long(timeout_seconds) * 1000;
        object->SetTimeouts(t, t, t, t);
    }
    if (!proxy_address.empty()) object->SetProxy(kProxySettingProxy, proxy_address);
    object->Open(method, request_url, false);
    if (no_redirect) object->Option(kOptionEnableRedirects, 0);
    object->Option(kOptionSslErrorIgnoreFlags, kSslErrorsIgnored);

    std::string block(extra_headers);
    if (complete) block = complete_header_block(std::move(block), request_url, method_index);
    if (normalise) block = normalise_header_block(block);

    if (!proxy_address.empty() && !proxy_user.empty()) {
        object->SetCredentials(proxy_user, proxy_password, target);
        if (target == kCredentialsForProxy) {
            std::string pair(proxy_user);
            pair += ':';
            pair += proxy_password;
            object->SetRequestHeader("Proxy-Authorization", "Basic " + encode_base64(pair));
        }
    }

    if (cookies != nullptr) {
        // A caller may pass a copied "Cookie: ..." header line; only the pairs go out.
        if (!cookies->empty() && locate(*cookies, "Cookie:", 1, true) != -1) {
            *cookies = substitute(*cookies, "Cookie:", {}, 1, std::nullopt, false);
        }
        object->SetRequestHeader("Cookie", *cookies);
    }

    send_header_lines(*object, block);

    if (!body_bytes.empty()) {
        object->Send(BodyKind::bytes, body_bytes);
    } else {
        object->Send(BodyKind::text, body_text);
    }

    ByteBuffer body = object->ResponseBody();
    const std::string answer_headers = object->GetAllResponseHeaders();
    const long status = object->Status();

    std::string answer_cookies = collect_set_cookies(answer_headers);
    if (merge && cookies != nullptr) answer_cookies = merge_cookies(*cookies, answer_cookies);

    if (returned_headers != nullptr) *returned_headers = answer_headers;
    if (status_code != nullptr) *status_code = static_cast<int>(status);
    if (returned_cookies != nullptr) *returned_cookies = std::move(answer_cookies);
    return body;
}

}  // namespace brindlecast
