#pragma once
// Conversion between UTF-8 (the outside world: sources, GUI, file system,
// terminal, servers) and code page 936 (every text inside the program).

#include <string>
#include <string_view>

namespace brindlecast {

/// Owns one iconv conversion each way; reuse it where many texts are converted.
/// Never fails: characters that cannot be converted become "?".
class Cp936Codec {
public:
    Cp936Codec();
    ~Cp936Codec();
    Cp936Codec(Cp936Codec&& other) noexcept;
    Cp936Codec& operator=(Cp936Codec&& other) noexcept;
    Cp936Codec(const Cp936Codec&) = delete;
    Cp936Codec& operator=(const Cp936Codec&) = delete;

    /// UTF-8 to CP936; ill-formed input and characters outside CP936 become "?".
    std::string to_cp936(std::string_view utf8);
    /// CP936 to UTF-8; ill-formed input becomes "?".
    std::string to_utf8(std::string_view cp936);

private:
    void* to_cp936_;  // iconv_t
    void* to_utf8_;   // iconv_t
};

/// One-off conversions (each opens its own codec).
std::string utf8_to_cp936(std::string_view utf8);
std::string cp936_to_utf8(std::string_view cp936);

/// A program literal written in the source as UTF-8, as a program text:
/// cp936("欢迎打赏!").
inline std::string cp936(std::string_view utf8_literal) { return utf8_to_cp936(utf8_literal); }

}  // namespace brindlecast
