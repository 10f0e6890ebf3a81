#include "pdf_check.h"

#include <map>
#include <regex>

namespace brindlecast::demo::testing {

namespace {

struct Object {
    std::string dictionary;
    std::string stream;
    bool has_stream = false;
};

// Returns a fault text, or "" when the object parses.
std::string read_object(const std::string& pdf, std::size_t offset, int number, Object& object) {
    const std::string opening = std::to_string(number) + " 0 obj\n";
    if (pdf.compare(offset, opening.size(), opening) != 0) {
        return "xref offset of object " + std::to_string(number) + " does not point at its header";
    }
    const std::size_t body = offset + opening.size();
    const std::size_t end = pdf.find("endobj", body);
    const std::size_t stream_keyword = pdf.find("stream\n", body);
    if (end == std::string::npos) return "object " + std::to_string(number) + " has no endobj";
    if (stream_keyword != std::string::npos && stream_keyword < end) {
        object.dictionary = pdf.substr(body, stream_keyword - body);
        std::smatch length;
        if (!std::regex_search(object.dictionary, length, std::regex(R"(/Length (\d+))"))) {
            return "stream of object " + std::to_string(number) + " has no /Length";
        }
        const std::size_t data = stream_keyword + 7;
        const std::size_t size = std::stoull(length[1]);
        if (pdf.compare(data + size, 10, "\nendstream") != 0) {
            return "/Length of object " + std::to_string(number) + " does not reach endstream";
        }
        object.stream = pdf.substr(data, size);
        object.has_stream = true;
    } else {
        object.dictionary = pdf.substr(body, end - body);
    }
    return "";
}

int reference(const std::string& dictionary, const std::string& key) {
    std::smatch match;
    if (!std::regex_search(dictionary, match, std::regex(key + R"( (\d+) 0 R)"))) return -1;
    return std::stoi(match[1]);
}

}  // namespace

PdfReading read_pdf(const std::string& pdf) {
    PdfReading reading;
    auto fail = [&](std::string fault) {
        reading.fault = std::move(fault);
        return reading;
    };
    if (pdf.rfind("%PDF-1.4\n", 0) != 0) return fail("no %PDF-1.4 header");
    if (!pdf.ends_with("%%EOF\n")) return fail("no %%EOF at the end");
    const std::size_t startxref = pdf.rfind("startxref\n");
    if (startxref == std::string::npos) return fail("no startxref");
    const std::size_t xref = std::stoull(pdf.substr(startxref + 10));
    if (pdf.compare(xref, 7, "xref\n0 ") != 0) return fail("startxref does not point at the xref table");

    std::size_t at = xref + 7;
    const std::size_t line_end = pdf.find('\n', at);
    const int size = std::stoi(pdf.substr(at, line_end - at));
    at = line_end + 1;
    if (pdf.compare(at, 20, "0000000000 65535 f \n") != 0) return fail("xref entry 0 is not the free head");
    std::map<int, Object> objects;
    for (int number = 1; number < size; ++number) {
        const std::string entry = pdf.substr(at + 20 * static_cast<std::size_t>(number), 20);
        if (!std::regex_match(entry, std::regex(R"(\d{10} 00000 n \n)"))) {
            return fail("xref entry " + std::to_string(number) + " is not 20 bytes of the in-use form");
        }
        std::string fault = read_object(pdf, std::stoull(entry.substr(0, 10)), number, objects[number]);
        if (!fault.empty()) return fail(fault);
    }
    const std::size_t trailer = at + 20 * static_cast<std::size_t>(size);
    if (pdf.compare(trailer, 8, "trailer\n") != 0) return fail("no trailer after the xref table");
    const std::string trailer_text = pdf.substr(trailer, startxref - trailer);
    if (trailer_text.find("/Size " + std::to_string(size) + " ") == std::string::npos) {
        return fail("trailer /Size differs from the xref table");
    }

    const int root = reference(trailer_text, "/Root");
    if (!objects.count(root) || objects[root].dictionary.find("/Type /Catalog") == std::string::npos) {
        return fail("/Root is not a catalog");
    }
    const int tree = reference(objects[root].dictionary, "/Pages");
    if (!objects.count(tree)) return fail("catalog names no page tree");
    const std::string& tree_dictionary = objects[tree].dictionary;
    std::smatch count;
    if (!std::regex_search(tree_dictionary, count, std::regex(R"(/Count (\d+))"))) return fail("page tree has no /Count");
    const std::string kids = tree_dictionary.substr(tree_dictionary.find("/Kids ["));
    std::regex kid(R"((\d+) 0 R)");
    for (auto it = std::sregex_iterator(kids.begin(), kids.begin() + kids.find(']'), kid); it != std::sregex_iterator(); ++it) {
        const int page = std::stoi((*it)[1]);
        if (!objects.count(page) || objects[page].dictionary.find("/Type /Page ") == std::string::npos) {
            return fail("a kid of the page tree is not a page");
        }
        if (reference(objects[page].dictionary, "/Parent") != tree) return fail("a page's /Parent is not the tree");
        const int contents = reference(objects[page].dictionary, "/Contents");
        if (!objects.count(contents) || !objects[contents].has_stream) return fail("a page has no content stream");
        reading.page_contents.push_back(objects[contents].stream);
    }
    reading.page_count = static_cast<int>(reading.page_contents.size());
    if (std::stoi(count[1]) != reading.page_count) return fail("/Count differs from the number of kids");
    return reading;
}

}  // namespace brindlecast::demo::testing
