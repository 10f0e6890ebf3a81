#include "text/markers.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/cp936.h"

namespace brindlecast {
namespace {

TEST(TextRightOf, TakesTheLastOccurrenceByDefault) {
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"once", "http://h/cases?id=ff808081769a6f150176a809d8d4049d",
         "ff808081769a6f150176a809d8d4049d"},
        {"twice", "http://h/cases?id=abc&ref=x&id=def", "def"},
        {"none", "http://h/cases?key=abc", ""},
        {"marker ends the text", "http://h/cases?id=", ""},
        {"case differs", "http://h/cases?ID=abc", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text_right_of(c.text, "id="), c.expected);
    }
}

TEST(TextRightOf, ReadsThePositionSignAsForwardOrBackward) {
    // "a=" occurs at bytes 1, 5 and 9 of this 11-byte text.
    const std::string text = "a=1;a=2;a=3";
    struct Case {
        TextPos position;
        std::string expected;
    };
    const Case cases[] = {
        {-1, "1;a=2;a=3"},  // first occurrence from byte 1
        {-2, "2;a=3"},      // first at or after byte 2
        {-5, "2;a=3"},      // an occurrence starting at the byte itself
        {-10, ""},          // none starts at or after byte 10
        {0, "3"},           // last occurrence
        {1, "3"},           // last byte ignored: "a=" at 9..10 still fits
        {2, "2;a=3"},       // last two bytes ignored: 9..10 no longer fits
        {3, "2;a=3"},
        {6, "1;a=2;a=3"},
        {11, ""},           // a position of the length or more finds nothing
        {50, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(text_right_of(text, "a=", c.position), c.expected);
    }
}

TEST(TextRightOf, IgnoresCaseOnRequest) {
    EXPECT_EQ(text_right_of("x?ID=5", "id=", 0, true), "5");
    EXPECT_EQ(text_right_of("x?ID=5", "id=", 0, false), "");
}

TEST(TextLeftOf, TakesTheFirstOccurrenceByDefault) {
    EXPECT_EQ(text_left_of("Content-Type: text/html: x", ": "), "Content-Type");
    EXPECT_EQ(text_left_of("HTTP/1.1 200 OK", ": "), "");
    EXPECT_EQ(text_left_of(": value", ": "), "");
}

TEST(TextLeftOf, ReadsThePositionSignOppositeToTextRightOf) {
    // ": " occurs at bytes 2 and 5 of this 6-byte text, the second ending it.
    const std::string text = "a: b: ";
    struct Case {
        TextPos position;
        std::string expected;
    };
    const Case cases[] = {
        {0, "a"},      // first occurrence
        {1, "a"},
        {3, "a: b"},   // first at or after byte 3
        {6, ""},       // none at or after byte 6
        {-1, "a: b"},  // last occurrence in the whole text, even at its very end
        {-2, "a"},     // last within the first four bytes
        {-3, "a"},
        {-5, ""},      // the first byte alone holds no occurrence
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(text_left_of(text, ": ", c.position), c.expected);
    }
}

TEST(TextLeftOf, IgnoresCaseOnRequest) {
    EXPECT_EQ(text_left_of("keyXYvalue", "xy", 0, true), "key");
    EXPECT_EQ(text_left_of("keyXYvalue", "xy", 0, false), "");
}

TEST(TextBetween, CutsTheCookiePairOutOfASetCookieLine) {
    EXPECT_EQ(text_between("Set-Cookie: sid=abc123; path=/; HttpOnly", "Set-Cookie:", ";"),
              " sid=abc123");
    EXPECT_EQ(text_between("Set-Cookie: sid=abc123", "Set-Cookie:", ";"), "");
    EXPECT_EQ(text_between("Cookie: sid=abc123;", "Set-Cookie:", ";"), "");
}

TEST(TextBetween, LooksForTheEndMarkerOnlyAfterTheStartMarker) {
    EXPECT_EQ(text_between("b;a=1;c", "a=", ";"), "1");
    EXPECT_EQ(text_between("a[]b", "[", "]"), "");
    EXPECT_EQ(text_between("x=1;x=2;", "x=", ";", 3), "2");
    EXPECT_EQ(text_between("x=1;x=2;", "x=", ";", -4), "1");
    EXPECT_EQ(text_between("SET-COOKIE: a=1;", "set-cookie:", ";", 0, true), " a=1");
    EXPECT_EQ(text_between("SET-COOKIE: a=1;", "set-cookie:", ";", 0, false), "");
}

TEST(TextBetween, ReadsTheQuoteMarkerAsADoubleQuote) {
    const std::string page = cp936(R"(<a class="x" href="资料.pdf">)");
    EXPECT_EQ(text_between(page, cp936("href=#引号"), cp936("#引号")), cp936("资料.pdf"));
    EXPECT_EQ(text_between(cp936(R"({"srcUrl":"/f/1.pdf","k":2})"), cp936("#引号srcUrl#引号:#引号"),
                           cp936("#引号")),
              "/f/1.pdf");
    // A text holding the marker itself is not a quote.
    EXPECT_EQ(text_between(cp936("a#引号b\"c\""), "\"", "\""), "c");
}

TEST(ReplacePairs, RewritesACapitalisedPrefixWhenCaseIsIgnored) {
    const std::string find = "/view/";
    const std::string replacement = "/content/";
    EXPECT_EQ(replace_pairs("https://p.example/VIEW/ab12", std::nullopt, 1, false, find, replacement),
              "https://p.example/content/ab12");
    EXPECT_EQ(replace_pairs("https://p.example/View/ab12", std::nullopt, 1, false, find, replacement),
              "https://p.example/content/ab12");
    EXPECT_EQ(replace_pairs("https://p.example/VIEW/ab12", std::nullopt, 1, true, find, replacement),
              "https://p.example/VIEW/ab12");
}

TEST(ReplacePairs, AppliesThePairsInTurn) {
    // Pair 2 sees what pair 1 wrote.
    EXPECT_EQ(replace_pairs("abc", std::nullopt, 1, true, "a", "b", "b", "c"), "ccc");
    EXPECT_EQ(replace_pairs("1-2-3", std::nullopt, 1, true, "1", "one", "2", "two", "3", "three",
                            "-", "+", "+", " "),
              "one two three");
    // Pairs left out leave the text as pair 1 made it.
    EXPECT_EQ(replace_pairs("a/view/b", std::nullopt, 1, false, "/view/", "/content/"),
              "a/content/b");
}

TEST(ReplacePairs, LimitsEachPairToCountAndStartsAtStart) {
    EXPECT_EQ(replace_pairs("a.a.a", 1, 1, true, ".", "-"), "a-a.a");
    EXPECT_EQ(replace_pairs("a.a.a", 1, 1, true, ".", "-", ".", "+"), "a-a+a");
    EXPECT_EQ(replace_pairs("a.a.a", 0, 1, true, ".", "-"), "a.a.a");
    EXPECT_EQ(replace_pairs("/view//view/", std::nullopt, 0, true, "/view/", "/v/"), "/v//v/");
    EXPECT_EQ(replace_pairs("aXa", std::nullopt, 2, true, "a", "b"), "aXb");
}

}  // namespace
}  // namespace brindlecast
