#include "pdf_writer.h"

#include <cstdio>

namespace brindlecast::demo {

namespace {

std::string pdf_string_literal(const std::string& text) {
    std::string out = "(";
    for (unsigned char c : text) {
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            out += '?';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + ")";
}

std::string page_content(const std::string& text) {
    std::string out = "BT\n/F1 14 Tf\n18 TL\n72 770 Td\n";
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        out += pdf_string_literal(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        out += " Tj T*\n";
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out + "ET\n";
}

std::string xref_entry(std::uint64_t offset) {
    char line[32];
    // Exactly 20 bytes per entry, the last two being space and line feed.
    std::snprintf(line, sizeof line, "%010llu 00000 n \n", static_cast<unsigned long long>(offset));
    return line;
}

}  // namespace

Payload make_pdf_payload(const std::vector<std::string>& pages, std::uint64_t filler_size,
                         std::uint32_t filler_seed) {
    // Object numbers: 1 catalog, 2 page tree, 3 font, then a page and its
    // content per page, then the filler stream if any.
    std::vector<std::uint64_t> offsets;
    std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    auto begin_object = [&](std::size_t number) {
        offsets.push_back(out.size());
        out += std::to_string(number) + " 0 obj\n";
    };

    const std::size_t page_count = pages.size();
    begin_object(1);
    out += "<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
    begin_object(2);
    out += "<< /Type /Pages /Kids [";
    for (std::size_t i = 0; i < page_count; ++i) out += std::to_string(4 + 2 * i) + " 0 R ";
    out += "] /Count " + std::to_string(page_count) + " >>\nendobj\n";
    begin_object(3);
    out += "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>\nendobj\n";
    for (std::size_t i = 0; i < page_count; ++i) {
        const std::size_t page = 4 + 2 * i;
        begin_object(page);
        out += "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R >> >> "
               "/Contents " + std::to_string(page + 1) + " 0 R >>\nendobj\n";
        const std::string content = page_content(pages[i]);
        begin_object(page + 1);
        out += "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream\nendobj\n";
    }

    Payload payload;
    payload.content_type = "application/pdf";
    std::uint64_t position_shift = 0;
    if (filler_size > 0) {
        begin_object(4 + 2 * page_count);
        out += "<< /Length " + std::to_string(filler_size) + " >>\nstream\n";
        payload.head = std::move(out);
        payload.filler_size = filler_size;
        payload.filler_seed = filler_seed;
        position_shift = payload.head.size() + filler_size;
        out = "\nendstream\nendobj\n";
    }

    const std::uint64_t xref_offset = position_shift + out.size();
    out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n";
    out += "0000000000 65535 f \n";
    for (std::uint64_t offset : offsets) out += xref_entry(offset);
    out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\n";
    out += "startxref\n" + std::to_string(xref_offset) + "\n%%EOF\n";

    if (filler_size > 0) {
        payload.tail = std::move(out);
    } else {
        payload.head = std::move(out);
    }
    return payload;
}

std::string make_pdf(const std::vector<std::string>& pages) { return make_pdf_payload(pages).all_bytes(); }

}  // namespace brindlecast::demo
