#include "json/json_value.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace brindlecast {

JsonValue JsonValue::empty_object() { return JsonValue(JsonObject{}); }
JsonValue JsonValue::empty_array() { return JsonValue(JsonArray{}); }

const JsonValue* JsonValue::find_member(std::string_view name) const {
    if (!is_object()) return nullptr;
    for (const JsonMember& m : as_object()) {
        if (m.name == name) return &m.value;
    }
    return nullptr;
}

JsonValue* JsonValue::find_member(std::string_view name) {
    return const_cast<JsonValue*>(std::as_const(*this).find_member(name));
}

int JsonValue::depth() const {
    int deepest = 0;
    if (is_array()) {
        for (const JsonValue& v : as_array()) deepest = std::max(deepest, v.depth());
        return deepest + 1;
    }
    if (is_object()) {
        for (const JsonMember& m : as_object()) deepest = std::max(deepest, m.value.depth());
        return deepest + 1;
    }
    return 0;
}

void merge_duplicate_members(JsonObject& object) {
    const std::size_t n = object.size();
    if (n < 2) return;
    bool duplicate = false;
    if (n <= 8) {
        for (std::size_t i = 1; i < n && !duplicate; ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                if (object[i].name == object[j].name) {
                    duplicate = true;
                    break;
                }
            }
        }
    } else {
        // Sorting positions keeps large objects away from quadratic work.
        std::vector<std::size_t> order(n);
        for (std::size_t i = 0; i < n; ++i) order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return object[a].name < object[b].name; });
        for (std::size_t i = 1; i < n; ++i) {
            if (object[order[i]].name == object[order[i - 1]].name) {
                duplicate = true;
                break;
            }
        }
    }
    if (!duplicate) return;

    std::map<std::string_view, std::size_t> first_place;
    JsonObject merged;
    merged.reserve(n);
    std::vector<std::size_t> slot_of(n);
    for (std::size_t i = 0; i < n; ++i) {
        auto [it, inserted] = first_place.emplace(object[i].name, merged.size());
        if (inserted) merged.push_back(JsonMember{object[i].name, JsonValue()});
        slot_of[i] = it->second;
    }
    for (std::size_t i = 0; i < n; ++i) merged[slot_of[i]].value = std::move(object[i].value);
    object = std::move(merged);
}

long long array_index_of(std::string_view key) {
    if (key.empty() || key.size() > 10 || key[0] < '0' || key[0] > '9') return -1;
    if (key.size() > 1 && key[0] == '0') return -1;
    long long value = 0;
    auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), value);
    if (ec != std::errc() || end != key.data() + key.size()) return -1;
    if (value >= 4294967295LL) return -1;
    return value;
}

}  // namespace brindlecast
