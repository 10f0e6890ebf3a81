#pragma once
// JsonDocument: one JSON value read and edited by script-style member paths
// ("data.attrs[0].value"). Texts in and out are program texts (CP936);
// failures give false, the empty text or 0, never an exception.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_value.h"
#include "json/text_bridge.h"

namespace brindlecast {

class JsonDocument {
public:
    /// Type codes of type_of.
    static constexpr int kTypeInvalid = -1;
    static constexpr int kTypeNull = 0;
    static constexpr int kTypeBoolean = 1;
    static constexpr int kTypeNumber = 2;
    static constexpr int kTypeObject = 4;
    static constexpr int kTypeArray = 5;
    static constexpr int kTypeString = 6;

    /// Separator all_values lists values with before splitting them.
    static std::string value_separator();

    /// A document whose root is an empty object.
    JsonDocument();
    JsonDocument(JsonDocument&&) noexcept = default;
    JsonDocument& operator=(JsonDocument&&) noexcept = default;
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;
    ~JsonDocument() = default;

    /// A second document over the same content: each sees the other's edits
    /// until one of them parses again.
    JsonDocument clone() const;

    /// Replaces the content with the value of a JSON text; true when that
    /// value is neither null nor missing. A text that is not JSON gives false
    /// and a null root. direct is accepted for compatibility; both forms read JSON.
    bool parse(std::string_view text, bool direct = false);

    /// Makes the root an empty object.
    bool clear();
    /// The whole document as compact JSON; empty when the root is missing.
    std::string to_json() const;

    /// Text mode: writes value as a string (backslashes kept as written in
    /// JSON output). Script mode: value is a JSON text merged into an
    /// existing object, or replacing the member otherwise; an empty value
    /// leaves an object unchanged and makes any other member missing.
    bool set_value(std::string_view path, std::string_view value, bool is_script = false);
    /// Writes the value of a JSON text (empty: missing) at path.
    bool set_expression(std::string_view path, std::string_view expression);

    /// Rewrites path into an expression rooted at "da"; true when it names a
    /// value that is neither null nor missing.
    bool resolve_path(std::string& path) const;
    /// Whether path names a value that is neither null nor missing.
    bool exists(std::string_view path) const;
    /// kTypeString, kTypeArray, kTypeObject, kTypeNumber, kTypeBoolean,
    /// kTypeNull (null or missing) or kTypeInvalid (path through a missing member).
    int type_of(std::string_view path) const;
    /// The value's text form (as_json false) or JSON text; empty for null
    /// and missing values in text form, for missing values in JSON form.
    std::string get_value(std::string_view path, bool as_json = false) const;

    /// Names of the members of the object at path, in order; their count.
    int member_names(std::vector<std::string>& names, std::string_view path = {}) const;
    /// Number of elements of the array at path; 0 for anything else.
    int count(std::string_view path = {}) const;
    /// A new, independent document holding a copy of the value at path.
    JsonDocument get_document(std::string_view path) const;

    /// Appends (or with at_front prepends) a value to the array at path,
    /// making the member an array first when it is not one. is_raw false:
    /// value is the body of a quoted script string; true: a JSON text.
    bool array_add(std::string_view value, std::string_view path, bool is_raw = false,
                   bool at_front = false);
    /// A new document holding a copy of element index of the array at path.
    JsonDocument get_element_document(int index, std::string_view path) const;
    /// Element index as JSON (as_json) or, when it is a string, its text;
    /// empty otherwise.
    std::string get_element_value(int index, std::string_view path, bool as_json = false) const;
    /// Writes element index (a member named so in an object); value as in array_add.
    bool set_element(int index, std::string_view path, std::string_view value, bool is_raw = false);
    /// Removes element index of the array at path, shifting the rest down
    /// (a negative index counts from the end).
    bool remove_element(int index, std::string_view path);
    /// Deletes the member at path (an array element becomes a hole).
    bool remove(std::string_view path);

    /// Writes a number, rounded to its "%.13g" form.
    bool set_number(std::string_view path, double number);
    /// The value as a number: numbers as themselves, true -1, false 0, a
    /// numeric text its number; anything else 0.
    double get_number(std::string_view path) const;
    /// The value at path as JSON text; empty when missing.
    std::string get_json(std::string_view path) const;

    /// Texts of the string, number and boolean members of the value at path,
    /// descending into nested objects and arrays when recursive; their count.
    int all_values(std::vector<std::string>& values, std::string_view path = {},
                   bool recursive = false) const;

    /// The name paths may start with to name the root.
    const std::string& root_name() const { return root_name_; }

private:
    std::string rooted(std::string_view path) const;
    bool evaluates_present(std::string_view expression) const;
    bool keys_of(std::string_view expression, std::vector<std::string>& keys) const;
    JsonValue* container_for_write(const std::vector<std::string>& keys) const;
    bool assign(const std::vector<std::string>& keys, JsonValue value);
    bool read_value_text(std::string_view text, JsonValue& out) const;
    bool read_element_text(std::string_view text, bool is_raw, JsonValue& out) const;
    std::string to_program_text(std::string utf8) const;

    std::string root_name_ = "da";
    std::shared_ptr<JsonValue> root_;
    mutable TextBridge bridge_;
};

}  // namespace brindlecast
