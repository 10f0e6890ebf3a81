// Input a server or a caller could send to break the document: deep nesting,
// truncation, bad escapes, huge texts and numbers.
#include <gtest/gtest.h>

#include <string>

#include "json/json_document.h"
#include "json/json_value.h"

namespace brindlecast {
namespace {

std::string nested_arrays(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

std::string nested_objects(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "{\"a\":";
    text += "1";
    text += std::string(depth, '}');
    return text;
}

TEST(JsonDocumentHostileInput, NestingBeyondTheLimitIsRefused) {
    JsonDocument doc;
    EXPECT_TRUE(doc.parse(nested_arrays(kMaxJsonDepth)));
    EXPECT_EQ(doc.to_json(), nested_arrays(kMaxJsonDepth));
    EXPECT_TRUE(doc.parse(nested_objects(kMaxJsonDepth)));
    EXPECT_FALSE(doc.parse(nested_arrays(kMaxJsonDepth + 1)));
    EXPECT_FALSE(doc.parse(nested_objects(kMaxJsonDepth + 1)));
    // Far too deep, and unclosed: no stack is spent on it.
    EXPECT_FALSE(doc.parse(std::string(1000000, '[')));
    EXPECT_FALSE(doc.parse(nested_arrays(1000000)));
    EXPECT_EQ(doc.get_value(""), "");
}

TEST(JsonDocumentHostileInput, EditsCannotNestBeyondTheLimit) {
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(nested_objects(kMaxJsonDepth - 1)));
    std::string path = "a";
    for (int i = 1; i < kMaxJsonDepth - 1; ++i) path += ".a";
    EXPECT_EQ(doc.get_value(path), "1");
    EXPECT_TRUE(doc.set_value(path, "[]", true));
    EXPECT_FALSE(doc.set_value(path, "[[]]", true));
    EXPECT_FALSE(doc.array_add("[]", path, true));
    EXPECT_TRUE(doc.array_add("1", path, true));
    EXPECT_FALSE(doc.set_element(0, path, "{}", true));

    // Growing one level at a time stops at the limit too.
    JsonDocument grown;
    std::string deep;
    int levels = 0;
    for (; levels < kMaxJsonDepth + 10; ++levels) {
        if (!grown.set_value(deep.empty() ? "x" : deep + ".x", "{}", true)) break;
        deep += deep.empty() ? "x" : ".x";
    }
    EXPECT_EQ(levels, kMaxJsonDepth - 1);
    EXPECT_FALSE(grown.to_json().empty());
}

TEST(JsonDocumentHostileInput, EveryTruncationOfAValidTextFails) {
    const std::string text =
        R"({"a":[1,-2.5e+3,true,false,null,"s\u4e2d\n"],"b":{"c":{}},"d":"\ud83d\ude00"})";
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(text));
    for (std::size_t n = 0; n < text.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(doc.parse(text.substr(0, n)));
    }
}

TEST(JsonDocumentHostileInput, BadEscapesAndControlCharactersFail) {
    const char* texts[] = {"\"\\u\"",   "\"\\u00g0\"", "\"\\uD83D\\u\"", "\"\\a\"",
                           "\"\\'\"",   "\"\\\"",      "\"\n\"",          "\"\x01\"",
                           "[\"\\",     "\"\\u12",     "{\"\\q\":1}"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        JsonDocument doc;
        EXPECT_FALSE(doc.parse(text));
    }
    JsonDocument doc;
    EXPECT_FALSE(doc.parse(std::string("\"a\0b\"", 5)));
}

TEST(JsonDocumentHostileInput, StrayCp936BytesDoNotEndOrEscapeAString) {
    JsonDocument doc;
    // A lead byte before the closing quotation mark, and a lone byte at the end.
    ASSERT_TRUE(doc.parse("[\"a\x81\",\"\xFF\"]"));
    EXPECT_EQ(doc.count(""), 2);
    EXPECT_FALSE(doc.parse("[\"\x81"));
    EXPECT_FALSE(doc.parse("[\x81\x40]"));
}

TEST(JsonDocumentHostileInput, HugeTextsAndNumbersAreRead) {
    std::string text = "{\"big\":\"";
    text.append(100u * 1024 * 1024, 'x');
    text += "\",\"n\":";
    text.append(100000, '9');
    text += "}";
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(text));
    EXPECT_EQ(doc.get_value("n"), "Infinity");
    EXPECT_EQ(doc.get_value("big").size(), 100u * 1024 * 1024);
    text.pop_back();
    EXPECT_FALSE(doc.parse(text));
}

TEST(JsonDocumentHostileInput, ManyMembersWithOneNameStayLinear) {
    std::string text = "{";
    for (int i = 0; i < 200000; ++i) text += "\"k\":" + std::to_string(i) + ",";
    text += "\"k\":\"end\"}";
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(text));
    EXPECT_EQ(doc.to_json(), R"({"k":"end"})");
}

TEST(JsonDocumentHostileInput, FarArrayIndexesAreRefused) {
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(R"({"a":[]})"));
    EXPECT_FALSE(doc.set_value("a[4000000000]", "x"));
    EXPECT_FALSE(doc.set_value("a[99999999999999999999]", "x"));
    EXPECT_FALSE(doc.set_element(2000000000, "a", "x"));
    EXPECT_EQ(doc.count("a"), 0);
    EXPECT_TRUE(doc.set_element(3, "a", "x"));
    EXPECT_EQ(doc.count("a"), 4);
}

}  // namespace
}  // namespace brindlecast
