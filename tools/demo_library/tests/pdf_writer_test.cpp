#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "demo_catalogue.h"
#include "pdf_check.h"
#include "pdf_writer.h"

namespace brindlecast::demo {
namespace {

using testing::read_pdf;

TEST(PdfWriter, WritesThreePagesWithCorrectCrossReferences) {
    const testing::PdfReading reading = read_pdf(demo_full_pdf());
    ASSERT_EQ(reading.fault, "");
    ASSERT_EQ(reading.page_count, 3);
    EXPECT_NE(reading.page_contents[0].find("(Case study: urban renewal) Tj"), std::string::npos);
    EXPECT_NE(reading.page_contents[2].find("(Page 3 of 3) Tj"), std::string::npos);
}

TEST(PdfWriter, EscapesParenthesesAndBackslashesAndReplacesNonAscii) {
    const testing::PdfReading reading = read_pdf(make_pdf({"a (b) c\\d", "城市"}));
    ASSERT_EQ(reading.fault, "");
    ASSERT_EQ(reading.page_count, 2);
    EXPECT_NE(reading.page_contents[0].find("(a \\(b\\) c\\\\d) Tj"), std::string::npos);
    // Three bytes of UTF-8 per character, each drawn as '?'.
    EXPECT_NE(reading.page_contents[1].find(std::string(6, '?').insert(0, "(") + ") Tj"), std::string::npos);
}

TEST(PdfWriter, StaysValidWithAFillerStreamOfAnySize) {
    for (std::uint64_t filler : {1ull, 7ull, 100000ull}) {
        SCOPED_TRACE(filler);
        const Payload payload = make_pdf_payload({"one", "two", "three"}, filler, 9);
        ASSERT_EQ(payload.filler_size, filler);
        const testing::PdfReading reading = read_pdf(payload.all_bytes());
        EXPECT_EQ(reading.fault, "");
        EXPECT_EQ(reading.page_count, 3);
    }
}

TEST(PdfWriter, LargeDemoDocumentIsAValidTwentyMebibytePdf) {
    const Catalogue catalogue = demo_catalogue();
    const Payload& large = catalogue.preview_files.at("/files/large-doc.pdf");
    EXPECT_EQ(large.size(), 20ull * 1024 * 1024);
    EXPECT_LT(large.head.size() + large.tail.size(), 8192u) << "the bulk must be generated, not stored";
    const testing::PdfReading reading = read_pdf(large.all_bytes());
    EXPECT_EQ(reading.fault, "");
    EXPECT_EQ(reading.page_count, 3);
}

TEST(PdfCheck, RejectsAShiftedObjectOffset) {
    // The reader must be able to fail, or the tests above prove nothing.
    std::string pdf = demo_full_pdf();
    pdf.insert(pdf.find("3 0 obj"), " ");
    EXPECT_NE(read_pdf(pdf).fault, "");
    std::string bad_length = demo_full_pdf();
    bad_length.replace(bad_length.find("/Length ") + 8, 1, "9");
    EXPECT_NE(read_pdf(bad_length).fault, "");
}

TEST(PdfWriter, PassesQpdfCheckWhenQpdfIsInstalled) {
    if (std::system("command -v qpdf > /dev/null 2>&1") != 0) GTEST_SKIP() << "qpdf is not installed";
    const std::string path = ::testing::TempDir() + "demo_full.pdf";
    std::ofstream(path, std::ios::binary) << demo_full_pdf();
    const std::string filler_path = ::testing::TempDir() + "demo_filler.pdf";
    std::ofstream(filler_path, std::ios::binary) << make_pdf_payload({"x", "y", "z"}, 5000, 3).all_bytes();
    EXPECT_EQ(std::system(("qpdf --check " + path + " > /dev/null").c_str()), 0);
    EXPECT_EQ(std::system(("qpdf --check " + filler_path + " > /dev/null").c_str()), 0);
}

}  // namespace
}  // namespace brindlecast::demo
