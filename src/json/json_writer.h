#pragma once
// Writing document values: compact JSON text and a script engine's text form.
// Both produce UTF-8; the document turns them into program text.

#include <string>

#include "json/json_value.h"

namespace brindlecast {

/// Compact JSON: no blanks, members in order, undefined members left out,
/// undefined elements as null, non-finite numbers as null, the escape set of
/// the document's JSON codec. An undefined value writes nothing.
void write_json(const JsonValue& value, std::string& out);

/// The value's toString(): strings as themselves, numbers in ECMAScript form,
/// "[object Object]" for objects, array elements' forms joined by "," with
/// null and undefined as nothing; null and undefined themselves give nothing.
void write_text_form(const JsonValue& value, std::string& out);

/// Turns every U+2400 (the stored form of a backslash) back into a backslash.
void restore_backslashes(std::string& utf8_text);

}  // namespace brindlecast
