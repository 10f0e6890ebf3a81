#pragma once
// Cookie texts: name=value pairs separated by "; " exactly.

#include <string>
#include <string_view>
#include <vector>

#include "text/text_ops.h"

namespace brindlecast {

/// The answer's pairs first, then the old pairs whose names the answer did not
/// set; "=deleted" pairs and exact repeats dropped. old_cookies is set to the
/// result as well.
std::string merge_cookies(std::string& old_cookies, std::string_view new_cookies);

/// The text before the first "=" (the whole pair without one), trimmed of blanks.
std::string cookie_name(std::string_view pair);

/// True when some pair of the list has that cookie name, byte for byte.
bool has_cookie_named(const std::vector<std::string>& pairs, std::string_view name);

/// The text with every item that exactly repeats an earlier one removed.
std::string remove_duplicate_items(std::string_view text, std::string_view separator);

/// 1-based position of the first element equal to text byte for byte, or -1.
TextPos index_of_item(const std::vector<std::string>& list, std::string_view text);

}  // namespace brindlecast
