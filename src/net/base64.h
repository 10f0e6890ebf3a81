#pragma once
// Base64 with the standard alphabet and "=" padding, no line breaks.

#include <string>
#include <string_view>

namespace brindlecast {

/// The Base64 form of bytes; the empty text for no bytes.
std::string encode_base64(std::string_view bytes);

}  // namespace brindlecast
