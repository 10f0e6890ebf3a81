#pragma once
// Marker helpers: cutting texts apart at, and rewriting, marker texts.

#include <optional>
#include <string>
#include <string_view>

#include "text/text_ops.h"

namespace brindlecast {

/// Text after the chosen marker: by default the last one; a negative
/// position -k takes the first at or after byte k; a positive k ignores the
/// last k bytes. Empty when not found.
std::string text_right_of(std::string_view text, std::string_view marker, TextPos position = 0,
                          bool ignore_case = false);

/// Text before the chosen marker: by default the first at or after position;
/// -1 takes the last one, -k (k >= 2) the last within the first length - k
/// bytes. Empty when not found.
std::string text_left_of(std::string_view text, std::string_view marker, TextPos position = 0,
                         bool ignore_case = false);

/// Bytes strictly between the first start_marker at or after position and the
/// next end_marker; "#引号" in a marker stands for a double quote.
std::string text_between(std::string_view text, std::string_view start_marker,
                         std::string_view end_marker, TextPos position = 0,
                         bool ignore_case = false);

/// Up to five find-and-replace steps in turn (substitute), each on the output
/// of the one before; a pair with an empty find changes nothing.
std::string replace_pairs(std::string_view text, std::optional<TextPos> count, TextPos start,
                          bool case_sensitive, std::string_view find1,
                          std::string_view replacement1, std::string_view find2 = {},
                          std::string_view replacement2 = {}, std::string_view find3 = {},
                          std::string_view replacement3 = {}, std::string_view find4 = {},
                          std::string_view replacement4 = {}, std::string_view find5 = {},
                          std::string_view replacement5 = {});

}  // namespace brindlecast
