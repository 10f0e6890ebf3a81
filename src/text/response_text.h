#pragma once
// Turning a server's UTF-8 answer body into a program text.

#include <string>
#include <string_view>

#include "text/cp936.h"

namespace brindlecast {

/// The CP936 form of a UTF-8 body, up to its first zero byte. Empty body gives
/// the empty text; ill-formed or unrepresentable input becomes "?".
std::string decode_utf8_response(std::string_view body);

/// The same with a codec the caller keeps, for many answers in a row.
std::string decode_utf8_response(std::string_view body, Cp936Codec& codec);

}  // namespace brindlecast
