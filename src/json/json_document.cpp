#include "json/json_document.h"

#include <charconv>
#include <cmath>

#include "json/json_number.h"
#include "json/json_path.h"
#include "json/json_reader.h"
#include "json/json_writer.h"
#include "text/format_number.h"
#include "text/text_ops.h"

namespace brindlecast {
namespace {

// How far an element write may reach past the end of an array: a script
// engine would leave a sparse hole, a vector would allocate every slot.
constexpr std::size_t kMaxArrayGap = 1u << 20;

constexpr char kSeparatorUtf8[] = "[2020年7月20日20时0分0秒]";

int type_code(const JsonValue& value) {
    switch (value.kind()) {
        case JsonValue::Kind::kUndefined:
        case JsonValue::Kind::kNull:
            return JsonDocument::kTypeNull;
        case JsonValue::Kind::kBoolean:
            return JsonDocument::kTypeBoolean;
        case JsonValue::Kind::kNumber:
            return JsonDocument::kTypeNumber;
        case JsonValue::Kind::kString:
            return JsonDocument::kTypeString;
        case JsonValue::Kind::kArray:
            return JsonDocument::kTypeArray;
        case JsonValue::Kind::kObject:
            return JsonDocument::kTypeObject;
    }
    return JsonDocument::kTypeInvalid;
}

bool fits_depth(std::size_t levels_above, const JsonValue& value) {
    return levels_above + static_cast<std::size_t>(value.depth()) <= static_cast<std::size_t>(kMaxJsonDepth);
}

// The members a script's for-in loop visits: an object's members, an array's
// present elements under their index names.
template <typename Visit>
void for_each_enumerable(const JsonValue& value, Visit visit) {
    if (value.is_object()) {
        for (const JsonMember& m : value.as_object()) visit(std::string_view(m.name), m.value);
    } else if (value.is_array()) {
        const JsonArray& items = value.as_array();
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].is_undefined()) continue;  // a hole
            visit(std::string_view(std::to_string(i)), items[i]);
        }
    }
}

// Merges source into target in place: strings, booleans, numbers, null and
// missing members take the source's member; objects and arrays are merged
// into; an array target gains the source's elements at its end. False when
// null meets an array target (the merge reads its length, a script error);
// what was merged before that stays.
bool merge_into(JsonValue& target, const JsonValue& source) {
    if (target.is_array()) {
        JsonArray& items = target.as_array();
        if (source.is_nullish()) return false;
        if (source.is_array()) {
            for (const JsonValue& v : source.as_array()) items.push_back(v);
        } else if (source.is_string()) {
            // A string has a length and indexed characters, so its characters are appended.
            const std::string& s = source.as_string();
            for (std::size_t i = 0; i < s.size();) {
                const auto c = static_cast<unsigned char>(s[i]);
                const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                items.push_back(JsonValue(s.substr(i, len)));
                i += len;
            }
        }
        return true;
    }
    if (!target.is_object()) return true;
    bool merged = true;
    for_each_enumerable(source, [&](std::string_view name, const JsonValue& value) {
        if (!merged) return;
        JsonValue* member = target.find_member(name);
        if (member == nullptr) {
            target.as_object().push_back(JsonMember{std::string(name), value});
        } else if (member->is_object() || member->is_array()) {
            merged = merge_into(*member, value);
        } else {
            *member = value;
        }
    });
    return merged;
}

void collect_values(const JsonValue& value, bool recursive, std::string& joined, bool& first,
                    const std::string& separator) {
    for_each_enumerable(value, [&](std::string_view, const JsonValue& member) {
        switch (member.kind()) {
            case JsonValue::Kind::kObject:
            case JsonValue::Kind::kArray:
                if (recursive) collect_values(member, recursive, joined, first, separator);
                return;
            case JsonValue::Kind::kString:
            case JsonValue::Kind::kNumber:
            case JsonValue::Kind::kBoolean:
                if (!first) joined += separator;
                first = false;
                write_text_form(member, joined);
                return;
            default:
                return;
        }
    });
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A text read as a number the way the platform's variant conversion reads it.
double text_to_number(const std::string& text) {
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && is_space(text[from])) ++from;
    while (to > from && is_space(text[to - 1])) --to;
    if (from < to && text[from] == '+') ++from;
    if (from == to) return 0;
    const char* begin = text.data() + from;
    const char* body = *begin == '-' ? begin + 1 : begin;
    if (body == text.data() + to || !((*body >= '0' && *body <= '9') || *body == '.')) return 0;
    double value = 0;
    auto [end, ec] = std::from_chars(begin, text.data() + to, value);
    if (ec != std::errc() || end != text.data() + to) return 0;
    return value;
}

}  // namespace

std::string JsonDocument::value_separator() { return cp936(kSeparatorUtf8); }

JsonDocument::JsonDocument() : root_(std::make_shared<JsonValue>(JsonValue::empty_object())) {}

JsonDocument JsonDocument::clone() const {
    JsonDocument copy;
    copy.root_name_ = root_name_;
    copy.root_ = root_;
    return copy;
}

bool JsonDocument::parse(std::string_view text, bool /*direct*/) {
    // A fresh root: a clone keeps the content it shared.
    root_ = std::make_shared<JsonValue>();
    if (is_blank_text(text)) return false;  // no value at all: the root stays missing
    if (!read_json(text, *root_, bridge_)) {
        *root_ = JsonValue::null();
        return false;
    }
    return !root_->is_nullish();
}

bool JsonDocument::clear() {
    if (!root_) root_ = std::make_shared<JsonValue>();
    *root_ = JsonValue::empty_object();
    return true;
}

std::string JsonDocument::to_json() const {
    if (!root_ || root_->is_undefined()) return {};
    std::string out;
    write_json(*root_, out);
    restore_backslashes(out);
    return to_program_text(std::move(out));
}

std::string JsonDocument::rooted(std::string_view path) const {
    std::string expression(path);
    resolve_path(expression);
    return expression;
}

bool JsonDocument::keys_of(std::string_view expression, std::vector<std::string>& keys) const {
    return root_ && parse_path(expression, root_name_, keys, bridge_);
}

bool JsonDocument::evaluates_present(std::string_view expression) const {
    std::vector<std::string> keys;
    if (!keys_of(expression, keys)) return false;
    const auto value = read_path(*root_, keys);
    return value && !value->get().is_nullish();
}

bool JsonDocument::resolve_path(std::string& path) const {
    // A path may name the root itself ("da", "da.x", "da[0]"); when it names
    // nothing that way it is read from the root like any other.
    if (begins_with(path, root_name_) && evaluates_present(path)) return true;
    if (path.empty()) {
        path = root_name_;
    } else if (path[0] == '[') {
        path.insert(0, root_name_);
    } else {
        path.insert(0, root_name_ + ".");
    }
    return evaluates_present(path);
}

bool JsonDocument::exists(std::string_view path) const {
    std::string expression(path);
    return resolve_path(expression);
}

int JsonDocument::type_of(std::string_view path) const {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return kTypeInvalid;
    const auto value = read_path(*root_, keys);
    if (!value) return kTypeInvalid;
    return type_code(value->get());
}

std::string JsonDocument::get_value(std::string_view path, bool as_json) const {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return {};
    const auto value = read_path(*root_, keys);
    if (!value) return {};
    const JsonValue& v = value->get();
    std::string out;
    if (as_json) {
        write_json(v, out);
    } else {
        write_text_form(v, out);
    }
    restore_backslashes(out);
    return to_program_text(std::move(out));
}

std::string JsonDocument::get_json(std::string_view path) const { return get_value(path, true); }

int JsonDocument::member_names(std::vector<std::string>& names, std::string_view path) const {
    names.clear();
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return 0;
    const auto value = read_path(*root_, keys);
    if (!value || !value->get().is_object()) return 0;
    // Handed over as one text and split again, so a name holding CR LF comes
    // back as several entries, just as the listing always gave them.
    std::string joined;
    bool first = true;
    for (const JsonMember& m : value->get().as_object()) {
        if (!first) joined += "\r\n";
        first = false;
        joined += m.name;
    }
    names = split_by(to_program_text(std::move(joined)), "\r\n");
    return static_cast<int>(names.size());
}

int JsonDocument::count(std::string_view path) const {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return 0;
    const auto value = read_path(*root_, keys);
    if (!value || !value->get().is_array()) return 0;
    return static_cast<int>(value->get().as_array().size());
}

JsonDocument JsonDocument::get_document(std::string_view path) const {
    // Copied through JSON text, so the copy holds exactly what JSON output shows.
    JsonDocument copy;
    copy.parse(get_json(path));
    return copy;
}

JsonDocument JsonDocument::get_element_document(int index, std::string_view path) const {
    JsonDocument copy;
    copy.parse(get_element_value(index, path, true));
    return copy;
}

std::string JsonDocument::get_element_value(int index, std::string_view path, bool as_json) const {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return {};
    keys.push_back(format_number(index));
    const auto value = read_path(*root_, keys);
    if (!value) return {};
    const JsonValue& v = value->get();
    std::string out;
    if (as_json) {
        write_json(v, out);
    } else if (v.is_string()) {
        out = v.as_string();
    } else {
        return {};  // only strings have a text of their own here
    }
    restore_backslashes(out);
    return to_program_text(std::move(out));
}

JsonValue* JsonDocument::container_for_write(const std::vector<std::string>& keys) const {
    const std::vector<std::string> parent_keys(keys.begin(), keys.end() - 1);
    const auto parent = read_path(*root_, parent_keys);
    if (!parent || parent->place == nullptr) return nullptr;
    if (!parent->place->is_object() && !parent->place->is_array()) return nullptr;
    // The tree behind root_ is ours to change; read_path only hands out const places.
    return const_cast<JsonValue*>(parent->place);
}

bool JsonDocument::assign(const std::vector<std::string>& keys, JsonValue value) {
    if (!root_ || !fits_depth(keys.size(), value)) return false;
    if (keys.empty()) {
        *root_ = std::move(value);
        return true;
    }
    JsonValue* container = container_for_write(keys);
    if (container == nullptr) return false;
    const std::string& key = keys.back();
    if (container->is_object()) {
        if (JsonValue* member = container->find_member(key)) {
            *member = std::move(value);
        } else {
            container->as_object().push_back(JsonMember{key, std::move(value)});
        }
        return true;
    }
    JsonArray& items = container->as_array();
    const long long index = array_index_of(key);
    if (index < 0) return false;
    const auto slot = static_cast<std::size_t>(index);
    if (slot >= items.size()) {
        if (slot - items.size() > kMaxArrayGap) return false;
        items.resize(slot + 1);
    }
    items[slot] = std::move(value);
    return true;
}

bool JsonDocument::read_value_text(std::string_view text, JsonValue& out) const {
    if (is_blank_text(text)) {
        out = JsonValue();  // evaluating nothing gives undefined
        return true;
    }
    return read_json(text, out, bridge_);
}

bool JsonDocument::read_element_text(std::string_view text, bool is_raw, JsonValue& out) const {
    if (is_raw) return read_json(text, out, bridge_);
    std::string s;
    if (!read_quoted_literal(text, s, bridge_)) return false;
    out = JsonValue(std::move(s));
    return true;
}

bool JsonDocument::set_value(std::string_view path, std::string_view value, bool is_script) {
    std::string expression(path);
    const bool named = resolve_path(expression);
    std::vector<std::string> keys;
    if (!keys_of(expression, keys)) return false;

    if (!is_script) {
        // Backslashes are stored as U+2400 and come back as written, so JSON
        // output shows them undoubled.
        std::string text = bridge_.to_utf8(value);
        std::string stored;
        stored.reserve(text.size());
        for (char c : text) {
            if (c == '\\') {
                stored += "\xE2\x90\x80";
            } else {
                stored += c;
            }
        }
        return assign(keys, JsonValue(std::move(stored)));
    }

    const auto current = read_path(*root_, keys);
    if (named && current && current->place != nullptr && current->place->is_object()) {
        JsonValue source;
        if (!read_json(value.empty() ? std::string_view("{}") : value, source, bridge_)) return false;
        if (!fits_depth(keys.size(), source)) return false;
        return merge_into(*const_cast<JsonValue*>(current->place), source);
    }
    JsonValue replacement;
    if (!read_value_text(value, replacement)) return false;
    return assign(keys, std::move(replacement));
}

bool JsonDocument::set_expression(std::string_view path, std::string_view expression) {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return false;
    JsonValue value;
    if (!read_value_text(expression, value)) return false;
    return assign(keys, std::move(value));
}

bool JsonDocument::array_add(std::string_view value, std::string_view path, bool is_raw, bool at_front) {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return false;
    // An empty raw value is an argument-less push: the member still becomes an array.
    const bool adds = !(is_raw && is_blank_text(value));
    JsonValue item;
    if (adds && !read_element_text(value, is_raw, item)) return false;
    if (!fits_depth(keys.size() + 1, item)) return false;

    const auto current = read_path(*root_, keys);
    if (!current) return false;
    JsonValue* array = nullptr;
    if (current->place != nullptr && current->place->is_array()) {
        array = const_cast<JsonValue*>(current->place);
    } else {
        if (!assign(keys, JsonValue::empty_array())) return false;
        const auto made = read_path(*root_, keys);
        if (!made || made->place == nullptr || !made->place->is_array()) return false;
        array = const_cast<JsonValue*>(made->place);
    }
    if (!adds) return true;
    JsonArray& items = array->as_array();
    if (at_front) {
        items.insert(items.begin(), std::move(item));
    } else {
        items.push_back(std::move(item));
    }
    return true;
}

bool JsonDocument::set_element(int index, std::string_view path, std::string_view value, bool is_raw) {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return false;
    JsonValue item;
    if (!read_element_text(value, is_raw, item)) return false;
    keys.push_back(format_number(index));
    return assign(keys, std::move(item));
}

bool JsonDocument::remove_element(int index, std::string_view path) {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return false;
    const auto current = read_path(*root_, keys);
    if (!current || current->place == nullptr || !current->place->is_array()) return false;
    JsonArray& items = const_cast<JsonValue*>(current->place)->as_array();
    const long long size = static_cast<long long>(items.size());
    // A negative start counts from the end, as splice does.
    long long start = index < 0 ? std::max(size + index, 0LL) : index;
    if (start < size) items.erase(items.begin() + start);
    return true;
}

bool JsonDocument::remove(std::string_view path) {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys) || keys.empty()) return false;  // the root itself stays
    const std::vector<std::string> parent_keys(keys.begin(), keys.end() - 1);
    const auto parent = read_path(*root_, parent_keys);
    if (!parent || parent->get().is_nullish()) return false;
    if (parent->place == nullptr) return true;
    JsonValue& container = *const_cast<JsonValue*>(parent->place);
    const std::string& key = keys.back();
    if (container.is_object()) {
        JsonObject& members = container.as_object();
        for (auto it = members.begin(); it != members.end(); ++it) {
            if (it->name == key) {
                members.erase(it);
                break;
            }
        }
    } else if (container.is_array()) {
        // Deleting an element leaves a hole; the length stays.
        const long long index = array_index_of(key);
        if (index >= 0 && static_cast<std::size_t>(index) < container.as_array().size()) {
            container.as_array()[static_cast<std::size_t>(index)] = JsonValue();
        } else if (key == "length") {
            return false;
        }
    }
    return true;
}

bool JsonDocument::set_number(std::string_view path, double number) {
    if (!std::isfinite(number)) return false;  // "%.13g" gives no number literal for these
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return false;
    const std::string text = format_number(number);
    double rounded = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), rounded);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    return assign(keys, JsonValue(rounded));
}

double JsonDocument::get_number(std::string_view path) const {
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return 0;
    const auto value = read_path(*root_, keys);
    if (!value) return 0;
    const JsonValue& v = value->get();
    switch (v.kind()) {
        case JsonValue::Kind::kNumber:
            return v.as_number();
        case JsonValue::Kind::kBoolean:
            return v.as_bool() ? -1 : 0;  // the platform's true is all bits set
        case JsonValue::Kind::kString:
            return text_to_number(v.as_string());
        default:
            return 0;
    }
}

int JsonDocument::all_values(std::vector<std::string>& values, std::string_view path, bool recursive) const {
    values.clear();
    std::vector<std::string> keys;
    if (!keys_of(rooted(path), keys)) return 0;
    const auto value = read_path(*root_, keys);
    if (!value) return 0;
    // Joined and split again: a value holding the separator comes back as
    // several entries, and stored backslashes are not turned back.
    const std::string separator(kSeparatorUtf8);
    std::string joined;
    bool first = true;
    collect_values(value->get(), recursive, joined, first, separator);
    values = split_by(to_program_text(std::move(joined)), value_separator());
    return static_cast<int>(values.size());
}

std::string JsonDocument::to_program_text(std::string utf8) const {
    if (is_ascii(utf8)) return utf8;
    return bridge_.to_cp936(utf8);
}

}  // namespace brindlecast
