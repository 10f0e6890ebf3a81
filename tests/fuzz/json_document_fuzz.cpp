// libFuzzer entry: any bytes as a JSON text, read and written back, plus the
// first bytes as a path. Crashes, sanitizer reports and a broken round trip
// are findings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "json/json_document.h"

namespace {

const char* const kPaths[] = {"",          "data.attrs[0].value", "data[0]", "srcUrl",
                              "da",        "[0]",                 "[1][0]",  "levels.ori.list[0].filename",
                              "a.b",       "['a']"};

bool mentions_placeholder(std::string_view text) {
    // A \u2400 escape reads as the stored form of a backslash, and a
    // backslash written back unescaped need not survive another round.
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        if (text.substr(i, 4) == "2400") return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    brindlecast::JsonDocument doc;
    const bool parsed = doc.parse(text);

    for (const char* path : kPaths) {
        doc.get_value(path);
        doc.get_value(path, true);
        doc.type_of(path);
    }
    const std::string fuzz_path(text.substr(0, 24));
    doc.get_value(fuzz_path);
    doc.get_value(fuzz_path, true);
    std::vector<std::string> list;
    doc.member_names(list, "");
    doc.all_values(list, "", true);
    doc.count("");

    const std::string json = doc.to_json();
    // A number too large for a double is written as null, which reads as no value.
    if (parsed && !mentions_placeholder(text) && json != "null") {
        // What the document writes it must read back. Characters without a
        // CP936 form become "?" on the way out, which may make two names one,
        // so only from then on must writing and reading repeat exactly.
        brindlecast::JsonDocument again;
        if (!again.parse(json)) std::abort();
        const std::string settled = again.to_json();
        brindlecast::JsonDocument third;
        if (!third.parse(settled) || third.to_json() != settled) std::abort();
    }
    if (parsed) {
        brindlecast::JsonDocument copy = doc.get_document("");
        copy.set_value(fuzz_path, text.substr(0, 64), true);
        copy.set_value("x", fuzz_path);
        copy.array_add(std::string(text.substr(0, 32)), "list", true, true);
        copy.to_json();
    }
    return 0;
}
