#pragma once
// The value tree of a JSON document: the kinds a script engine would hold,
// objects keeping their members in creation order. Strings are UTF-8.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace brindlecast {

/// Documents never nest deeper than this; the reader and every edit enforce
/// it, so recursive walks over a tree stay shallow.
inline constexpr int kMaxJsonDepth = 512;

struct JsonMember;
class JsonValue;

using JsonArray = std::vector<JsonValue>;
using JsonObject = std::vector<JsonMember>;

struct JsonUndefined {};
struct JsonNull {};

/// One value; a default-constructed value is undefined (what a missing member reads as).
class JsonValue {
public:
    enum class Kind { kUndefined, kNull, kBoolean, kNumber, kString, kArray, kObject };

    // Special members are defined below JsonMember: the variant must not be
    // instantiated while JsonMember is still incomplete.
    JsonValue();
    JsonValue(const JsonValue&);
    JsonValue(JsonValue&&) noexcept;
    JsonValue& operator=(const JsonValue&);
    JsonValue& operator=(JsonValue&&) noexcept;
    ~JsonValue();

    static JsonValue null();
    explicit JsonValue(bool b);
    explicit JsonValue(double n);
    explicit JsonValue(std::string s);
    JsonValue(const char*) = delete;  // would silently become a boolean
    explicit JsonValue(JsonArray a);
    explicit JsonValue(JsonObject o);
    static JsonValue empty_object();
    static JsonValue empty_array();

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool is_undefined() const { return kind() == Kind::kUndefined; }
    /// Null or undefined: what a script's "== null" is true for.
    bool is_nullish() const { return data_.index() <= 1; }
    bool is_object() const { return kind() == Kind::kObject; }
    bool is_array() const { return kind() == Kind::kArray; }
    bool is_string() const { return kind() == Kind::kString; }

    bool as_bool() const { return std::get<bool>(data_); }
    double as_number() const { return std::get<double>(data_); }
    const std::string& as_string() const { return std::get<std::string>(data_); }
    std::string& as_string() { return std::get<std::string>(data_); }
    const JsonArray& as_array() const { return std::get<JsonArray>(data_); }
    JsonArray& as_array() { return std::get<JsonArray>(data_); }
    const JsonObject& as_object() const { return std::get<JsonObject>(data_); }
    JsonObject& as_object() { return std::get<JsonObject>(data_); }

    /// The member of an object with this name, or nullptr.
    const JsonValue* find_member(std::string_view name) const;
    JsonValue* find_member(std::string_view name);

    /// Levels of containers in this value: 0 for a scalar, 1 for [] or {}.
    int depth() const;

private:
    explicit JsonValue(JsonNull n);
    std::variant<JsonUndefined, JsonNull, bool, double, std::string, JsonArray, JsonObject> data_;
};

struct JsonMember {
    std::string name;
    JsonValue value;
};

inline JsonValue::JsonValue() = default;
inline JsonValue::JsonValue(const JsonValue&) = default;
inline JsonValue::JsonValue(JsonValue&&) noexcept = default;
inline JsonValue& JsonValue::operator=(const JsonValue&) = default;
inline JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;
inline JsonValue::~JsonValue() = default;
inline JsonValue::JsonValue(JsonNull n) : data_(n) {}
inline JsonValue JsonValue::null() { return JsonValue(JsonNull{}); }
inline JsonValue::JsonValue(bool b) : data_(b) {}
inline JsonValue::JsonValue(double n) : data_(n) {}
inline JsonValue::JsonValue(std::string s) : data_(std::move(s)) {}
inline JsonValue::JsonValue(JsonArray a) : data_(std::move(a)) {}
inline JsonValue::JsonValue(JsonObject o) : data_(std::move(o)) {}

/// Lets the last of several same-named members win, at the place where the
/// name first stood, as an object literal read by a script engine does.
void merge_duplicate_members(JsonObject& object);

/// The array index a property key names ("0", "17"; no sign, no leading
/// zero, below 2^32 - 1), or -1.
long long array_index_of(std::string_view key);

}  // namespace brindlecast
