#include "json/text_bridge.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "json/json_reader.h"

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

namespace {

constexpr int kTrailCount = 0xFE - 0x40 + 1;
constexpr int kPairCount = (0xFE - 0x81 + 1) * kTrailCount;

using PairTable = std::array<char16_t, kPairCount>;

// Every pair is converted in one pass, one per line: the codec gives each
// pair one character or one "?", so the lines stay aligned.
std::unique_ptr<const PairTable> make_pair_table() {
    std::string all;
    all.reserve(kPairCount * 3);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            all += static_cast<char>(lead);
            all += static_cast<char>(trail);
            all += '\n';
        }
    }
    Cp936Codec codec;
    const std::string utf8 = codec.to_utf8(all);
    auto table = std::make_unique<PairTable>();
    table->fill(0);
    std::size_t pos = 0;
    for (int i = 0; i < kPairCount && pos < utf8.size(); ++i) {
        const std::size_t end = utf8.find('\n', pos);
        if (end == std::string::npos) break;
        const auto* p = reinterpret_cast<const unsigned char*>(utf8.data() + pos);
        const std::size_t len = end - pos;
        char32_t cp = 0;
        if (len == 2 && (p[0] & 0xE0) == 0xC0) {
            cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
        } else if (len == 3 && (p[0] & 0xF0) == 0xE0) {
            cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
        }
        (*table)[static_cast<std::size_t>(i)] = static_cast<char16_t>(cp);
        pos = end + 1;
    }
    return table;
}

}  // namespace

char16_t cp936_pair_code(unsigned char lead, unsigned char trail) {
    static const std::unique_ptr<const PairTable> table = make_pair_table();
    return (*table)[static_cast<std::size_t>((lead - 0x81) * kTrailCount + (trail - 0x40))];
}

Cp936Codec& TextBridge::codec() {
    if (!codec_) codec_.emplace();
    return *codec_;
}

std::string TextBridge::to_utf8(std::string_view cp936_text) {
    std::string out;
    append_utf8(out, cp936_text);
    return out;
}

void TextBridge::append_utf8(std::string& out, std::string_view cp936_text) {
    // Decoded through the pair table: one codec call per text would cost
    // more than the whole rest of reading a JSON answer.
    out.reserve(out.size() + cp936_text.size() * 3 / 2);
    const char* p = cp936_text.data();
    const char* end = p + cp936_text.size();
    while (p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++p;
            continue;
        }
        if (p + 1 < end && is_cp936_pair(c, static_cast<unsigned char>(p[1]))) {
            const char16_t code = cp936_pair_code(c, static_cast<unsigned char>(p[1]));
            if (code != 0) {
                brindlecast::append_utf8(out, code);
            } else {
                out += '?';
            }
            p += 2;
            continue;
        }
        append_single_byte(out, *p);
        ++p;
    }
}

void TextBridge::append_single_byte(std::string& out, char byte) {
    // Rare bytes that stand alone (0x80 is the euro sign) go to the codec.
    out += codec().to_utf8(std::string_view(&byte, 1));
}

std::string TextBridge::to_cp936(std::string_view utf8_text) {
    if (is_ascii(utf8_text)) return std::string(utf8_text);
    return codec().to_cp936(utf8_text);
}

}  // namespace brindlecast
