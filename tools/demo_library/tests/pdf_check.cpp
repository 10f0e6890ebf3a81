#include "pdf_check.h"

#include <cctype>
#include <map>

namespace brindlecast::demo::testing {

namespace {

// The decimal number at the start of text, or -1 when there is none.
long long leading_number(const std::string& text, std::size_t at = 0) {
    if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) return -1;
    long long value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) value = value * 10 + (text[at++] - '0');
    return value;
}

// The number following "key " in a dictionary, or -1.
long long number_after(const std::string& dictionary, const std::string& key) {
    const std::size_t at = dictionary.find(key + " ");
    return at == std::string::npos ? -1 : leading_number(dictionary, at + key.size() + 1);
}

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
        const long long length = number_after(object.dictionary, "/Length");
        if (length < 0) return "stream of object " + std::to_string(number) + " has no /Length";
        const std::size_t data = stream_keyword + 7;
        const std::size_t size = static_cast<std::size_t>(length);
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

// The object number of "key N 0 R", or -1.
int reference(const std::string& dictionary, const std::string& key) {
    const std::size_t at = dictionary.find(key + " ");
    if (at == std::string::npos) return -1;
    const std::size_t number = at + key.size() + 1;
    const long long value = leading_number(dictionary, number);
    if (value < 0) return -1;
    const std::size_t after = dictionary.find_first_not_of("0123456789", number);
    return dictionary.compare(after, 4, " 0 R") == 0 ? static_cast<int>(value) : -1;
}

bool is_in_use_entry(const std::string& entry) {
    if (entry.size() != 20 || entry.compare(10, 10, " 00000 n \n") != 0) return false;
    for (std::size_t i = 0; i < 10; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(entry[i]))) return false;
    }
    return true;
}

}  // namespace

namespace {

PdfReading read_pdf_unguarded(const std::string& pdf) {
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
        if (!is_in_use_entry(entry)) {
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
    const long long count = number_after(tree_dictionary, "/Count");
    if (count < 0) return fail("page tree has no /Count");
    const std::size_t kids_start = tree_dictionary.find("/Kids [");
    if (kids_start == std::string::npos) return fail("page tree has no /Kids");
    const std::string kids = tree_dictionary.substr(kids_start + 7, tree_dictionary.find(']', kids_start) - kids_start - 7);
    for (std::size_t at = kids.find_first_of("0123456789"); at != std::string::npos;
         at = kids.find_first_of("0123456789", at)) {
        const int page = static_cast<int>(leading_number(kids, at));
        at = kids.find_first_not_of("0123456789", at);
        if (kids.compare(at, 4, " 0 R") != 0) return fail("/Kids holds something other than references");
        at += 4;
        if (!objects.count(page) || objects[page].dictionary.find("/Type /Page ") == std::string::npos) {
            return fail("a kid of the page tree is not a page");
        }
        if (reference(objects[page].dictionary, "/Parent") != tree) return fail("a page's /Parent is not the tree");
        const int contents = reference(objects[page].dictionary, "/Contents");
        if (!objects.count(contents) || !objects[contents].has_stream) return fail("a page has no content stream");
        reading.page_contents.push_back(objects[contents].stream);
    }
    reading.page_count = static_cast<int>(reading.page_contents.size());
    if (count != reading.page_count) return fail("/Count differs from the number of kids");
    return reading;
}

}  // namespace

PdfReading read_pdf(const std::string& pdf) {
    // An offset or number pointing past the end throws from std::string;
    // for a reader of possibly broken files that is just another fault.
    try {
        return read_pdf_unguarded(pdf);
    } catch (const std::exception& error) {
        PdfReading reading;
        reading.fault = std::string("malformed: ") + error.what();
        return reading;
    }
}

}  // namespace brindlecast::demo::testing
