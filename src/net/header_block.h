#pragma once
// Header block utilities: lines "name:value" separated by "\r\n" exactly.

#include <string>
#include <string_view>

namespace brindlecast {

/// The block without lines lacking a colon, each name capitalised at its start
/// and after every "-", lines joined by "\r\n" with none at the end.
std::string normalise_header_block(std::string_view block);

/// The text with its first byte raised from a-z to A-Z, the rest unchanged.
std::string capitalise_first(std::string_view text);

/// The text before the first ":", trimmed of blanks; empty without a ":".
std::string header_name(std::string_view line);

/// The text after the first ":", trimmed of blanks; empty without a ":".
std::string header_value(std::string_view line);

}  // namespace brindlecast
