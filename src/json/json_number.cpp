#include "json/json_number.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace brindlecast {

void append_number_text(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-Infinity" : "Infinity";
        return;
    }
    if (value == 0) {
        out += '0';
        return;
    }
    // Whole numbers of moderate size are the common case; skip the digit dance.
    if (std::fabs(value) < 1e15 && value == static_cast<double>(static_cast<long long>(value))) {
        char buf[24];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
        out.append(buf, end);
        return;
    }
    if (value < 0) {
        out += '-';
        value = -value;
    }
    // The shortest round-trip digits and their exponent, then laid out by
    // the ECMAScript rules.
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    char digits_buf[24];
    int k = 0;
    const char* p = buf;
    for (; p != end && *p != 'e'; ++p) {
        if (*p != '.') digits_buf[k++] = *p;
    }
    const std::string_view digits(digits_buf, static_cast<std::size_t>(k));
    int sci_exponent = 0;
    const char* e = p + 1;
    const bool negative_exponent = e < end && *e == '-';
    if (e < end && (*e == '-' || *e == '+')) ++e;
    std::from_chars(e, end, sci_exponent);
    if (negative_exponent) sci_exponent = -sci_exponent;
    const int n = sci_exponent + 1;  // value = 0.digits * 10^n
    if (k <= n && n <= 21) {
        out += digits;
        out.append(static_cast<std::size_t>(n - k), '0');
    } else if (0 < n && n <= 21) {
        out.append(digits, 0, static_cast<std::size_t>(n));
        out += '.';
        out.append(digits, static_cast<std::size_t>(n));
    } else if (-6 < n && n <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-n), '0');
        out += digits;
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += 'e';
        out += (n - 1) < 0 ? '-' : '+';
        out += std::to_string(std::abs(n - 1));
    }
}

std::string number_to_text(double value) {
    std::string out;
    append_number_text(out, value);
    return out;
}

}  // namespace brindlecast
