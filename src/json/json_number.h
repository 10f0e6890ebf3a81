#pragma once
// Numbers as a script engine shows them.

#include <string>

namespace brindlecast {

/// ECMAScript ToString of a number: shortest round-trip digits, plain form
/// from 1e-6 up to below 1e21, exponent form ("1e+21", "1.5e-7") outside;
/// "NaN", "Infinity", "-Infinity"; -0 gives "0".
std::string number_to_text(double value);

/// Appends number_to_text(value) to out.
void append_number_text(std::string& out, double value);

}  // namespace brindlecast
