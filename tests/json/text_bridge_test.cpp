// The document's CP936 edge agrees with the program's codec character for character.
#include <gtest/gtest.h>

#include <string>

#include "json/json_reader.h"
#include "json/text_bridge.h"
#include "text/cp936.h"

namespace brindlecast {
namespace {

TEST(TextBridge, ReadsEveryCp936CharacterAsTheCodecDoes) {
    TextBridge bridge;
    Cp936Codec codec;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x40; trail <= 0xFF; ++trail) {
            const std::string text{static_cast<char>(lead), static_cast<char>(trail), 'x'};
            ASSERT_EQ(bridge.to_utf8(text), codec.to_utf8(text)) << std::hex << lead << " " << trail;
        }
    }
}

TEST(TextBridge, WritesEveryCharacterAsTheCodecDoes) {
    TextBridge bridge;
    Cp936Codec codec;
    for (char32_t cp = 0x20; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string text = "a";
        append_utf8(text, cp);
        ASSERT_EQ(bridge.to_cp936(text), codec.to_cp936(text)) << std::hex << static_cast<unsigned>(cp);
    }
    EXPECT_EQ(bridge.to_cp936("\xF0\x9F\x98\x80"), "?");
}

}  // namespace
}  // namespace brindlecast
