#pragma once
// Names that come from a server become one file name inside the run
// directory, never a path.

#include <string>
#include <string_view>

namespace brindlecast {

/// name with "/", "\", ":", "*", "?", "\"", "<", ">", "|" and control
/// characters replaced by "_", two-byte characters kept whole; "." and ".."
/// become "_" and "__", an empty name "_"; cut to a length every common file
/// system takes. The name is a code page 936 text.
std::string safe_file_name(std::string_view name);

/// The same for a title that gets ".pdf" appended: an empty title stays empty,
/// so that the file is named ".pdf" as users of the program know it.
std::string safe_title(std::string_view title);

}  // namespace brindlecast
