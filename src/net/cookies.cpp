#include "net/cookies.h"

#include <utility>

namespace brindlecast {

namespace {

// A text ending in ";" gets the space that makes it split cleanly at "; ".
std::string tidy_cookie_text(std::string_view text) {
    std::string tidy = trim_blanks(text);
    if (!tidy.empty() && tidy.back() == ';') tidy += ' ';
    return tidy;
}

bool ends_with(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

std::string merge_cookies(std::string& old_cookies, std::string_view new_cookies) {
    const std::vector<std::string> old_pairs = split_by(tidy_cookie_text(old_cookies), "; ");
    std::vector<std::string> merged = split_by(tidy_cookie_text(new_cookies), "; ");
    // Checked against the growing list, so only the first old pair of a name
    // survives, and none when the answer set that name.
    for (const std::string& pair : old_pairs) {
        if (!has_cookie_named(merged, cookie_name(pair))) merged.push_back(pair);
    }
    std::string result;
    for (const std::string& pair : merged) {
        // The server deletes a cookie by setting this value.
        if (ends_with(pair, "=deleted")) continue;
        result += pair;
        result += "; ";
    }
    result = left_part(result, static_cast<TextPos>(result.size()) - 2);
    result = remove_duplicate_items(result, "; ");
    old_cookies = result;
    return result;
}

std::string cookie_name(std::string_view pair) {
    const TextPos equals = locate(pair, "=");
    return trim_blanks(equals == -1 ? std::string(pair) : left_part(pair, equals - 1));
}

bool has_cookie_named(const std::vector<std::string>& pairs, std::string_view name) {
    for (const std::string& pair : pairs) {
        if (cookie_name(pair) == name) return true;
    }
    return false;
}

std::string remove_duplicate_items(std::string_view text, std::string_view separator) {
    std::vector<std::string> seen;
    std::string out;
    for (std::string& item : split_by(text, separator)) {
        if (index_of_item(seen, item) != -1) continue;
        out += item;
        out += separator;
        seen.push_back(std::move(item));
    }
    return left_part(out, static_cast<TextPos>(out.size()) - static_cast<TextPos>(separator.size()));
}

TextPos index_of_item(const std::vector<std::string>& list, std::string_view text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text) return static_cast<TextPos>(i) + 1;
    }
    return -1;
}

}  // namespace brindlecast
