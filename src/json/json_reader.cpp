#include "json/json_reader.h"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

namespace brindlecast {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool read_hex(const char* p, int digits, std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < digits; ++i) {
        const int h = hex_value(p[i]);
        if (h < 0) return false;
        out = out * 16 + static_cast<std::uint32_t>(h);
    }
    return true;
}

// Scans a run of raw characters that needs no escape handling, stepping over
// CP936 pairs as one character so that a trail byte 0x5C is never taken for
// a backslash. Stops at a byte in stop_set.
template <typename Stop>
const char* scan_raw_run(const char* p, const char* end, Stop stop) {
    while (p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            if (p + 1 < end && is_cp936_pair(c, static_cast<unsigned char>(p[1]))) {
                p += 2;
            } else {
                ++p;
            }
            continue;
        }
        if (stop(c)) break;
        ++p;
    }
    return p;
}

class Reader {
public:
    Reader(std::string_view text, TextBridge& bridge, int max_depth)
        : p_(text.data()), end_(text.data() + text.size()), bridge_(bridge), max_depth_(max_depth) {}

    bool read_document(JsonValue& out) {
        skip_blanks();
        if (!read_value(out, 0)) return false;
        skip_blanks();
        return p_ == end_;
    }

private:
    void skip_blanks() {
        while (p_ < end_ && is_blank(*p_)) ++p_;
    }

    bool consume_word(std::string_view word) {
        if (static_cast<std::size_t>(end_ - p_) < word.size()) return false;
        if (std::string_view(p_, word.size()) != word) return false;
        p_ += word.size();
        return true;
    }

    bool read_value(JsonValue& out, int depth) {
        if (p_ >= end_) return false;
        switch (*p_) {
            case '{':
                return read_object(out, depth + 1);
            case '[':
                return read_array(out, depth + 1);
            case '"': {
                ++p_;
                std::string s;
                if (!read_string(s)) return false;
                out = JsonValue(std::move(s));
                return true;
            }
            case 't':
                if (!consume_word("true")) return false;
                out = JsonValue(true);
                return true;
            case 'f':
                if (!consume_word("false")) return false;
                out = JsonValue(false);
                return true;
            case 'n':
                if (!consume_word("null")) return false;
                out = JsonValue::null();
                return true;
            default: {
                double number = 0;
                if (!read_number(number)) return false;
                out = JsonValue(number);
                return true;
            }
        }
    }

    // Elements and members gather on shared stacks and move into a vector of
    // the exact size when their container closes: one allocation per
    // container instead of a growing vector each.
    bool read_array(JsonValue& out, int depth) {
        if (depth > max_depth_) return false;
        ++p_;  // '['
        const std::size_t base = elements_.size();
        skip_blanks();
        if (p_ < end_ && *p_ == ']') {
            ++p_;
            out = JsonValue::empty_array();
            return true;
        }
        for (;;) {
            skip_blanks();
            JsonValue item;
            if (!read_value(item, depth)) return false;
            elements_.push_back(std::move(item));
            skip_blanks();
            if (p_ >= end_) return false;
            if (*p_ == ',') {
                ++p_;
                continue;
            }
            if (*p_ == ']') {
                ++p_;
                break;
            }
            return false;
        }
        const auto first = elements_.begin() + static_cast<std::ptrdiff_t>(base);
        JsonArray items(std::make_move_iterator(first), std::make_move_iterator(elements_.end()));
        elements_.erase(first, elements_.end());
        out = JsonValue(std::move(items));
        return true;
    }

    bool read_object(JsonValue& out, int depth) {
        if (depth > max_depth_) return false;
        ++p_;  // '{'
        const std::size_t base = members_.size();
        skip_blanks();
        if (p_ < end_ && *p_ == '}') {
            ++p_;
            out = JsonValue::empty_object();
            return true;
        }
        for (;;) {
            skip_blanks();
            if (p_ >= end_ || *p_ != '"') return false;
            ++p_;
            JsonMember member;
            if (!read_string(member.name)) return false;
            skip_blanks();
            if (p_ >= end_ || *p_ != ':') return false;
            ++p_;
            skip_blanks();
            if (!read_value(member.value, depth)) return false;
            members_.push_back(std::move(member));
            skip_blanks();
            if (p_ >= end_) return false;
            if (*p_ == ',') {
                ++p_;
                continue;
            }
            if (*p_ == '}') {
                ++p_;
                break;
            }
            return false;
        }
        const auto first = members_.begin() + static_cast<std::ptrdiff_t>(base);
        JsonObject members(std::make_move_iterator(first), std::make_move_iterator(members_.end()));
        members_.erase(first, members_.end());
        merge_duplicate_members(members);
        out = JsonValue(std::move(members));
        return true;
    }

    // After the opening quotation mark; leaves p_ after the closing one.
    bool read_string(std::string& out) {
        const char* start = p_;
        while (p_ < end_) {
            const auto c = static_cast<unsigned char>(*p_);
            if (c == '"') {
                out.assign(start, p_);
                ++p_;
                return true;
            }
            if (c == '\\' || c < 0x20 || c >= 0x80) break;
            ++p_;
        }
        out.assign(start, p_);
        while (p_ < end_) {
            const auto c = static_cast<unsigned char>(*p_);
            if (c == '"') {
                ++p_;
                return true;
            }
            if (c < 0x20) return false;
            if (c == '\\') {
                if (!read_escape(out)) return false;
                continue;
            }
            const char* run = p_;
            p_ = scan_raw_run(p_, end_, [](unsigned char b) { return b == '"' || b == '\\' || b < 0x20; });
            bridge_.append_utf8(out, std::string_view(run, static_cast<std::size_t>(p_ - run)));
        }
        return false;
    }

    bool read_escape(std::string& out) {
        ++p_;  // backslash
        if (p_ >= end_) return false;
        const char e = *p_++;
        switch (e) {
            case '"': out += '"'; return true;
            case '\\': out += '\\'; return true;
            case '/': out += '/'; return true;
            case 'b': out += '\b'; return true;
            case 'f': out += '\f'; return true;
            case 'n': out += '\n'; return true;
            case 'r': out += '\r'; return true;
            case 't': out += '\t'; return true;
            case 'u': break;
            default: return false;
        }
        std::uint32_t unit = 0;
        if (end_ - p_ < 4 || !read_hex(p_, 4, unit)) return false;
        p_ += 4;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            std::uint32_t low = 0;
            if (end_ - p_ >= 6 && p_[0] == '\\' && p_[1] == 'u' && read_hex(p_ + 2, 4, low) &&
                low >= 0xDC00 && low <= 0xDFFF) {
                p_ += 6;
                append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                return true;
            }
            // A lone surrogate has no CP936 form; it would leave the document as "?" anyway.
            out += '?';
            return true;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            out += '?';
            return true;
        }
        append_utf8(out, unit);
        return true;
    }

    bool read_number(double& out) {
        const char* start = p_;
        if (p_ < end_ && *p_ == '-') ++p_;
        if (p_ >= end_) return false;
        const char* int_start = p_;
        if (*p_ == '0') {
            ++p_;
        } else if (*p_ >= '1' && *p_ <= '9') {
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
        } else {
            return false;
        }
        const char* int_end = p_;
        bool plain_integer = true;
        if (p_ < end_ && *p_ == '.') {
            plain_integer = false;
            ++p_;
            const char* frac = p_;
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
            if (p_ == frac) return false;
        }
        if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
            plain_integer = false;
            ++p_;
            if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
            const char* exp = p_;
            while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
            if (p_ == exp) return false;
        }
        if (plain_integer && int_end - int_start <= 15) {
            std::int64_t v = 0;
            for (const char* d = int_start; d < int_end; ++d) v = v * 10 + (*d - '0');
            out = static_cast<double>(*start == '-' ? -v : v);
            if (*start == '-' && v == 0) out = -0.0;
            return true;
        }
        auto [end, ec] = std::from_chars(start, p_, out);
        if (ec == std::errc::result_out_of_range) {
            out = out_of_range_value(start, int_start, int_end);
            return true;
        }
        return ec == std::errc() && end == p_;
    }

    // A number beyond the double range reads as a script engine reads it:
    // infinite when too large, zero when too small.
    double out_of_range_value(const char* start, const char* int_start, const char* int_end) const {
        const bool negative = *start == '-';
        // Decimal exponent of the first significant digit.
        long long magnitude = 0;
        bool found = false;
        const char* p = int_start;
        long long position = int_end - int_start;  // digits before the point
        for (; p < p_ && *p != 'e' && *p != 'E'; ++p) {
            if (*p == '.') continue;
            if (*p != '0') {
                found = true;
                break;
            }
            --position;
        }
        if (found) magnitude = position;
        const char* e = p;
        while (e < p_ && *e != 'e' && *e != 'E') ++e;
        if (e < p_) {
            ++e;
            bool exp_negative = false;
            if (*e == '+' || *e == '-') exp_negative = *e++ == '-';
            long long exponent = 0;
            for (; e < p_; ++e) {
                if (exponent < 100000000) exponent = exponent * 10 + (*e - '0');
            }
            magnitude += exp_negative ? -exponent : exponent;
        }
        const double huge = std::numeric_limits<double>::infinity();
        const double result = found && magnitude > 0 ? huge : 0.0;
        return negative ? -result : result;
    }

    const char* p_;
    const char* end_;
    TextBridge& bridge_;
    int max_depth_;
    std::vector<JsonValue> elements_;
    std::vector<JsonMember> members_;
};

}  // namespace

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool is_blank_text(std::string_view text) {
    for (char c : text) {
        if (!is_blank(c)) return false;
    }
    return true;
}

bool read_json(std::string_view text, JsonValue& out, TextBridge& bridge, int max_depth) {
    Reader reader(text, bridge, max_depth);
    return reader.read_document(out);
}

bool read_quoted_literal(std::string_view body, std::string& out, TextBridge& bridge, char quote) {
    out.clear();
    const char* p = body.data();
    const char* end = p + body.size();
    while (p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == static_cast<unsigned char>(quote) || c == '\r' || c == '\n') return false;
        if (c != '\\') {
            const char* run = p;
            p = scan_raw_run(p, end, [quote](unsigned char b) {
                return b == static_cast<unsigned char>(quote) || b == '\\' || b == '\r' || b == '\n';
            });
            bridge.append_utf8(out, std::string_view(run, static_cast<std::size_t>(p - run)));
            continue;
        }
        ++p;
        if (p >= end) return false;  // the backslash would escape the closing apostrophe
        const char e = *p++;
        std::uint32_t code = 0;
        switch (e) {
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'v': out += '\v'; break;
            case '\r':
                if (p < end && *p == '\n') ++p;
                break;
            case '\n':
                break;
            case 'x':
                if (end - p < 2 || !read_hex(p, 2, code)) return false;
                p += 2;
                append_utf8(out, code);
                break;
            case 'u':
                if (end - p < 4 || !read_hex(p, 4, code)) return false;
                p += 4;
                append_utf8(out, code >= 0xD800 && code <= 0xDFFF ? U'?' : code);
                break;
            default:
                if (e >= '0' && e <= '7') {
                    // Legacy octal escape, up to three digits and at most 0377.
                    code = static_cast<std::uint32_t>(e - '0');
                    const int more = e <= '3' ? 2 : 1;
                    for (int i = 0; i < more && p < end && *p >= '0' && *p <= '7'; ++i) {
                        code = code * 8 + static_cast<std::uint32_t>(*p++ - '0');
                    }
                    append_utf8(out, code);
                } else if (static_cast<unsigned char>(e) >= 0x80) {
                    --p;  // an escaped multi-byte character is the character itself
                } else {
                    out += e;
                }
                break;
        }
    }
    return true;
}

}  // namespace brindlecast
