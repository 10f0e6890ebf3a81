#include "json/text_bridge.h"

#include <cstdint>
#include <cstring>

namespace brindlecast {

bool is_ascii(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    // Eight bytes at a time: JSON texts are mostly ASCII and this is on the hot path.
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL) return false;
    }
    for (; p != end; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80) return false;
    }
    return true;
}

Cp936Codec& TextBridge::codec() {
    if (!codec_) codec_.emplace();
    return *codec_;
}

std::string TextBridge::to_utf8(std::string_view cp936_text) {
    if (is_ascii(cp936_text)) return std::string(cp936_text);
    return codec().to_utf8(cp936_text);
}

std::string TextBridge::to_cp936(std::string_view utf8_text) {
    if (is_ascii(utf8_text)) return std::string(utf8_text);
    return codec().to_cp936(utf8_text);
}

}  // namespace brindlecast
