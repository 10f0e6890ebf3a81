#include "text/cp936.h"

#include <iconv.h>

#include <cerrno>
#include <utility>

namespace brindlecast {

namespace {

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

iconv_t handle_of(void* p) { return static_cast<iconv_t>(p); }

void close_handle(void* p) {
    if (handle_of(p) != kNoHandle) iconv_close(handle_of(p));
}

// Length of one well-formed UTF-8 character at the start of s, or 0.
std::size_t utf8_char_length(std::string_view s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t length = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 < 0x80) return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (k >= s.size()) return 0;
        const auto b = static_cast<unsigned char>(s[k]);
        if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF)) return 0;
    }
    return length;
}

// Bytes of the ill-formed UTF-8 sequence at the start of s: the longest
// beginning of a valid character (at least one byte), so that each broken
// sequence costs exactly one "?".
std::size_t utf8_ill_formed_length(std::string_view s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t length = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return 1;
    }
    std::size_t k = 1;
    while (k < length && k < s.size()) {
        const auto b = static_cast<unsigned char>(s[k]);
        if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF)) break;
        ++k;
    }
    return k;
}

// Bytes to skip at an unconvertible spot of a CP936 text: a whole two-byte
// character when the pair is shaped like one, else the single byte.
std::size_t cp936_skip_length(std::string_view s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 >= 0x81 && b0 <= 0xFE && s.size() >= 2) {
        const auto b1 = static_cast<unsigned char>(s[1]);
        if (b1 >= 0x40 && b1 <= 0xFE && b1 != 0x7F) return 2;
    }
    return 1;
}

// Converts in bulk; at each spot iconv refuses, writes "?" and steps over
// the refused bytes as skip_length says, so no input makes it fail.
std::string convert(iconv_t cd, std::string_view input, std::size_t first_guess,
                    std::size_t (*skip_length)(std::string_view)) {
    std::string output;
    if (input.empty()) return output;
    if (cd == kNoHandle) {
        // Without a converter only ASCII is certain to be the same on both sides.
        output.reserve(input.size());
        for (char c : input) output.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
        return output;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    output.resize(first_guess + 16);
    std::size_t written = 0;
    std::size_t consumed = 0;
    while (consumed < input.size()) {
        char* in = const_cast<char*>(input.data() + consumed);
        std::size_t in_left = input.size() - consumed;
        char* out = output.data() + written;
        std::size_t out_left = output.size() - written;
        const std::size_t rc = iconv(cd, &in, &in_left, &out, &out_left);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        consumed = input.size() - in_left;
        written = output.size() - out_left;
        if (error == 0) break;
        if (error == E2BIG) {
            output.resize(output.size() * 2);
            continue;
        }
        // EILSEQ (ill-formed or unrepresentable) or EINVAL (cut off at the end).
        if (out_left == 0) output.resize(output.size() * 2);
        output[written++] = '?';
        if (error == EINVAL) break;
        std::size_t skip = skip_length(input.substr(consumed));
        if (skip == 0) skip = 1;
        consumed += skip;
    }
    output.resize(written);
    return output;
}

std::size_t utf8_skip_length(std::string_view s) {
    const std::size_t well_formed = utf8_char_length(s);
    return well_formed != 0 ? well_formed : utf8_ill_formed_length(s);
}

}  // namespace

Cp936Codec::Cp936Codec()
    : to_cp936_(iconv_open("CP936", "UTF-8")), to_utf8_(iconv_open("UTF-8", "CP936")) {}

Cp936Codec::~Cp936Codec() {
    close_handle(to_cp936_);
    close_handle(to_utf8_);
}

Cp936Codec::Cp936Codec(Cp936Codec&& other) noexcept
    : to_cp936_(std::exchange(other.to_cp936_, kNoHandle)),
      to_utf8_(std::exchange(other.to_utf8_, kNoHandle)) {}

Cp936Codec& Cp936Codec::operator=(Cp936Codec&& other) noexcept {
    if (this != &other) {
        close_handle(to_cp936_);
        close_handle(to_utf8_);
        to_cp936_ = std::exchange(other.to_cp936_, kNoHandle);
        to_utf8_ = std::exchange(other.to_utf8_, kNoHandle);
    }
    return *this;
}

std::string Cp936Codec::to_cp936(std::string_view utf8) {
    // A CP936 character never takes more bytes than its UTF-8 form, and a
    // "?" never more than the sequence it stands for.
    return convert(handle_of(to_cp936_), utf8, utf8.size(), utf8_skip_length);
}

std::string Cp936Codec::to_utf8(std::string_view cp936) {
    return convert(handle_of(to_utf8_), cp936, cp936.size() + cp936.size() / 2, cp936_skip_length);
}

std::string utf8_to_cp936(std::string_view utf8) { return Cp936Codec().to_cp936(utf8); }

std::string cp936_to_utf8(std::string_view cp936) { return Cp936Codec().to_utf8(cp936); }

}  // namespace brindlecast
