#pragma once
// Member paths such as da.data.attrs[0].value: parsing them into property
// keys and reading them over a value tree the way a script engine would.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_value.h"
#include "json/text_bridge.h"

namespace brindlecast {

/// Splits a member expression that starts with root_name into its property
/// keys (UTF-8): ".name", "[12]", "[-1]", "['name']" and "[\"name\"]", blanks
/// allowed between the parts. False when the text is no such expression.
bool parse_path(std::string_view path, std::string_view root_name,
                std::vector<std::string>& keys, TextBridge& bridge);

/// A value read from a tree: either a place in it or a value made on the way
/// (the length of an array, one character of a string).
struct PathValue {
    const JsonValue* place = nullptr;
    JsonValue made;
    const JsonValue& get() const { return place != nullptr ? *place : made; }
};

/// Property key of a value as a script engine reads it: object members,
/// array elements and length, string characters and length; everything else
/// reads as undefined.
PathValue read_property(const JsonValue& base, std::string_view key);

/// Follows keys from root. Empty when a step reads a property of null or
/// undefined (a script error).
std::optional<PathValue> read_path(const JsonValue& root, const std::vector<std::string>& keys);

}  // namespace brindlecast
