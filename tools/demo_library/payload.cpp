#include "payload.h"

#include <algorithm>

namespace brindlecast::demo {

namespace {

// splitmix64: cheap, well mixed, so the filler does not compress and a byte
// served at the wrong offset is caught by a comparison.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t word_at(std::uint32_t seed, std::uint64_t word_index) {
    return mix((static_cast<std::uint64_t>(seed) << 40) ^ word_index);
}

}  // namespace

std::uint8_t generated_byte(std::uint32_t seed, std::uint64_t index) {
    return static_cast<std::uint8_t>(word_at(seed, index / 8) >> (8 * (index % 8)));
}

void append_generated_bytes(std::string& out, std::uint32_t seed, std::uint64_t offset, std::uint64_t length) {
    const std::uint64_t end = offset + length;
    out.reserve(out.size() + length);
    std::uint64_t i = offset;
    while (i < end && i % 8 != 0) out.push_back(static_cast<char>(generated_byte(seed, i++)));
    for (; i + 8 <= end; i += 8) {
        std::uint64_t w = word_at(seed, i / 8);
        for (int b = 0; b < 8; ++b) out.push_back(static_cast<char>(w >> (8 * b)));
    }
    while (i < end) out.push_back(static_cast<char>(generated_byte(seed, i++)));
}

std::string Payload::bytes(std::uint64_t offset, std::uint64_t length) const {
    std::string out;
    const std::uint64_t total = size();
    if (offset >= total) return out;
    std::uint64_t end = std::min(total, offset + length);
    out.reserve(end - offset);
    const std::uint64_t filler_begin = head.size();
    const std::uint64_t tail_begin = filler_begin + filler_size;
    if (offset < filler_begin) {
        auto stop = std::min(end, filler_begin);
        out.append(head, offset, stop - offset);
        offset = stop;
    }
    if (offset < end && offset < tail_begin) {
        auto stop = std::min(end, tail_begin);
        append_generated_bytes(out, filler_seed, offset - filler_begin, stop - offset);
        offset = stop;
    }
    if (offset < end) out.append(tail, offset - tail_begin, end - offset);
    return out;
}

Payload Payload::of_bytes(std::string bytes, std::string content_type) {
    Payload p;
    p.head = std::move(bytes);
    p.content_type = std::move(content_type);
    return p;
}

Payload Payload::generated(std::uint64_t size, std::uint32_t seed, std::string content_type) {
    Payload p;
    p.filler_size = size;
    p.filler_seed = seed;
    p.content_type = std::move(content_type);
    return p;
}

Payload Payload::not_found() {
    Payload p;
    p.status = 404;
    return p;
}

}  // namespace brindlecast::demo
