#include "workflow/safe_file_name.h"

namespace brindlecast {
namespace {

// 150 bytes of code page 936 stay below 255 bytes once the file system sees
// them as UTF-8 (two bytes here become at most three there), with room for
// ".pdf" and the download's temporary ".partXXXXXXXX" suffix.
constexpr std::size_t kMaxNameBytes = 150;

bool is_forbidden(unsigned char c) {
    switch (c) {
        case '/': case '\\': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            return true;
        default:
            return c < 0x20 || c == 0x7F;
    }
}

std::string clean(std::string_view name) {
    std::string result;
    result.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            // A lead byte and its trail byte stay together: the trail byte may be
            // 0x5C or 0x7C, which is no separator once converted.
            if (i + 1 >= name.size()) break;  // a lone lead byte is no character
            if (result.size() + 2 > kMaxNameBytes) break;
            result.append(name.substr(i, 2));
            i += 2;
            continue;
        }
        if (result.size() + 1 > kMaxNameBytes) break;
        result.push_back(is_forbidden(c) ? '_' : static_cast<char>(c));
        ++i;
    }
    return result;
}

}  // namespace

std::string safe_file_name(std::string_view name) {
    std::string result = clean(name);
    if (result.empty()) return "_";
    if (result == ".") return "_";
    if (result == "..") return "__";
    return result;
}

std::string safe_title(std::string_view title) {
    std::string result = clean(title);
    // "..pdf" and "...pdf" are harmless single names; only the empty title
    // keeps its established ".pdf".
    return result;
}

}  // namespace brindlecast
