#include "text/markers.h"

#include <limits>

namespace brindlecast {

namespace {

// "#引号" in code page 936, kept as bytes: this runs for every header line.
constexpr std::string_view kQuoteMarker = "#\xD2\xFD\xBA\xC5";

// -position without overflow for the most negative value.
TextPos negated(TextPos position) {
    return position == std::numeric_limits<TextPos>::min() ? std::numeric_limits<TextPos>::max()
                                                           : -position;
}

}  // namespace

std::string text_right_of(std::string_view text, std::string_view marker, TextPos position,
                          bool ignore_case) {
    const auto length = static_cast<TextPos>(text.size());
    // A negative position searches forward from its byte; zero or positive
    // searches backward, ignoring that many bytes at the end.
    const TextPos p = position < 0 ? locate(text, marker, negated(position), ignore_case)
                                   : locate_last(text, marker, length - position + 1, ignore_case);
    if (p == -1) return {};
    return right_part(text, length - static_cast<TextPos>(marker.size()) - p + 1);
}

std::string text_left_of(std::string_view text, std::string_view marker, TextPos position,
                         bool ignore_case) {
    const auto length = static_cast<TextPos>(text.size());
    TextPos p = -1;
    if (position < 0) {
        // -1 means the last occurrence in the whole text, so no negative
        // value ignores exactly one byte.
        const TextPos ignored = position == -1 ? 0 : negated(position);
        p = locate_last(text, marker, length - ignored + 1, ignore_case);
    } else {
        p = locate(text, marker, position == 0 ? 1 : position, ignore_case);
    }
    if (p == -1) return {};
    return left_part(text, p - 1);
}

std::string text_between(std::string_view text, std::string_view start_marker,
                         std::string_view end_marker, TextPos position, bool ignore_case) {
    const std::string start = substitute(start_marker, kQuoteMarker, "\"", 1, std::nullopt, true);
    const std::string end = substitute(end_marker, kQuoteMarker, "\"", 1, std::nullopt, true);
    const TextPos p = locate(text, start, position, ignore_case);
    if (p == -1) return {};
    const TextPos q = p + static_cast<TextPos>(start.size());
    const TextPos r = locate(text, end, q, ignore_case);
    if (r == -1) return {};
    return middle_part(text, q, r - q);
}

std::string replace_pairs(std::string_view text, std::optional<TextPos> count, TextPos start,
                          bool case_sensitive, std::string_view find1,
                          std::string_view replacement1, std::string_view find2,
                          std::string_view replacement2, std::string_view find3,
                          std::string_view replacement3, std::string_view find4,
                          std::string_view replacement4, std::string_view find5,
                          std::string_view replacement5) {
    if (start == 0) start = 1;
    // A pair left out has an empty find and changes nothing, so skipping it
    // saves a copy of a possibly large text.
    const std::string_view pairs[][2] = {{find1, replacement1},
                                         {find2, replacement2},
                                         {find3, replacement3},
                                         {find4, replacement4},
                                         {find5, replacement5}};
    std::string result(text);
    for (const auto& pair : pairs) {
        if (pair[0].empty()) continue;
        result = substitute(result, pair[0], pair[1], start, count, case_sensitive);
    }
    return result;
}

}  // namespace brindlecast
