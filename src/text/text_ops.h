#pragma once
// Base operations on program texts: byte strings in code page 936, where a
// byte of 0x80 or above starts a two-byte character. Positions are 1-based
// byte offsets; a search that finds nothing gives -1.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brindlecast {

using TextPos = std::int64_t;

/// Position of the first needle at or after start (1-based), or -1. An empty
/// needle gives 1 when the stretch from start is not empty. Matches begin only
/// where a character begins, counting characters from start.
TextPos locate(std::string_view text, std::string_view needle, TextPos start = 1,
               bool ignore_case = false);

/// Position of the last needle lying wholly within the first start - 1 bytes,
/// or -1. Start left out means length + 1 (the whole text).
TextPos locate_last(std::string_view text, std::string_view needle,
                    std::optional<TextPos> start = std::nullopt, bool ignore_case = false);

/// The first count bytes; empty for count <= 0, whole text for count >= length.
std::string left_part(std::string_view text, TextPos count);

/// The last count bytes; empty for count <= 0, whole text for count >= length.
std::string right_part(std::string_view text, TextPos count);

/// count bytes from position start; empty when start is outside the text or count <= 0.
std::string middle_part(std::string_view text, TextPos start, TextPos count);

/// Copy of text with occurrences of find at or after start replaced, at most
/// count of them when count is given (none for count <= 0). case_sensitive
/// false folds ASCII case. Replacements are never scanned again.
std::string substitute(std::string_view text, std::string_view find,
                       std::string_view replacement = {}, TextPos start = 1,
                       std::optional<TextPos> count = std::nullopt,
                       bool case_sensitive = false);

/// Pieces of text between separators; no empty last piece.
std::vector<std::string> split_by(std::string_view text, std::string_view separator);

/// text without leading and trailing ASCII spaces and full-width spaces (A1 A1).
std::string trim_blanks(std::string_view text);

/// Copy with a-z raised; two-byte characters untouched.
std::string upper_ascii(std::string_view text);

/// True when text starts with prefix, byte for byte.
bool begins_with(std::string_view text, std::string_view prefix);

/// count copies of text; empty for count <= 0.
std::string repeat_n(std::string_view text, TextPos count);

}  // namespace brindlecast
