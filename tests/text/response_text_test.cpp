#include "text/response_text.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp936.h"

namespace brindlecast {
namespace {

using namespace std::string_literals;

TEST(DecodeUtf8Response, GivesTheExactCp936FormOfValidText) {
    struct Case {
        const char* name;
        std::string body;
        std::string expected;
    };
    const Case cases[] = {
        {"empty body", "", ""},
        {"plain ascii", R"({"code":0,"data":[]})", R"({"code":0,"data":[]})"},
        {"one Chinese character", "\xE4\xB8\xAD", "\xD6\xD0"},
        {"mixed text keeps its order", "id=\xE4\xB8\xAD\xE6\x96\x87x", "id=\xD6\xD0\xCE\xC4x"},
        {"line breaks unchanged", "a\r\nb\n", "a\r\nb\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decode_utf8_response(c.body), c.expected);
    }
}

TEST(DecodeUtf8Response, DecodesAJsonAnswerWithATitle) {
    const std::string body = R"({"data":{"attrs":[{"value":"中国古代建筑"}]}})";
    EXPECT_EQ(decode_utf8_response(body), cp936(R"({"data":{"attrs":[{"value":"中国古代建筑"}]}})"));
}

TEST(DecodeUtf8Response, EndsTheTextAtTheFirstZeroByte) {
    EXPECT_EQ(decode_utf8_response("ab\0cd"s), "ab");
    EXPECT_EQ(decode_utf8_response("\xE4\xB8\xAD\0\xE6\x96\x87"s), "\xD6\xD0");
    EXPECT_EQ(decode_utf8_response("\0abc"s), "");
    // A character cut off by the zero costs one replacement, nothing more.
    EXPECT_EQ(decode_utf8_response("a\xE4\xB8\0zz"s), "a?");
}

TEST(DecodeUtf8Response, ReplacesIllFormedInputWithoutFailing) {
    // A code page 936 text sent where UTF-8 was expected.
    EXPECT_EQ(decode_utf8_response(cp936("中文")), "????");
    // The head of a PNG file: the bad byte is replaced, the rest kept.
    EXPECT_EQ(decode_utf8_response("\x89PNG\r\n\x1a\n"s), "?PNG\r\n\x1a\n");
    // Every byte value from 1 to 255: only ASCII and "?" come out, the
    // ASCII bytes in their order.
    std::string binary;
    for (int b = 1; b < 256; ++b) binary.push_back(static_cast<char>(b));
    const std::string text = decode_utf8_response(binary);
    std::string ascii_kept;
    for (char c : text) {
        ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80) << "unexpected byte in the result";
        if (c != '?') ascii_kept.push_back(c);
    }
    std::string ascii_expected;
    for (int b = 1; b < 0x80; ++b) {
        if (b != '?') ascii_expected.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(ascii_kept, ascii_expected);
}

TEST(DecodeUtf8Response, GivesTheSameTextWithAKeptCodec) {
    Cp936Codec codec;
    const std::string bodies[] = {"", "abc", "\xE4\xB8\xAD", "a\xFF", "x\0y"s};
    for (const std::string& body : bodies) {
        SCOPED_TRACE(body);
        EXPECT_EQ(decode_utf8_response(body, codec), decode_utf8_response(body));
    }
}

}  // namespace
}  // namespace brindlecast
