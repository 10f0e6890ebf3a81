#include "net/base64.h"

#include <cstdint>

namespace brindlecast {

std::string encode_base64(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = std::uint32_t(std::uint8_t(bytes[i])) << 16 |
                                    std::uint32_t(std::uint8_t(bytes[i + 1])) << 8 |
                                    std::uint32_t(std::uint8_t(bytes[i + 2]));
        out += kAlphabet[(group >> 18) & 0x3f];
        out += kAlphabet[(group >> 12) & 0x3f];
        out += kAlphabet[(group >> 6) & 0x3f];
        out += kAlphabet[group & 0x3f];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest == 1) {
        const std::uint32_t group = std::uint32_t(std::uint8_t(bytes[i])) << 16;
        out += kAlphabet[(group >> 18) & 0x3f];
        out += kAlphabet[(group >> 12) & 0x3f];
        out += "==";
    } else if (rest == 2) {
        const std::uint32_t group = std::uint32_t(std::uint8_t(bytes[i])) << 16 |
                                    std::uint32_t(std::uint8_t(bytes[i + 1])) << 8;
        out += kAlphabet[(group >> 18) & 0x3f];
        out += kAlphabet[(group >> 12) & 0x3f];
        out += kAlphabet[(group >> 6) & 0x3f];
        out += '=';
    }
    return out;
}

}  // namespace brindlecast
