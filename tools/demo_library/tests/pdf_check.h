#pragma once
// An independent reading of a PDF's structure, so the writer is checked by
// something other than itself.

#include <string>
#include <vector>

namespace brindlecast::demo::testing {

struct PdfReading {
    std::string fault;                    ///< empty when the file reads as a valid PDF
    int page_count = 0;
    std::vector<std::string> page_contents;  ///< the content stream of each page, in page order
};

/// Follows startxref to the cross-reference table, checks every object
/// offset and stream length, then walks catalog, page tree and pages.
PdfReading read_pdf(const std::string& pdf);

}  // namespace brindlecast::demo::testing
