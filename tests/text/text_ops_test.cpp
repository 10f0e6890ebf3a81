#include "text/text_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/cp936.h"

namespace brindlecast {
namespace {

// 丄 is the two-byte character 81 41: its second byte is the letter A.
constexpr std::string_view kShang = "\x81\x41";
// The full-width space, A1 A1.
constexpr std::string_view kWideSpace = "\xA1\xA1";

TEST(Locate, FollowsItsEdgeRules) {
    struct Case {
        const char* name;
        std::string text;
        std::string needle;
        TextPos start;
        bool ignore_case;
        TextPos expected;
    };
    const Case cases[] = {
        {"first occurrence", "abcabc", "bc", 1, false, 2},
        {"start skips an earlier occurrence", "abcabc", "bc", 3, false, 5},
        {"start on the occurrence itself", "abcabc", "bc", 5, false, 5},
        {"start zero searches from the beginning", "abcabc", "bc", 0, false, 2},
        {"negative start searches from the beginning", "abcabc", "bc", -7, false, 2},
        {"start equal to the length", "abc", "c", 3, false, 3},
        {"start past the length", "abc", "c", 4, false, -1},
        {"needle longer than the rest", "abc", "bcd", 1, false, -1},
        {"not found", "abc", "x", 1, false, -1},
        {"empty needle, whole text", "abc", "", 1, false, 1},
        {"empty needle gives 1 from a later start", "abc", "", 3, false, 1},
        {"empty needle past the end", "abc", "", 5, false, -1},
        {"empty needle in empty text", "", "", 1, false, -1},
        {"case differs", "abcABC", "ABC", 1, false, 4},
        {"case ignored", "abcABC", "ABC", 1, true, 1},
        {"only letters fold", "[x", "{", 1, true, -1},
        {"second byte of a character is not a start", std::string(kShang), "A", 1, false, -1},
        {"second byte skipped, later A found", std::string(kShang) + "A", "A", 1, false, 3},
        {"second byte skipped when ignoring case", std::string("\x81\x61") + "A", "a", 1, true, 3},
        {"two-byte needle found", "ab" + std::string(kShang), std::string(kShang), 1, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(locate(c.text, c.needle, c.start, c.ignore_case), c.expected);
    }
}

TEST(Locate, DefaultsSearchTheWholeTextExactly) {
    EXPECT_EQ(locate("xyXY", "XY"), 3);
}

TEST(Locate, StaysOnCharacterBoundariesAcrossALongText) {
    // Many two-byte characters whose second byte equals the needle, so the
    // fast search keeps hitting the wrong byte before the real one.
    std::string text;
    for (int i = 0; i < 100000; ++i) text += kShang;
    text += "A";
    EXPECT_EQ(locate(text, "A"), static_cast<TextPos>(text.size()));
    EXPECT_EQ(locate(text, "A", 1, true), static_cast<TextPos>(text.size()));
}

TEST(LocateLast, FollowsItsEdgeRules) {
    struct Case {
        const char* name;
        std::string text;
        std::string needle;
        std::optional<TextPos> start;
        bool ignore_case;
        TextPos expected;
    };
    const Case cases[] = {
        {"last occurrence by default", "abcabc", "bc", std::nullopt, false, 5},
        {"occurrences overlap", "aaa", "aa", std::nullopt, false, 2},
        {"last byte outside the first two bytes", "abc", "c", 3, false, -1},
        {"last byte within the first three bytes", "abc", "c", 4, false, 3},
        {"start above length + 1 counts as length + 1", "abc", "c", 100, false, 3},
        {"occurrence must lie wholly within", "abcabc", "abc", 6, false, 1},
        {"start of 1 gives -1", "abc", "a", 1, false, -1},
        {"start of 0 gives -1", "abc", "a", 0, false, -1},
        {"empty needle", "abc", "", 2, false, 1},
        {"empty needle with an empty stretch", "abc", "", 1, false, -1},
        {"empty text", "", "a", std::nullopt, false, -1},
        {"case ignored", "xAbxab", "AB", std::nullopt, true, 5},
        {"case ignored, last one earlier", "xAbxa", "AB", std::nullopt, true, 2},
        {"case respected", "xAbxab", "AB", std::nullopt, false, -1},
        {"second byte of a character is not a start", "A" + std::string(kShang), "A", std::nullopt,
         false, 1},
        {"character then the letter", std::string(kShang) + "A", "A", std::nullopt, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(locate_last(c.text, c.needle, c.start, c.ignore_case), c.expected);
    }
}

// A plain character-by-character walk, the slow way the searches must agree with.
TextPos walk_locate(const std::string& text, const std::string& needle, TextPos start,
                    bool ignore_case) {
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    const std::size_t n = text.size();
    std::size_t i = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (i >= n) return -1;
    while (i < n) {
        const bool lead = static_cast<unsigned char>(text[i]) >= 0x80;
        if (lead && i + 1 == n) return -1;
        if (i + needle.size() > n) return -1;
        bool same = true;
        for (std::size_t k = 0; k < needle.size() && same; ++k) {
            same = ignore_case ? fold(text[i + k]) == fold(needle[k]) : text[i + k] == needle[k];
        }
        if (same) return static_cast<TextPos>(i) + 1;
        i += lead ? 2 : 1;
    }
    return -1;
}

TextPos walk_locate_last(const std::string& text, const std::string& needle, TextPos start,
                         bool ignore_case) {
    TextPos last = -1;
    const TextPos limit = start - 1;
    for (TextPos p = walk_locate(text, needle, 1, ignore_case);
         p != -1 && p - 1 + static_cast<TextPos>(needle.size()) <= limit;) {
        last = p;
        const bool lead = static_cast<unsigned char>(text[p - 1]) >= 0x80;
        p = walk_locate(text, needle, p + (lead ? 2 : 1), ignore_case);
    }
    return last;
}

TEST(Searches, AgreeWithACharacterWalkOnRandomTexts) {
    // Few distinct bytes, many of them high, so needles keep turning up on
    // second bytes of two-byte characters.
    const char alphabet[] = {'A', 'a', 'b', ' ', '\x81', '\xA1', '\xB0'};
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1);
    const auto random_text = [&](int length) {
        std::string text;
        for (int i = 0; i < length; ++i) text.push_back(alphabet[pick(random)]);
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string text = random_text(std::uniform_int_distribution<int>(0, 24)(random));
        const std::string needle = random_text(std::uniform_int_distribution<int>(1, 3)(random));
        const bool ignore_case = round % 2 == 1;
        const auto length = static_cast<TextPos>(text.size());
        for (TextPos start = 0; start <= length + 2; ++start) {
            SCOPED_TRACE(::testing::Message() << "round " << round << " start " << start);
            ASSERT_EQ(locate(text, needle, start, ignore_case),
                      walk_locate(text, needle, start, ignore_case));
            ASSERT_EQ(locate_last(text, needle, start, ignore_case),
                      walk_locate_last(text, needle, std::min(start, length + 1), ignore_case));
        }
    }
}

TEST(CuttingOperations, CountRawBytes) {
    struct Case {
        const char* name;
        std::string actual;
        std::string expected;
    };
    const Case cases[] = {
        {"left_part", left_part("abcdef", 2), "ab"},
        {"left_part count zero", left_part("abc", 0), ""},
        {"left_part negative count", left_part("abc", -1), ""},
        {"left_part whole text", left_part("abc", 3), "abc"},
        {"left_part beyond the end", left_part("abc", 9), "abc"},
        {"left_part cuts a character", left_part(std::string(kShang) + "b", 1), "\x81"},
        {"right_part", right_part("abcdef", 2), "ef"},
        {"right_part negative count", right_part("abc", -3), ""},
        {"right_part beyond the end", right_part("abc", 9), "abc"},
        {"middle_part", middle_part("abcdef", 2, 3), "bcd"},
        {"middle_part start zero", middle_part("abc", 0, 2), ""},
        {"middle_part start past the end", middle_part("abc", 4, 1), ""},
        {"middle_part start at the last byte", middle_part("abc", 3, 1), "c"},
        {"middle_part count zero", middle_part("abc", 1, 0), ""},
        {"middle_part count past the end", middle_part("abcdef", 5, 10), "ef"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(Substitute, ReplacesAsTheArgumentsSay) {
    struct Case {
        const char* name;
        std::string text;
        std::string find;
        std::string replacement;
        TextPos start;
        std::optional<TextPos> count;
        bool case_sensitive;
        std::string expected;
    };
    const Case cases[] = {
        {"every occurrence", "a.b.c", ".", "-", 1, std::nullopt, true, "a-b-c"},
        {"from a start", "a.b.c", ".", "-", 3, std::nullopt, true, "a.b-c"},
        {"start zero is the beginning", "a.b.c", ".", "-", 0, std::nullopt, true, "a-b-c"},
        {"at most count", "a.b.c", ".", "-", 1, 1, true, "a-b.c"},
        {"count zero replaces none", "a.b.c", ".", "-", 1, 0, true, "a.b.c"},
        {"count above the occurrences", "a.b.c", ".", "-", 1, 5, true, "a-b-c"},
        {"start on the last byte", "abc", "c", "X", 3, std::nullopt, true, "abX"},
        {"start past the last byte", "abc", "c", "X", 4, std::nullopt, true, "abc"},
        {"empty find", "abc", "", "X", 1, std::nullopt, true, "abc"},
        {"empty text", "", "a", "X", 1, std::nullopt, true, ""},
        {"empty replacement deletes", "a-b-c", "-", "", 1, std::nullopt, true, "abc"},
        {"case folded", "View/view/VIEW", "view", "x", 1, std::nullopt, false, "x/x/x"},
        {"case kept", "View/view/VIEW", "view", "x", 1, std::nullopt, true, "View/x/VIEW"},
        {"no overlapping replacements", "aaaa", "aa", "a", 1, std::nullopt, true, "aa"},
        {"odd run leaves the tail", "aaa", "aa", "b", 1, std::nullopt, true, "ba"},
        {"replacement not scanned again", "abab", "ab", "abab", 1, std::nullopt, true,
         "abababab"},
        {"find longer than the text", "ab", "abc", "x", 1, std::nullopt, true, "ab"},
        {"second byte of a character untouched", std::string(kShang) + "A", "A", "B", 1,
         std::nullopt, true, std::string(kShang) + "B"},
        {"lone lead byte at the end kept", "ab\x81", "b", "x", 1, std::nullopt, true, "ax\x81"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(substitute(c.text, c.find, c.replacement, c.start, c.count, c.case_sensitive),
                  c.expected);
    }
}

TEST(Substitute, IgnoresCaseAndReplacesAllWhenOptionsAreLeftOut) {
    EXPECT_EQ(substitute("Hello", "L", "x"), "Hexxo");
    EXPECT_EQ(substitute("Hello", "l"), "Heo");
}

TEST(Substitute, HandlesALargeTextWithManyOccurrences) {
    // A quadratic rebuild of the text would make this crawl.
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "ab,";
    const std::string result = substitute(text, ",", ";;", 1, std::nullopt, true);
    ASSERT_EQ(result.size(), text.size() + 200000);
    EXPECT_EQ(result.substr(0, 10), "ab;;ab;;ab");
    EXPECT_EQ(result.find(','), std::string::npos);
}

TEST(SplitBy, ProducesThePiecesBetweenSeparators) {
    using Pieces = std::vector<std::string>;
    struct Case {
        const char* name;
        std::string text;
        std::string separator;
        Pieces expected;
    };
    const Case cases[] = {
        {"plain", "a,b,c", ",", {"a", "b", "c"}},
        {"two separators in a row", "a,,b", ",", {"a", "", "b"}},
        {"separator first", ",a", ",", {"", "a"}},
        {"separator last adds no empty piece", "a,", ",", {"a"}},
        {"separator alone", ",", ",", {""}},
        {"empty text", "", ",", {}},
        {"empty separator", "abc", "", {"abc"}},
        {"no separator", "abc", ",", {"abc"}},
        {"longer separator", "a\r\nb\r\n", "\r\n", {"a", "b"}},
        {"second byte of a character is no separator",
         "x" + std::string(kShang) + "yAz",
         "A",
         {"x" + std::string(kShang) + "y", "z"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(split_by(c.text, c.separator), c.expected);
    }
}

TEST(TrimBlanks, RemovesSpacesAndFullWidthSpacesOnly) {
    const std::string wide(kWideSpace);
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"ascii spaces", "  abc  ", "abc"},
        {"full-width spaces at both ends", wide + " abc" + wide + wide, "abc"},
        {"inner blanks stay", " a b" + wide + "c ", "a b" + wide + "c"},
        {"trailing CR LF and the space before it stay", "abc \r\n", "abc \r\n"},
        {"full-width space before CR LF stays", wide + "abc" + wide + "\r\n", "abc" + wide + "\r\n"},
        {"tabs stay", "\tabc\t", "\tabc\t"},
        {"only blanks", " " + wide + " ", ""},
        {"empty", "", ""},
        {"A1 A1 across two characters is no blank", " \xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
        {"a character ending in 0x20 is kept whole", "a\x81\x20", "a\x81\x20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(trim_blanks(c.text), c.expected);
    }
}

TEST(TrimBlanks, TrimsTheProgramsOwnFullWidthSpace) {
    EXPECT_EQ(trim_blanks(cp936("　标题　")), cp936("标题"));
}

TEST(UpperAscii, RaisesOnlyOneByteLetters) {
    EXPECT_EQ(upper_ascii("abc-XYZ_09{}"), "ABC-XYZ_09{}");
    // 81 61: a two-byte character whose second byte is the letter a.
    EXPECT_EQ(upper_ascii("\x81\x61" "a"), "\x81\x61" "A");
    EXPECT_EQ(upper_ascii(""), "");
}

TEST(BeginsWith, ComparesBytesExactly) {
    struct Case {
        std::string text;
        std::string prefix;
        bool expected;
    };
    const Case cases[] = {
        {"abc", "", true},   {"", "", true},     {"abc", "ab", true}, {"abc", "abc", true},
        {"ab", "abc", false}, {"abc", "Ab", false}, {"abc", "b", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.prefix);
        EXPECT_EQ(begins_with(c.text, c.prefix), c.expected);
    }
}

TEST(RepeatN, JoinsCountCopies) {
    EXPECT_EQ(repeat_n("0", 3), "000");
    EXPECT_EQ(repeat_n("ab", 2), "abab");
    EXPECT_EQ(repeat_n("x", 0), "");
    EXPECT_EQ(repeat_n("x", -2), "");
    EXPECT_EQ(repeat_n("", 5), "");
}

}  // namespace
}  // namespace brindlecast
