#pragma once
// Numbers as the program writes them: whole numbers as plain digits, reals
// in the "%.13g" form.

#include <concepts>
#include <cstdint>
#include <string>

namespace brindlecast {

/// Plain decimal digits, with a leading minus sign when negative.
std::string format_whole_number(std::int64_t value);

/// "%.13g": at most 13 significant digits, no trailing zeros or point.
std::string format_number(double value);

/// Whole numbers of any integral type, as plain decimal digits.
template <std::integral T>
std::string format_number(T value) {
    return format_whole_number(static_cast<std::int64_t>(value));
}

}  // namespace brindlecast
