#include "net/header_block.h"

#include <gtest/gtest.h>

#include <string>

namespace brindlecast {
namespace {

struct BlockCase {
    const char* label;
    std::string block;
    std::string expected;
};

TEST(NormaliseHeaderBlock, CapitalisesNamesAndTidiesLines) {
    const BlockCase cases[] = {
        {"two dash parts", "accept-language: zh-cn", "Accept-Language: zh-cn"},
        {"three dash parts", "x-forwarded-for: 1.2.3.4", "X-Forwarded-For: 1.2.3.4"},
        {"capitals stay", "ACCEPT: */*", "ACCEPT: */*"},
        {"other letters never lowered", "aCCEPT-lANGUAGE: x", "ACCEPT-LANGUAGE: x"},
        {"value untouched", "user-agent: mozilla/4.0 (a-b; c-d)", "User-Agent: mozilla/4.0 (a-b; c-d)"},
        {"no space after colon kept", "referer:http://a/", "Referer:http://a/"},
        {"two spaces after colon kept", "referer:  x", "Referer:  x"},
        {"colons in value kept", "referer: http://h:81/a", "Referer: http://h:81/a"},
        {"only lines without colon", "nothing here\r\nnor here", ""},
        {"only empty lines", "\r\n\r\n\r\n", ""},
        {"empty block", "", ""},
        {"leading empty line dropped", "\r\naccept: */*\r\nreferer: r",
         "Accept: */*\r\nReferer: r"},
        {"trailing separator dropped", "accept: */*\r\n", "Accept: */*"},
        {"line without colon in the middle dropped", "a: 1\r\njunk\r\nb: 2", "A: 1\r\nB: 2"},
        {"name ending in a dash keeps the dash", "x-: 1", "X-: 1"},
        {"name with two dashes in a row", "a--b: 1", "A--B: 1"},
        {"name starting with a dash", "-a: 1", "-A: 1"},
        {"two-byte character at the start stays whole", "\xB5\xC4-x: 1", "\xB5\xC4-X: 1"},
        // A lone line feed is no separator: one line, capitalised only before its first colon.
        {"lone line feeds keep one line", "accept: a\nreferer: b", "Accept: a\nreferer: b"},
        {"lone line feed before the first colon", "x\nfoo-bar: 1", "X\nfoo-Bar: 1"},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(normalise_header_block(c.block), c.expected);
    }
}

TEST(CapitaliseFirst, RaisesOnlyALowerCaseFirstByte) {
    EXPECT_EQ(capitalise_first("language"), "Language");
    EXPECT_EQ(capitalise_first("Language"), "Language");
    EXPECT_EQ(capitalise_first("9x"), "9x");
    EXPECT_EQ(capitalise_first(""), "");
    EXPECT_EQ(capitalise_first("\xD6\xD0x"), "\xD6\xD0x");
}

struct LineCase {
    const char* label;
    std::string line;
    std::string name;
    std::string value;
};

TEST(HeaderNameAndValue, SplitAtTheFirstColonAndTrimBlanks) {
    const LineCase cases[] = {
        {"spaces around", "  Accept  :  */*  ", "Accept", "*/*"},
        {"address value keeps its colons", "Referer: http://host:8080/a?b=c:d", "Referer",
         "http://host:8080/a?b=c:d"},
        {"no colon", "Accept */*", "", ""},
        {"empty line", "", "", ""},
        {"line begins with the colon", ":  rest: more ", "", "rest: more"},
        {"leading tab stays", "X:\tvalue", "X", "\tvalue"},
        {"full-width spaces are blanks", "\xA1\xA1Name\xA1\xA1:\xA1\xA1v\xA1\xA1", "Name", "v"},
        {"empty value", "Cookie:", "Cookie", ""},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(header_name(c.line), c.name);
        EXPECT_EQ(header_value(c.line), c.value);
    }
}

}  // namespace
}  // namespace brindlecast
