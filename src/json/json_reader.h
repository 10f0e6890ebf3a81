#pragma once
// Reading JSON texts and script string literals in program text (CP936)
// into document values.

#include <string>
#include <string_view>

#include "json/json_value.h"
#include "json/text_bridge.h"

namespace brindlecast {

/// Reads one JSON value (RFC 8259, surrounding blanks allowed). False for
/// anything else, including texts nesting deeper than max_depth; out is
/// then unspecified.
bool read_json(std::string_view text, JsonValue& out, TextBridge& bridge,
               int max_depth = kMaxJsonDepth);

/// Reads the body of a script string literal written between two quote
/// characters: backslash escapes are decoded; an unescaped quote character,
/// a line break or a trailing lone backslash make it fail.
bool read_quoted_literal(std::string_view body, std::string& out, TextBridge& bridge,
                         char quote = '\'');

/// Appends the UTF-8 form of a Unicode code point.
void append_utf8(std::string& out, char32_t code_point);

/// True for a text of nothing but JSON blanks (the empty text included).
bool is_blank_text(std::string_view text);

}  // namespace brindlecast
