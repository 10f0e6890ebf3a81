#include "net/header_block.h"

#include <vector>

#include "text/text_ops.h"

namespace brindlecast {

std::string normalise_header_block(std::string_view block) {
    std::string result;
    for (const std::string& line : split_by(block, "\r\n")) {
        const TextPos colon = locate(line, ":");
        if (colon == -1) continue;
        const std::string name = middle_part(line, 1, colon - 1);
        std::string new_name;
        if (locate(name, "-") == -1) {
            new_name = capitalise_first(name);
        } else {
            // A name ending in "-" yields one piece fewer; the rest below takes
            // that dash back, so the line keeps every byte.
            const std::vector<std::string> pieces = split_by(name, "-");
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                if (i > 0) new_name += '-';
                new_name += capitalise_first(pieces[i]);
            }
        }
        result += new_name;
        result += right_part(line, static_cast<TextPos>(line.size() - new_name.size()));
        result += "\r\n";
    }
    return left_part(result, static_cast<TextPos>(result.size()) - 2);
}

std::string capitalise_first(std::string_view text) {
    // Only the first byte is looked at: a lead byte of a two-byte character
    // is never in a-z, so such a text comes back unchanged and whole.
    std::string result(text);
    if (!result.empty() && result[0] >= 'a' && result[0] <= 'z') result[0] = char(result[0] - 'a' + 'A');
    return result;
}

std::string header_name(std::string_view line) {
    const TextPos colon = locate(line, ":");
    if (colon == -1) return {};
    return trim_blanks(left_part(line, colon - 1));
}

std::string header_value(std::string_view line) {
    const TextPos colon = locate(line, ":");
    if (colon == -1) return {};
    return trim_blanks(right_part(line, static_cast<TextPos>(line.size()) - colon));
}

}  // namespace brindlecast
