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
// CP936 bytes of each BMP code point: a pair as lead << 8 | trail, a single
// byte as itself, 0 when the codec has none.
using ReverseTable = std::array<std::uint16_t, 0x10000>;

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

const PairTable& pair_table();

// The other way, by inverting the pair table (the codec maps each character
// back to the pair it came from) and adding the bytes that stand alone.
std::unique_ptr<const ReverseTable> make_reverse_table() {
    auto table = std::make_unique<ReverseTable>();
    table->fill(0);
    const PairTable& pairs = pair_table();
    for (int i = 0; i < kPairCount; ++i) {
        const char16_t cp = pairs[static_cast<std::size_t>(i)];
        if (cp == 0 || (*table)[cp] != 0) continue;
        (*table)[cp] = static_cast<std::uint16_t>((0x81 + i / kTrailCount) << 8 | (0x40 + i % kTrailCount));
    }
    Cp936Codec codec;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char c = static_cast<char>(byte);
        const std::string utf8 = codec.to_utf8(std::string_view(&c, 1));
        const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
        if (utf8.size() == 3 && (p[0] & 0xF0) == 0xE0) {
            const char32_t cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
            if ((*table)[cp] == 0) (*table)[cp] = static_cast<std::uint16_t>(byte);
        } else if (utf8.size() == 2 && (p[0] & 0xE0) == 0xC0) {
            const char32_t cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
            if ((*table)[cp] == 0) (*table)[cp] = static_cast<std::uint16_t>(byte);
        }
    }
    return table;
}

const PairTable& pair_table() {
    static const std::unique_ptr<const PairTable> table = make_pair_table();
    return *table;
}

const ReverseTable& reverse_table() {
    static const std::unique_ptr<const ReverseTable> table = make_reverse_table();
    return *table;
}

}  // namespace

char16_t cp936_pair_code(unsigned char lead, unsigned char trail) {
    return pair_table()[static_cast<std::size_t>((lead - 0x81) * kTrailCount + (trail - 0x40))];
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
    // more than the whole rest of reading a JSON answer. Every input byte
    // gives at most three output bytes, so the room is made once.
    const PairTable& table = pair_table();
    const std::size_t start = out.size();
    out.resize(start + cp936_text.size() * 3);
    char* w = out.data() + start;
    const auto* p = reinterpret_cast<const unsigned char*>(cp936_text.data());
    const auto* end = p + cp936_text.size();
    auto put = [&w](char32_t cp) {
        if (cp < 0x800) {
            *w++ = static_cast<char>(0xC0 | (cp >> 6));
        } else {
            *w++ = static_cast<char>(0xE0 | (cp >> 12));
            *w++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        *w++ = static_cast<char>(0x80 | (cp & 0x3F));
    };
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            *w++ = static_cast<char>(c);
            ++p;
        } else if (p + 1 < end && is_cp936_pair(c, p[1])) {
            const char16_t code = table[static_cast<std::size_t>((c - 0x81) * kTrailCount + (p[1] - 0x40))];
            if (code != 0) {
                put(code);
            } else {
                *w++ = '?';
            }
            p += 2;
        } else {
            // Rare bytes that stand alone (0x80 is the euro sign) go to the codec.
            const std::string single = codec().to_utf8(std::string_view(reinterpret_cast<const char*>(p), 1));
            for (std::size_t i = 0; i < single.size() && i < 3; ++i) *w++ = single[i];
            ++p;
        }
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
}

std::string TextBridge::to_cp936(std::string_view utf8_text) {
    if (is_ascii(utf8_text)) return std::string(utf8_text);
    const ReverseTable& table = reverse_table();
    std::string out;
    out.resize(utf8_text.size());  // never longer than the UTF-8 form
    char* w = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8_text.data());
    const auto* end = p + utf8_text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            *w++ = static_cast<char>(c);
            ++p;
            continue;
        }
        const int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (len < 2 || end - p < len) {
            *w++ = '?';
            ++p;
            continue;
        }
        char32_t cp = len == 2 ? (c & 0x1Fu) : len == 3 ? (c & 0x0Fu) : (c & 0x07u);
        for (int i = 1; i < len; ++i) cp = (cp << 6) | (p[i] & 0x3Fu);
        p += len;
        const std::uint16_t code = cp < 0x10000 ? table[cp] : 0;
        if (code > 0xFF) {
            *w++ = static_cast<char>(code >> 8);
            *w++ = static_cast<char>(code & 0xFF);
        } else if (code != 0) {
            *w++ = static_cast<char>(code);
        } else {
            *w++ = '?';
        }
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
    return out;
}

}  // namespace brindlecast
