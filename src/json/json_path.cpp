#include "json/json_path.h"

#include <charconv>
#include <cmath>

#include "json/json_number.h"
#include "json/json_reader.h"

namespace brindlecast {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_name_start(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}

bool is_name_char(unsigned char c) { return is_name_start(c) || (c >= '0' && c <= '9'); }

class PathParser {
public:
    PathParser(std::string_view text, TextBridge& bridge)
        : p_(text.data()), end_(text.data() + text.size()), bridge_(bridge) {}

    bool parse(std::string_view root_name, std::vector<std::string>& keys) {
        keys.clear();
        skip_blanks();
        std::string_view first;
        if (!read_name(first) || first != root_name) return false;
        for (;;) {
            skip_blanks();
            if (p_ == end_) return true;
            if (*p_ == '.') {
                ++p_;
                skip_blanks();
                std::string_view name;
                if (!read_name(name)) return false;
                keys.push_back(bridge_.to_utf8(name));
            } else if (*p_ == '[') {
                ++p_;
                skip_blanks();
                std::string key;
                if (!read_bracket_key(key)) return false;
                skip_blanks();
                if (p_ == end_ || *p_ != ']') return false;
                ++p_;
                keys.push_back(std::move(key));
            } else {
                return false;
            }
        }
    }

private:
    void skip_blanks() {
        while (p_ < end_ && is_blank(*p_)) ++p_;
    }

    bool read_name(std::string_view& name) {
        const char* start = p_;
        if (p_ == end_ || !is_name_start(static_cast<unsigned char>(*p_))) return false;
        while (p_ < end_ && is_name_char(static_cast<unsigned char>(*p_))) {
            const auto c = static_cast<unsigned char>(*p_);
            // A CP936 pair is one character even when its trail byte is "[" or "]".
            if (c >= 0x80 && p_ + 1 < end_ && is_cp936_pair(c, static_cast<unsigned char>(p_[1]))) {
                p_ += 2;
            } else {
                ++p_;
            }
        }
        name = std::string_view(start, static_cast<std::size_t>(p_ - start));
        return true;
    }

    bool read_bracket_key(std::string& key) {
        if (p_ == end_) return false;
        if (*p_ == '\'' || *p_ == '"') return read_quoted_key(key);
        return read_number_key(key);
    }

    bool read_quoted_key(std::string& key) {
        const char quote = *p_++;
        const char* body = p_;
        while (p_ < end_ && *p_ != quote) {
            const auto c = static_cast<unsigned char>(*p_);
            if (c == '\\' && p_ + 1 < end_) {
                p_ += 2;
            } else if (c >= 0x80 && p_ + 1 < end_ && is_cp936_pair(c, static_cast<unsigned char>(p_[1]))) {
                p_ += 2;
            } else {
                ++p_;
            }
        }
        if (p_ >= end_) return false;
        const std::string_view literal(body, static_cast<std::size_t>(p_ - body));
        ++p_;
        return read_quoted_literal(literal, key, bridge_, quote);
    }

    // A decimal number literal; the key is its script text form, so [-0]
    // names element 0 and [1.50] the member "1.5".
    bool read_number_key(std::string& key) {
        const char* start = p_;
        if (p_ < end_ && *p_ == '-') {
            ++p_;
            skip_blanks();
        }
        const bool negative = start != p_;
        const char* digits = p_;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
        if (p_ == digits) return false;
        if (p_ - digits > 1 && *digits == '0') return false;  // no octal literals
        if (p_ < end_ && *p_ == '.') {
            ++p_;
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
        }
        std::string text = negative ? "-" : "";
        text.append(digits, p_);
        double value = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (end != text.data() + text.size()) return false;
        if (ec == std::errc::result_out_of_range) value = negative ? -HUGE_VAL : HUGE_VAL;
        else if (ec != std::errc()) return false;
        key = number_to_text(value);
        return true;
    }

    const char* p_;
    const char* end_;
    TextBridge& bridge_;
};

// Steps through UTF-8 counting UTF-16 units, as script strings are indexed.
std::size_t utf16_length(const std::string& s) {
    std::size_t units = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

JsonValue utf16_unit_at(const std::string& s, long long index) {
    long long unit = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const long long width = len == 4 ? 2 : 1;
        if (index < unit + width) {
            // Half of a pair has no text form of its own.
            if (len == 4) return JsonValue(std::string("?"));
            return JsonValue(s.substr(i, len));
        }
        unit += width;
        i += len;
    }
    return JsonValue();
}

}  // namespace

bool parse_path(std::string_view path, std::string_view root_name, std::vector<std::string>& keys,
                TextBridge& bridge) {
    PathParser parser(path, bridge);
    return parser.parse(root_name, keys);
}

PathValue read_property(const JsonValue& base, std::string_view key) {
    PathValue result;
    switch (base.kind()) {
        case JsonValue::Kind::kObject:
            result.place = base.find_member(key);
            break;
        case JsonValue::Kind::kArray: {
            const JsonArray& items = base.as_array();
            const long long index = array_index_of(key);
            if (index >= 0) {
                if (static_cast<unsigned long long>(index) < items.size()) result.place = &items[static_cast<std::size_t>(index)];
            } else if (key == "length") {
                result.made = JsonValue(static_cast<double>(items.size()));
            }
            break;
        }
        case JsonValue::Kind::kString: {
            const long long index = array_index_of(key);
            if (index >= 0) {
                result.made = utf16_unit_at(base.as_string(), index);
            } else if (key == "length") {
                result.made = JsonValue(static_cast<double>(utf16_length(base.as_string())));
            }
            break;
        }
        default:
            break;
    }
    return result;
}

std::optional<PathValue> read_path(const JsonValue& root, const std::vector<std::string>& keys) {
    PathValue current;
    current.place = &root;
    for (const std::string& key : keys) {
        const JsonValue& base = current.get();
        if (base.is_nullish()) return std::nullopt;
        PathValue next = read_property(base, key);
        current = std::move(next);
    }
    return current;
}

}  // namespace brindlecast
