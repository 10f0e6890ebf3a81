#include "json/json_writer.h"

#include <cmath>

#include "json/json_number.h"

namespace brindlecast {
namespace {

const char kHexDigits[] = "0123456789abcdef";

// Characters the codec writes as \u escapes besides the short ones.
bool needs_unicode_escape(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || (c >= 0x600 && c <= 0x604) ||
           c == 0x70F || c == 0x17B4 || c == 0x17B5 || (c >= 0x200C && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
           (c >= 0xFFF0 && c <= 0xFFFF);
}

// Length of the UTF-8 sequence at p and its code point; strings in a
// document are always well-formed, a stray byte counts as itself.
int decode_utf8(const unsigned char* p, const unsigned char* end, char32_t& cp) {
    const unsigned char c = p[0];
    int len = 1;
    if (c >= 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else if (c >= 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if (c >= 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else {
        cp = c;
        return 1;
    }
    if (end - p < len) {
        cp = c;
        return 1;
    }
    for (int i = 1; i < len; ++i) cp = (cp << 6) | (p[i] & 0x3F);
    return len;
}

void write_string(const std::string& s, std::string& out) {
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    const unsigned char* run = p;
    auto flush = [&](const unsigned char* upto) {
        out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(upto - run));
    };
    while (p < end) {
        const unsigned char c = *p;
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            ++p;
            continue;
        }
        char32_t cp = c;
        const int len = c >= 0x80 ? decode_utf8(p, end, cp) : 1;
        const char* short_form = nullptr;
        switch (cp) {
            case '"': short_form = "\\\""; break;
            case '\\': short_form = "\\\\"; break;
            case '\b': short_form = "\\b"; break;
            case '\t': short_form = "\\t"; break;
            case '\n': short_form = "\\n"; break;
            case '\f': short_form = "\\f"; break;
            case '\r': short_form = "\\r"; break;
            default: break;
        }
        if (short_form == nullptr && !needs_unicode_escape(cp)) {
            p += len;
            continue;
        }
        flush(p);
        if (short_form != nullptr) {
            out += short_form;
        } else {
            char esc[6] = {'\\', 'u', kHexDigits[(cp >> 12) & 0xF], kHexDigits[(cp >> 8) & 0xF],
                           kHexDigits[(cp >> 4) & 0xF], kHexDigits[cp & 0xF]};
            out.append(esc, 6);
        }
        p += len;
        run = p;
    }
    flush(p);
    out += '"';
}

}  // namespace

void write_json(const JsonValue& value, std::string& out) {
    switch (value.kind()) {
        case JsonValue::Kind::kUndefined:
            return;
        case JsonValue::Kind::kNull:
            out += "null";
            return;
        case JsonValue::Kind::kBoolean:
            out += value.as_bool() ? "true" : "false";
            return;
        case JsonValue::Kind::kNumber:
            if (std::isfinite(value.as_number())) {
                append_number_text(out, value.as_number());
            } else {
                out += "null";
            }
            return;
        case JsonValue::Kind::kString:
            write_string(value.as_string(), out);
            return;
        case JsonValue::Kind::kArray: {
            out += '[';
            bool first = true;
            for (const JsonValue& item : value.as_array()) {
                if (!first) out += ',';
                first = false;
                if (item.is_undefined()) {
                    out += "null";
                } else {
                    write_json(item, out);
                }
            }
            out += ']';
            return;
        }
        case JsonValue::Kind::kObject: {
            out += '{';
            bool first = true;
            for (const JsonMember& m : value.as_object()) {
                if (m.value.is_undefined()) continue;
                if (!first) out += ',';
                first = false;
                write_string(m.name, out);
                out += ':';
                write_json(m.value, out);
            }
            out += '}';
            return;
        }
    }
}

void write_text_form(const JsonValue& value, std::string& out) {
    switch (value.kind()) {
        case JsonValue::Kind::kUndefined:
        case JsonValue::Kind::kNull:
            return;
        case JsonValue::Kind::kBoolean:
            out += value.as_bool() ? "true" : "false";
            return;
        case JsonValue::Kind::kNumber:
            append_number_text(out, value.as_number());
            return;
        case JsonValue::Kind::kString:
            out += value.as_string();
            return;
        case JsonValue::Kind::kArray: {
            bool first = true;
            for (const JsonValue& item : value.as_array()) {
                if (!first) out += ',';
                first = false;
                write_text_form(item, out);
            }
            return;
        }
        case JsonValue::Kind::kObject:
            out += "[object Object]";
            return;
    }
}

void restore_backslashes(std::string& s) {
    // U+2400 is E2 90 80 in UTF-8.
    std::size_t pos = s.find("\xE2\x90\x80");
    if (pos == std::string::npos) return;
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    while (pos != std::string::npos) {
        out.append(s, from, pos - from);
        out += '\\';
        from = pos + 3;
        pos = s.find("\xE2\x90\x80", from);
    }
    out.append(s, from);
    s = std::move(out);
}

}  // namespace brindlecast
