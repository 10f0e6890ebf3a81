#include "text/response_text.h"

namespace brindlecast {

std::string decode_utf8_response(std::string_view body, Cp936Codec& codec) {
    // A zero byte ends the text. Cutting before converting is the same thing:
    // a zero is never part of a longer UTF-8 sequence, and it maps to zero.
    const std::size_t zero = body.find('\0');
    if (zero != std::string_view::npos) body = body.substr(0, zero);
    if (body.empty()) return {};
    return codec.to_cp936(body);
}

std::string decode_utf8_response(std::string_view body) {
    if (body.empty() || body.front() == '\0') return {};
    Cp936Codec codec;
    return decode_utf8_response(body, codec);
}

}  // namespace brindlecast
