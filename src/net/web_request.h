#pragma once
// The one general HTTP request: default headers, cookies, proxy and
// credentials over the request object; gives back the answer body.

#include <optional>
#include <string>
#include <string_view>

#include "net/request_object.h"

namespace brindlecast {

/// Sends one synchronous request to request_url and returns the answer body
/// undecoded (empty when no request object could be had or no answer came).
/// A null pointer is an argument left out: cookies not sent nor merged, an
/// out-parameter not delivered, a new request object created. An empty
/// optional takes its default: credentials_target 1 (the proxy), the three
/// switches true.
ByteBuffer web_request(std::string_view request_url,
                       int method_index = 0,
                       std::string_view body_text = {},
                       std::string* cookies = nullptr,
                       std::string* returned_cookies = nullptr,
                       std::string_view extra_headers = {},
                       std::string* returned_headers = nullptr,
                       int* status_code = nullptr,
                       bool no_redirect = false,
                       std::string_view body_bytes = {},
                       std::string_view proxy_address = {},
                       int timeout_seconds = 0,
                       std::string_view proxy_user = {},
                       std::string_view proxy_password = {},
                       std::optional<int> credentials_target = std::nullopt,
                       RequestObject* request_object = nullptr,
                       std::optional<bool> auto_merge_cookies = std::nullopt,
                       std::optional<bool> complete_headers = std::nullopt,
                       std::optional<bool> normalise_headers = std::nullopt);

}  // namespace brindlecast
