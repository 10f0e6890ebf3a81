#include "net/cookies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brindlecast {
namespace {

struct MergeCase {
    const char* label;
    std::string old_cookies;
    std::string new_cookies;
    std::string expected;
};

TEST(MergeCookies, PutsNewPairsFirstAndKeepsOldOnesNotSetAgain) {
    const MergeCase cases[] = {
        {"new replaces old of the same name", "a=1; b=2", "b=3", "b=3; a=1"},
        {"deleted pair removes the old one", "a=1; b=2", "a=deleted", "b=2"},
        {"only the first old pair of a name", "a=1; a=2", "", "a=1"},
        {"exact repeats of new go", "", "c=1; c=1", "c=1"},
        {"new pairs of one name are kept apart", "", "c=1; c=2", "c=1; c=2"},
        {"trailing semicolon of old", "a=1;", "", "a=1"},
        {"trailing semicolon of new", "", "b=2;", "b=2"},
        {"no space after semicolon is one pair", "a=1;b=2", "b=3", "b=3; a=1;b=2"},
        {"names trimmed before comparing", "x=1;  a=1", "a=5", "a=5; x=1"},
        {"names compared with case", "A=1", "a=5", "a=5; A=1"},
        {"both empty", "", "", ""},
        {"deleted without equals survives", "a=1; xdeleted", "", "a=1; xdeleted"},
        {"value ending in deleted survives", "a=undeleted", "", "a=undeleted"},
        {"deleted old pair dropped", "x=deleted; y=1", "", "y=1"},
        {"deleted new pair dropped", "", "x=deleted; y=1", "y=1"},
        {"blanks around the texts", "  a=1  ", "  b=2 ", "b=2; a=1"},
        {"pair without a value counts as a name", "flag; a=1", "flag=on", "flag=on; a=1"},
    };
    for (const MergeCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::string old_cookies = c.old_cookies;
        EXPECT_EQ(merge_cookies(old_cookies, c.new_cookies), c.expected);
        EXPECT_EQ(old_cookies, c.expected);
    }
}

TEST(CookieName, IsTheTrimmedTextBeforeTheFirstEquals) {
    EXPECT_EQ(cookie_name(" sid = abc=def"), "sid");
    EXPECT_EQ(cookie_name("flag"), "flag");
    EXPECT_EQ(cookie_name("=x"), "");
    EXPECT_EQ(cookie_name(""), "");
}

TEST(HasCookieNamed, ComparesNamesByteForByte) {
    const std::vector<std::string> pairs = {"a=1", " B=2", "c"};
    EXPECT_TRUE(has_cookie_named(pairs, "a"));
    EXPECT_TRUE(has_cookie_named(pairs, "B"));
    EXPECT_TRUE(has_cookie_named(pairs, "c"));
    EXPECT_FALSE(has_cookie_named(pairs, "b"));
    EXPECT_FALSE(has_cookie_named({}, ""));
}

TEST(RemoveDuplicateItems, KeepsTheFirstOfEachExactItem) {
    EXPECT_EQ(remove_duplicate_items("a; b; a; c; b", "; "), "a; b; c");
    EXPECT_EQ(remove_duplicate_items("a; A; a ", "; "), "a; A; a ");
    EXPECT_EQ(remove_duplicate_items("", "; "), "");
    EXPECT_EQ(remove_duplicate_items("x,,y,,", ","), "x,,y");
}

TEST(IndexOfItem, GivesTheOneBasedPositionOfTheFirstEqualElement) {
    const std::vector<std::string> list = {"a", "b", "a"};
    EXPECT_EQ(index_of_item(list, "a"), 1);
    EXPECT_EQ(index_of_item(list, "b"), 2);
    EXPECT_EQ(index_of_item(list, "A"), -1);
    EXPECT_EQ(index_of_item({}, ""), -1);
}

}  // namespace
}  // namespace brindlecast
