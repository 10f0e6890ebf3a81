#include "text/format_number.h"

#include <array>
#include <charconv>

namespace brindlecast {

std::string format_whole_number(std::int64_t value) {
    std::array<char, 24> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    (void)error;  // 24 bytes hold every 64-bit value
    return std::string(buffer.data(), end);
}

std::string format_number(double value) {
    // to_chars in general form with precision 13 gives exactly what "%.13g"
    // gives, but ignores the process locale: once a front calls setlocale,
    // snprintf would write a decimal comma on some machines.
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::general, 13);
    (void)error;  // 13 significant digits and an exponent fit easily
    return std::string(buffer.data(), end);
}

}  // namespace brindlecast
