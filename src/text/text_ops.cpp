#include "text/text_ops.h"

#include <cassert>

namespace brindlecast {

namespace {

constexpr auto kNpos = std::string_view::npos;

constexpr bool is_lead_byte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

constexpr char fold_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Whether the bytes at i equal needle; the caller makes sure they fit.
bool matches_at(std::string_view text, std::size_t i, std::string_view needle, bool ignore_case) {
    assert(i + needle.size() <= text.size());
    if (!ignore_case) return text.compare(i, needle.size(), needle) == 0;
    for (std::size_t k = 0; k < needle.size(); ++k) {
        if (fold_ascii(text[i + k]) != fold_ascii(needle[k])) return false;
    }
    return true;
}

// True at a lead byte with nothing after it: the text is cut inside a
// character, and every scan stops there.
bool is_lone_lead(std::string_view text, std::size_t i) {
    return is_lead_byte(text[i]) && i + 1 >= text.size();
}

// Candidate positions, ignoring character boundaries: the first at or after
// `from`, or the last at or before `from`.
std::size_t find_bytes(std::string_view text, std::string_view needle, std::size_t from,
                       bool ignore_case) {
    if (!ignore_case) return text.find(needle, from);
    const char first = fold_ascii(needle[0]);
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (fold_ascii(text[i]) == first && matches_at(text, i, needle, true)) return i;
    }
    return kNpos;
}

std::size_t rfind_bytes(std::string_view text, std::string_view needle, std::size_t from,
                        bool ignore_case) {
    if (!ignore_case) return text.rfind(needle, from);
    const char first = fold_ascii(needle[0]);
    for (std::size_t i = from + 1; i-- > 0;) {
        if (i + needle.size() <= text.size() && fold_ascii(text[i]) == first &&
            matches_at(text, i, needle, true)) {
            return i;
        }
    }
    return kNpos;
}

// Start of the run of high bytes that ends just before i, looking back no
// further than `known`, a character start. A byte below 0x80 always ends a
// character, so that start is a character start too, and from there the
// high bytes pair up: i begins a character exactly when its distance from
// the run's start is even.
std::size_t high_run_start(std::string_view text, std::size_t known, std::size_t i) {
    while (i > known && is_lead_byte(text[i - 1])) --i;
    return i;
}

// First character start at or after `from` (itself a character start) where
// a non-empty needle matches, or npos. Candidates come from a byte search;
// each is checked by the parity of the high bytes before it, and the known
// character start moves past every rejected candidate, so no byte is looked
// at twice and texts of many megabytes stay cheap.
std::size_t find_at_char_start(std::string_view text, std::string_view needle, std::size_t from,
                               bool ignore_case) {
    assert(!needle.empty());
    std::size_t known = from;
    while (true) {
        const std::size_t hit = find_bytes(text, needle, known, ignore_case);
        if (hit == kNpos) return kNpos;
        if ((hit - high_run_start(text, known, hit)) % 2 == 0) {
            return is_lone_lead(text, hit) ? kNpos : hit;
        }
        // hit is the second byte of the character at hit - 1.
        known = hit + 1;
    }
}

// Last character start whose match lies wholly within the first `limit`
// bytes, or npos. Searches backward from the limit; the high-byte run found
// for one candidate is reused for the candidates inside it.
std::size_t rfind_at_char_start(std::string_view text, std::string_view needle, std::size_t limit,
                                bool ignore_case) {
    assert(!needle.empty() && needle.size() <= limit && limit <= text.size());
    std::size_t from = limit - needle.size();
    std::size_t run_start = kNpos;
    std::size_t run_end = 0;
    while (true) {
        const std::size_t hit = rfind_bytes(text, needle, from, ignore_case);
        if (hit == kNpos) return kNpos;
        if (run_start == kNpos || hit < run_start || hit > run_end) {
            run_start = high_run_start(text, 0, hit);
            run_end = hit;
        }
        if ((hit - run_start) % 2 == 0 && !is_lone_lead(text, hit)) return hit;
        if (hit == 0) return kNpos;
        from = hit - 1;
    }
}

// Index just past the character that starts at i (clamped to the text).
std::size_t next_char(std::string_view text, std::size_t i) {
    const std::size_t step = is_lead_byte(text[i]) ? 2 : 1;
    return i + step <= text.size() ? i + step : text.size();
}

}  // namespace

TextPos locate(std::string_view text, std::string_view needle, TextPos start, bool ignore_case) {
    const auto length = static_cast<TextPos>(text.size());
    if (start < 1) start = 1;
    if (start > length) return -1;
    if (needle.empty()) return 1;
    // The scan begins at start, which callers pass on a character boundary.
    const std::size_t hit =
        find_at_char_start(text, needle, static_cast<std::size_t>(start - 1), ignore_case);
    return hit == kNpos ? -1 : static_cast<TextPos>(hit) + 1;
}

TextPos locate_last(std::string_view text, std::string_view needle, std::optional<TextPos> start,
                    bool ignore_case) {
    const auto length = static_cast<TextPos>(text.size());
    TextPos limit_start = start.value_or(length + 1);
    if (limit_start <= 1) return -1;
    if (limit_start > length + 1) limit_start = length + 1;
    const auto limit = static_cast<std::size_t>(limit_start - 1);  // bytes the match must lie within
    if (needle.empty()) return 1;
    if (needle.size() > limit) return -1;
    const std::size_t hit = rfind_at_char_start(text, needle, limit, ignore_case);
    return hit == kNpos ? -1 : static_cast<TextPos>(hit) + 1;
}

std::string left_part(std::string_view text, TextPos count) {
    if (count <= 0) return {};
    return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

std::string right_part(std::string_view text, TextPos count) {
    if (count <= 0) return {};
    if (static_cast<std::size_t>(count) >= text.size()) return std::string(text);
    return std::string(text.substr(text.size() - static_cast<std::size_t>(count)));
}

std::string middle_part(std::string_view text, TextPos start, TextPos count) {
    const auto length = static_cast<TextPos>(text.size());
    if (start < 1 || start > length || count <= 0) return {};
    return std::string(text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

std::string substitute(std::string_view text, std::string_view find, std::string_view replacement,
                       TextPos start, std::optional<TextPos> count, bool case_sensitive) {
    const std::size_t skip = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
    if (text.empty() || find.empty() || (count && *count <= 0) || skip >= text.size()) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size());
    TextPos done = 0;
    std::size_t copied = 0;  // text[0, copied) is already in result
    std::size_t from = skip;
    while (from < text.size()) {
        const std::size_t hit = find_at_char_start(text, find, from, !case_sensitive);
        if (hit == kNpos) break;
        result.append(text, copied, hit - copied);
        result.append(replacement);
        copied = from = hit + find.size();
        if (count && ++done == *count) break;
    }
    result.append(text, copied, kNpos);
    return result;
}

std::vector<std::string> split_by(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t piece_start = 0;
    while (piece_start < text.size()) {
        const std::size_t hit = find_at_char_start(text, separator, piece_start, false);
        if (hit == kNpos) break;
        pieces.emplace_back(text.substr(piece_start, hit - piece_start));
        piece_start = hit + separator.size();
    }
    if (piece_start < text.size()) pieces.emplace_back(text.substr(piece_start));
    return pieces;
}

std::string trim_blanks(std::string_view text) {
    // Trailing blanks can only be told from the second byte of a two-byte
    // character by walking forward, so one pass notes where the kept part
    // begins and ends.
    std::size_t begin = kNpos;
    std::size_t end = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t next = next_char(text, i);
        const bool blank = text[i] == ' ' ||
                           (next - i == 2 && text[i] == '\xA1' && text[i + 1] == '\xA1');
        if (!blank) {
            if (begin == kNpos) begin = i;
            end = next;
        }
        i = next;
    }
    if (begin == kNpos) return {};
    return std::string(text.substr(begin, end - begin));
}

std::string upper_ascii(std::string_view text) {
    std::string result(text);
    std::size_t i = 0;
    while (i < result.size()) {
        if (is_lead_byte(result[i])) {
            i += 2;
            continue;
        }
        if (result[i] >= 'a' && result[i] <= 'z') result[i] = static_cast<char>(result[i] - 32);
        ++i;
    }
    return result;
}

bool begins_with(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix && prefix.size() <= text.size();
}

std::string repeat_n(std::string_view text, TextPos count) {
    std::string result;
    if (count <= 0 || text.empty()) return result;
    result.reserve(text.size() * static_cast<std::size_t>(count));
    for (TextPos k = 0; k < count; ++k) result.append(text);
    return result;
}

}  // namespace brindlecast
