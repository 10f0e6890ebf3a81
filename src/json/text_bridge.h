#pragma once
// The document's edge between program texts (CP936) and its Unicode
// strings (UTF-8). ASCII passes straight through; the codec is opened only
// when a text holds other characters.

#include <optional>
#include <string>
#include <string_view>

#include "text/cp936.h"

namespace brindlecast {

class TextBridge {
public:
    /// CP936 bytes to UTF-8; what cannot be converted becomes "?".
    std::string to_utf8(std::string_view cp936_text);
    /// Appends the UTF-8 form of cp936_text to out.
    void append_utf8(std::string& out, std::string_view cp936_text);
    /// UTF-8 to CP936; characters outside CP936 become "?".
    std::string to_cp936(std::string_view utf8_text);

private:
    Cp936Codec& codec();
    std::optional<Cp936Codec> codec_;
};

/// Unicode code point of the CP936 pair lead, trail (is_cp936_pair), or 0
/// when the codec has no character for it. The table is made once from the
/// codec and never changes.
char16_t cp936_pair_code(unsigned char lead, unsigned char trail);

/// True when every byte is below 0x80.
bool is_ascii(std::string_view text);

/// CP936: a lead byte 81..FE and a trail byte 40..FE (not 7F) form one
/// character; every other byte stands alone.
inline bool is_cp936_pair(unsigned char lead, unsigned char trail) {
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

}  // namespace brindlecast
