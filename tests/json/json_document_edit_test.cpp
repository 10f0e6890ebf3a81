// Editing and enumeration: writes, merges, arrays, removal, type codes,
// listings, copies and numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "json/json_document.h"
#include "text/cp936.h"

namespace brindlecast {
namespace {

using Names = std::vector<std::string>;

JsonDocument parsed(const char* text) {
    JsonDocument doc;
    EXPECT_TRUE(doc.parse(text)) << text;
    return doc;
}

TEST(JsonDocumentSetValue, TextModeGivesTheTextBackAndJsonShowsBackslashesUndoubled) {
    JsonDocument doc;
    const std::string text = "a\\b'c\"d\r\ne";
    ASSERT_TRUE(doc.set_value("t", text));
    EXPECT_EQ(doc.get_value("t"), text);
    EXPECT_EQ(doc.get_json("t"), "\"a\\b'c\\\"d\\r\\ne\"");
    EXPECT_EQ(doc.to_json(), "{\"t\":\"a\\b'c\\\"d\\r\\ne\"}");
    EXPECT_EQ(doc.get_element_value(0, "list"), "");
    ASSERT_TRUE(doc.array_add("x", "list"));
    ASSERT_TRUE(doc.set_element(1, "list", "y"));
    EXPECT_EQ(doc.get_element_value(1, "list"), "y");

    // Written text can stand for JSON that is already escaped.
    ASSERT_TRUE(doc.set_value("u", "\\u4e2d"));
    EXPECT_EQ(doc.get_json("u"), "\"\\u4e2d\"");
    EXPECT_EQ(doc.get_value("u"), "\\u4e2d");
    ASSERT_TRUE(doc.set_value("zh", cp936("中文")));
    EXPECT_EQ(doc.get_value("zh"), cp936("中文"));
    // 娴 is C2 5C: its trail byte is no backslash.
    ASSERT_TRUE(doc.set_value("trail", cp936("娴")));
    EXPECT_EQ(doc.get_json("trail"), cp936("\"娴\""));
}

TEST(JsonDocumentSetValue, WritesNeedAnExistingParent) {
    JsonDocument doc = parsed(R"({"o":{},"s":"str","a":[]})");
    EXPECT_TRUE(doc.set_value("o.new", "1"));
    EXPECT_FALSE(doc.set_value("missing.x", "1"));
    EXPECT_FALSE(doc.set_value("s.x", "1"));
    EXPECT_FALSE(doc.set_value("a.name", "1"));
    EXPECT_FALSE(doc.set_value("o.", "1"));
    EXPECT_TRUE(doc.set_value("a[2]", "z"));
    EXPECT_EQ(doc.to_json(), R"({"o":{"new":"1"},"s":"str","a":[null,null,"z"]})");
    EXPECT_EQ(doc.count("a"), 3);
}

TEST(JsonDocumentSetValue, ScriptModeMergesIntoObjectsAndReplacesEverythingElse) {
    struct Case {
        const char* start;
        const char* path;
        const char* value;
        bool ok;
        const char* after;
    };
    const Case cases[] = {
        {R"({"m":{"a":"1","b":"2"}})", "m", R"({"b":"B","c":"C"})", true,
         R"({"m":{"a":"1","b":"B","c":"C"}})"},
        {R"({"m":"text"})", "m", R"({"b":"B","c":"C"})", true, R"({"m":{"b":"B","c":"C"}})"},
        {R"({"m":{"a":"1"}})", "m", "", true, R"({"m":{"a":"1"}})"},
        {R"({"m":{"a":"1"}})", "x", "", true, R"({"m":{"a":"1"}})"},
        {R"({"m":"text"})", "m", "", true, R"({})"},
        {R"({"m":{"l":[1,2],"o":{"p":1,"q":true},"n":5,"z":null,"f":false}})", "m",
         R"({"l":[3],"o":{"q":"Q","r":[]},"n":{"k":1},"z":7,"f":"F"})", true,
         R"({"m":{"l":[1,2,3],"o":{"p":1,"q":"Q","r":[]},"n":{"k":1},"z":7,"f":"F"}})"},
        {R"({"m":{"o":{"p":1}}})", "m", R"({"o":5})", true, R"({"m":{"o":{"p":1}}})"},
        {R"({"m":{"a":1}})", "m", R"(["x","y"])", true, R"({"m":{"a":1,"0":"x","1":"y"}})"},
        {R"({"m":[1]})", "m", R"({"b":2})", true, R"({"m":{"b":2}})"},
        {R"({"m":null})", "m", R"([1])", true, R"({"m":[1]})"},
        {"{}", "", R"({"r":1})", true, R"({"r":1})"},
        // Null has no length to append to an array: the merge stops there,
        // keeping what it merged before.
        {R"({"m":{"a":"1","l":[1],"b":"2"}})", "m", R"({"a":"A","l":null,"b":"B"})", false,
         R"({"m":{"a":"A","l":[1],"b":"2"}})"},
        {R"({"m":{"o":{"l":[]}}})", "m", R"({"o":{"l":null}})", false, R"({"m":{"o":{"l":[]}}})"},
        {R"({"m":{"l":[1]}})", "m", R"({"l":{"x":1}})", true, R"({"m":{"l":[1]}})"},
        {R"({"m":{"a":"1"}})", "m", "alert(1)", false, R"({"m":{"a":"1"}})"},
        {R"({"m":"text"})", "m", "{b:1}", false, R"({"m":"text"})"},
        {R"({"m":"text"})", "m", "'str'", false, R"({"m":"text"})"},
        {R"({"m":"text"})", "missing.x", "1", false, R"({"m":"text"})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " <- " + c.path + " = " + c.value);
        JsonDocument doc = parsed(c.start);
        EXPECT_EQ(doc.set_value(c.path, c.value, true), c.ok);
        EXPECT_EQ(doc.to_json(), c.after);
    }
}

TEST(JsonDocumentSetValue, EmptyScriptValueLeavesAMemberThatReadsAsMissing) {
    JsonDocument doc = parsed(R"({"keep":1})");
    ASSERT_TRUE(doc.set_value("gone", "", true));
    EXPECT_FALSE(doc.exists("gone"));
    EXPECT_EQ(doc.type_of("gone"), JsonDocument::kTypeNull);
    EXPECT_EQ(doc.to_json(), R"({"keep":1})");
}

TEST(JsonDocumentSetExpression, AssignsJsonValuesOnly) {
    JsonDocument doc;
    EXPECT_TRUE(doc.set_expression("n", "12.5"));
    EXPECT_TRUE(doc.set_expression("o", R"({"a":[true]})"));
    EXPECT_FALSE(doc.set_expression("bad", "1+2"));
    EXPECT_FALSE(doc.set_expression("bad", "(function(){return 1})()"));
    EXPECT_FALSE(doc.set_expression("n", "new ActiveXObject('x')"));
    EXPECT_EQ(doc.to_json(), R"({"n":12.5,"o":{"a":[true]}})");
    EXPECT_TRUE(doc.set_expression("", "[1]"));
    EXPECT_EQ(doc.to_json(), "[1]");
}

TEST(JsonDocumentArrayAdd, MakesAnArrayAndAddsAtEitherEnd) {
    JsonDocument doc = parsed(R"({"s":"text","a":[1]})");
    ASSERT_TRUE(doc.array_add("x", "fresh"));
    EXPECT_EQ(doc.get_json("fresh"), R"(["x"])");
    ASSERT_TRUE(doc.array_add("2", "a", true));
    ASSERT_TRUE(doc.array_add("0", "a", true, true));
    ASSERT_TRUE(doc.array_add(R"({"k":[]})", "a", true));
    EXPECT_EQ(doc.get_json("a"), R"([0,1,2,{"k":[]}])");
    ASSERT_TRUE(doc.array_add("front", "s", false, true));
    EXPECT_EQ(doc.get_json("s"), R"(["front"])");
    ASSERT_TRUE(doc.array_add("tab\\there \\u4e2d \\x41", "esc"));
    EXPECT_EQ(doc.get_element_value(0, "esc"), cp936("tab\there 中 A"));
}

TEST(JsonDocumentArrayAdd, RejectsWhatIsNoLiteralAndChangesNothing) {
    JsonDocument doc = parsed(R"({"a":[1]})");
    const char* quoted[] = {"it's", "line\nbreak", "ends\\"};
    for (const char* value : quoted) {
        SCOPED_TRACE(value);
        EXPECT_FALSE(doc.array_add(value, "a"));
        EXPECT_FALSE(doc.set_element(0, "a", value));
    }
    EXPECT_FALSE(doc.array_add("1+1", "a", true));
    EXPECT_FALSE(doc.array_add("x", "missing.deeper"));
    EXPECT_EQ(doc.to_json(), R"({"a":[1]})");
}

TEST(JsonDocumentElements, ReadWriteAndRemoveByIndex) {
    JsonDocument doc = parsed(R"({"a":["x",2,{"k":"v"}],"o":{"1":"one"}})");
    EXPECT_EQ(doc.get_element_value(0, "a"), "x");
    EXPECT_EQ(doc.get_element_value(1, "a"), "");
    EXPECT_EQ(doc.get_element_value(1, "a", true), "2");
    EXPECT_EQ(doc.get_element_value(2, "a", true), R"({"k":"v"})");
    EXPECT_EQ(doc.get_element_value(9, "a", true), "");
    EXPECT_EQ(doc.get_element_value(-1, "a", true), "");
    EXPECT_EQ(doc.get_element_value(1, "o"), "one");
    EXPECT_EQ(doc.get_element_value(0, "missing"), "");

    EXPECT_TRUE(doc.set_element(1, "a", "[true]", true));
    EXPECT_TRUE(doc.set_element(2, "o", "two"));
    EXPECT_FALSE(doc.set_element(-1, "a", "neg"));
    EXPECT_FALSE(doc.set_element(0, "missing", "x"));
    EXPECT_EQ(doc.to_json(), R"({"a":["x",[true],{"k":"v"}],"o":{"1":"one","2":"two"}})");

    EXPECT_TRUE(doc.remove_element(0, "a"));
    EXPECT_EQ(doc.get_json("a"), R"([[true],{"k":"v"}])");
    EXPECT_TRUE(doc.remove_element(-1, "a"));
    EXPECT_EQ(doc.get_json("a"), R"([[true]])");
    EXPECT_TRUE(doc.remove_element(5, "a"));
    EXPECT_FALSE(doc.remove_element(0, "o"));
    EXPECT_FALSE(doc.remove_element(0, "missing"));
    EXPECT_EQ(doc.count("a"), 1);
}

TEST(JsonDocumentRemove, DeletesMembersAndLeavesHolesInArrays) {
    JsonDocument doc = parsed(R"({"a":1,"b":{"c":2},"l":[1,2,3]})");
    EXPECT_TRUE(doc.remove("a"));
    EXPECT_FALSE(doc.exists("a"));
    EXPECT_EQ(doc.type_of("a"), JsonDocument::kTypeNull);
    EXPECT_TRUE(doc.remove("nothing"));
    EXPECT_FALSE(doc.remove("nothing.deeper"));
    EXPECT_FALSE(doc.remove(""));
    EXPECT_TRUE(doc.remove("l[1]"));
    EXPECT_EQ(doc.to_json(), R"({"b":{"c":2},"l":[1,null,3]})");
    EXPECT_EQ(doc.get_value("l"), "1,,3");
    std::vector<std::string> values;
    EXPECT_EQ(doc.all_values(values, "l"), 2);
    EXPECT_TRUE(doc.set_value("a", "back"));
    EXPECT_EQ(doc.to_json(), R"({"b":{"c":2},"l":[1,null,3],"a":"back"})");
}

TEST(JsonDocumentTypeOf, GivesTheTypeCodes) {
    JsonDocument doc = parsed(R"({"s":"","a":[],"o":{},"n":0,"b":false,"z":null})");
    struct Case {
        const char* path;
        int code;
    };
    const Case cases[] = {{"s", 6},  {"a", 5},         {"o", 4},          {"n", 2},   {"b", 1},
                          {"z", 0},  {"missing", 0},   {"missing.x", -1}, {"z.x", -1}, {"", 4},
                          {"a.length", 2}, {"[bad", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(doc.type_of(c.path), c.code);
    }
}

TEST(JsonDocumentCount, CountsOnlyArrays) {
    JsonDocument doc = parsed(R"({"a":[1,2,3],"o":{"x":1},"s":"abc"})");
    EXPECT_EQ(doc.count("a"), 3);
    EXPECT_EQ(doc.count("o"), 0);
    EXPECT_EQ(doc.count("s"), 0);
    EXPECT_EQ(doc.count("missing"), 0);
    EXPECT_EQ(doc.count("missing.x"), 0);
}

TEST(JsonDocumentMemberNames, ListsObjectMembersInOrder) {
    JsonDocument doc = parsed(cp936(R"({"x":1,"y":{"b":1,"a":2},"l":[1],"e":{},"中":true,"cr\r\nlf":0})").c_str());
    Names names{"stale"};
    EXPECT_EQ(doc.member_names(names, "y"), 2);
    EXPECT_EQ(names, (Names{"b", "a"}));
    EXPECT_EQ(doc.member_names(names, ""), 7);
    EXPECT_EQ(names, (Names{"x", "y", "l", "e", cp936("中"), "cr", "lf"}));
    EXPECT_EQ(doc.member_names(names, "l"), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(doc.member_names(names, "e"), 0);
    EXPECT_EQ(doc.member_names(names, "missing.x"), 0);
}

TEST(JsonDocumentAllValues, ListsScalarsAndDescendsWhenRecursive) {
    JsonDocument doc = parsed(R"({"s":"text","n":1.5,"o":{"b":true,"z":null},"nul":null,"l":["x",[false]],"t":"end"})");
    Names values{"stale"};
    EXPECT_EQ(doc.all_values(values, "", false), 3);
    EXPECT_EQ(values, (Names{"text", "1.5", "end"}));
    EXPECT_EQ(doc.all_values(values, "", true), 6);
    EXPECT_EQ(values, (Names{"text", "1.5", "true", "x", "false", "end"}));
    EXPECT_EQ(doc.all_values(values, "l", false), 1);
    EXPECT_EQ(doc.all_values(values, "s", true), 0);
    EXPECT_EQ(doc.all_values(values, "missing.x", true), 0);
}

TEST(JsonDocumentAllValues, SplitsAtTheSeparatorAndDropsAnEmptyLastValue) {
    JsonDocument doc;
    const std::string separator = JsonDocument::value_separator();
    ASSERT_TRUE(doc.set_value("a", "left" + separator + "right"));
    ASSERT_TRUE(doc.set_value("b", ""));
    ASSERT_TRUE(doc.set_value("c", "back\\slash"));
    ASSERT_TRUE(doc.set_value("d", ""));
    Names values;
    EXPECT_EQ(doc.all_values(values, ""), 4);
    EXPECT_EQ(values, (Names{"left", "right", "", "back?slash"}));
}

TEST(JsonDocumentCopies, AreIndependentDocumentsOfTheJsonText) {
    JsonDocument doc = parsed(R"({"m":{"k":[1,"2"]},"l":[{"e":1},"s"],"s":"text"})");
    JsonDocument member = doc.get_document("m");
    EXPECT_EQ(member.to_json(), doc.get_json("m"));
    ASSERT_TRUE(member.set_value("k", "changed"));
    EXPECT_EQ(doc.get_json("m"), R"({"k":[1,"2"]})");

    JsonDocument element = doc.get_element_document(0, "l");
    EXPECT_EQ(element.to_json(), R"({"e":1})");
    EXPECT_EQ(doc.get_element_document(1, "l").get_value(""), "s");
    EXPECT_FALSE(doc.get_document("missing").exists(""));
    EXPECT_EQ(doc.get_document("missing").to_json(), "");
}

TEST(JsonDocumentNumbers, SetNumberRoundsToThirteenDigitsAndGetNumberConverts) {
    JsonDocument doc = parsed(R"({"n":2.5,"t":true,"f":false,"s":" 12.5 ","w":"12a","o":{},"z":null})");
    ASSERT_TRUE(doc.set_number("third", 1.0 / 3.0));
    EXPECT_EQ(doc.get_value("third"), "0.3333333333333");
    ASSERT_TRUE(doc.set_number("big", 12345678901234567.0));
    EXPECT_EQ(doc.get_value("big"), "12345678901230000");
    EXPECT_FALSE(doc.set_number("nan", std::nan("")));
    EXPECT_FALSE(doc.set_number("missing.x", 1));
    struct Case {
        const char* path;
        double number;
    };
    const Case cases[] = {{"n", 2.5},  {"t", -1}, {"f", 0}, {"s", 12.5}, {"w", 0},
                          {"o", 0},    {"z", 0},  {"missing", 0}, {"missing.x", 0},
                          {"third", 0.3333333333333}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(doc.get_number(c.path), c.number);
    }
}

TEST(JsonDocumentClear, EmptiesTheRoot) {
    JsonDocument doc = parsed("[1,2]");
    EXPECT_TRUE(doc.clear());
    EXPECT_EQ(doc.to_json(), "{}");
}

}  // namespace
}  // namespace brindlecast
