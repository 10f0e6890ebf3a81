#pragma once
// Numbers as the program writes them: whole numbers as plain digits, reals
// in the "%.13g" form.

#include <concepts>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>

namespace brindlecast {

/// Plain decimal digits, with a leading minus sign when negative.
std::string format_whole_number(std::int64_t value);

/// "%.13g": at most 13 significant digits, no trailing zeros or point.
std::string format_number(double value);

/// Whole numbers of any integral type, as plain decimal digits.
template <std::integral T>
std::string format_number(T value) {
    if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
        // Above the signed range the cast would print a negative number; the
        // value without its last digit fits, and the last digit follows.
        if (value > static_cast<T>(std::numeric_limits<std::int64_t>::max())) {
            return format_whole_number(static_cast<std::int64_t>(value / 10)) +
                   static_cast<char>('0' + value % 10);
        }
    }
    return format_whole_number(static_cast<std::int64_t>(value));
}

}  // namespace brindlecast
