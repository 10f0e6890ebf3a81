#include "net/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace brindlecast {
namespace {

TEST(EncodeBase64, MatchesTheStandardTestVectors) {
    struct Case {
        std::string bytes;
        std::string expected;
    };
    // RFC 4648, section 10, plus bytes that use the last two letters.
    const Case cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\xfb\xff\xbf", 3), "+/+/"},
        {std::string("\0\0\0\0", 4), "AAAAAA=="},
        {"user:pass", "dXNlcjpwYXNz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(encode_base64(c.bytes), c.expected);
    }
}

TEST(EncodeBase64, PutsNoLineBreaksIntoLongInput) {
    const std::string encoded = encode_base64(std::string(300, 'x'));
    EXPECT_EQ(encoded.size(), 400u);
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace brindlecast
