// Reading documents: parse, paths and the two text forms of get_value.
#include <gtest/gtest.h>

#include <string>

#include "json/json_document.h"
#include "text/cp936.h"

namespace brindlecast {
namespace {

constexpr const char* kDetailAnswer =
    R"({"code":0,"data":{"id":"7f3a","title":"Case","attrs":[)"
    R"({"name":"title","value":"T"},{"name":"a1","value":"v1"},{"name":"a2","value":"v2"},)"
    R"({"name":"a3","value":"v3"},{"name":"author","value":"Wang"},{"name":"a5","value":5},)"
    R"({"name":"a6","value":null},{"name":"a7","value":true},{"name":"a8","value":[]},)"
    R"({"name":"preview","value":"https://p/view/x"},{"name":"video1","value":"k1"},)"
    R"({"name":"video2","value":""}]}})";

TEST(JsonDocumentParse, ReadsTheDetailAnswerAtTheWorkflowsPaths) {
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(kDetailAnswer));
    EXPECT_EQ(doc.get_value("data.attrs[0].value"), "T");
    EXPECT_EQ(doc.get_value("data.attrs[4].value"), "Wang");
    EXPECT_EQ(doc.get_value("data.attrs[9].value"), "https://p/view/x");
    EXPECT_EQ(doc.get_value("data.attrs[10].value"), "k1");
    EXPECT_EQ(doc.get_value("data.attrs[11].value"), "");
    EXPECT_EQ(doc.get_value("data.attrs[12].value"), "");
}

TEST(JsonDocumentParse, ReturnsFalseForTextsWithoutAValue) {
    const char* texts[] = {"null", "", "   ", "\r\n\t", "{\"a\":1", "{\"a\":", "[1,2", "\"abc",
                           "{'a':1}", "{a:1}", "1+2", "[1,]", "{\"a\":1,}", "01", "1.", ".5",
                           "-", "+1", "tru", "nul", "[1] x", "{\"a\":1}}", "NaN", "Infinity",
                           "\"a\tb\"", "\"\\x41\"", "\"\\u12\"", "//c\n1", "\xEF\xBB\xBF{}"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        JsonDocument doc;
        ASSERT_TRUE(doc.parse(R"({"keep":"old"})"));
        EXPECT_FALSE(doc.parse(text));
        EXPECT_EQ(doc.get_value("keep"), "");
        EXPECT_EQ(doc.get_value(""), "");
        EXPECT_FALSE(doc.exists(""));
    }
}

TEST(JsonDocumentParse, AcceptsEveryKindOfTopLevelValueWithBlanksAround) {
    struct Case {
        const char* text;
        const char* json;
    };
    const Case cases[] = {
        {" {} ", "{}"},         {"\n[ ]\r\n", "[]"},     {"\t0", "0"},
        {"false", "false"},     {"\"s\"", "\"s\""},      {"-0", "0"},
        {"[1 , {\"a\" : [ ] } ]", "[1,{\"a\":[]}]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JsonDocument doc;
        EXPECT_TRUE(doc.parse(c.text));
        EXPECT_EQ(doc.to_json(), c.json);
    }
}

TEST(JsonDocumentParse, EachParseReplacesTheWholeContent) {
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(R"({"first":"1","shared":"a"})"));
    ASSERT_TRUE(doc.parse(R"({"shared":"b"})"));
    EXPECT_EQ(doc.get_value("first"), "");
    EXPECT_EQ(doc.get_value("shared"), "b");
    EXPECT_EQ(doc.to_json(), R"({"shared":"b"})");
}

TEST(JsonDocumentParse, LastDuplicateMemberWinsAtTheFirstPlace) {
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(R"({"a":1,"b":2,"a":3,"c":{"x":1,"x":{"y":2}},"a":4})"));
    EXPECT_EQ(doc.to_json(), R"({"a":4,"b":2,"c":{"x":{"y":2}}})");
    std::vector<std::string> names;
    EXPECT_EQ(doc.member_names(names, ""), 3);

    // Large objects take another route through the duplicate check.
    std::string big = "{";
    for (int i = 0; i < 40; ++i) big += "\"k" + std::to_string(i % 20) + "\":" + std::to_string(i) + ",";
    big += "\"k0\":\"last\"}";
    ASSERT_TRUE(doc.parse(big));
    EXPECT_EQ(doc.member_names(names, ""), 20);
    EXPECT_EQ(doc.get_value("k0"), "last");
    EXPECT_EQ(doc.get_value("k19"), "39");
    EXPECT_EQ(names.front(), "k0");
}

TEST(JsonDocumentParse, DecodesEscapesAndKeepsChineseText) {
    JsonDocument doc;
    const std::string text = cp936(R"({"a":"\u4e2d","b":"x\\y","c":"\/\"\b\f\n\r\t","d":"中文\\名","e":"\ud83d\ude00","f":"\ud800x"})");
    ASSERT_TRUE(doc.parse(text));
    EXPECT_EQ(doc.get_value("a"), cp936("中"));
    EXPECT_EQ(doc.get_value("b"), "x\\y");
    EXPECT_EQ(doc.get_value("b", true), "\"x\\\\y\"");
    EXPECT_EQ(doc.get_value("c"), "/\"\b\f\n\r\t");
    EXPECT_EQ(doc.get_value("c", true), R"("/\"\b\f\n\r\t")");
    EXPECT_EQ(doc.get_value("d"), cp936("中文\\名"));
    // Characters CP936 lacks, and lone surrogates, become "?" at the edge only.
    EXPECT_EQ(doc.get_value("e"), "?");
    EXPECT_EQ(doc.get_value("e.length"), "2");
    EXPECT_EQ(doc.get_value("f"), "?x");
}

TEST(JsonDocumentParse, TakesTrailBytesOfChineseCharactersAsPartOfTheCharacter) {
    // 娴 is C2 5C in CP936 and 乗 is 81 5D: their trail bytes are "\" and "]".
    const std::string text = cp936(R"({"娴":"娴","k":["乗"]})");
    ASSERT_NE(text.find('\\'), std::string::npos);
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(text));
    EXPECT_EQ(doc.get_value(cp936("娴")), cp936("娴"));
    EXPECT_EQ(doc.get_value(cp936("['娴']")), cp936("娴"));
    EXPECT_EQ(doc.get_value("k[0]"), cp936("乗"));
    EXPECT_EQ(doc.to_json(), text);
}

TEST(JsonDocumentGetValue, GivesEachKindsTextAndJsonForm) {
    struct Case {
        const char* path;
        const char* text;
        const char* json;
    };
    const Case cases[] = {
        {"s", "str", "\"str\""},
        {"n12", "12", "12"},
        {"half", "1.5", "1.5"},
        {"big", "1e+21", "1e+21"},
        {"small", "1e-7", "1e-7"},
        {"t", "true", "true"},
        {"f", "false", "false"},
        {"nul", "", "null"},
        {"missing", "", ""},
        {"missing.deeper", "", ""},
        {"nul.deeper", "", ""},
        {"o", "[object Object]", R"({"k":"v","e":{}})"},
        {"eo", "[object Object]", "{}"},
        {"ea", "", "[]"},
        {"arr", "1,a,,2,3", R"([1,"a",null,[2,3]])"},
        {"mixed", "[object Object],,x,true,,", R"([{},null,["x",true,[]],null])"},
        {"empty", "", "\"\""},
        {"quote", "say \"hi\"", R"("say \"hi\"")"},
        {"inf", "Infinity", "null"},
    };
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(R"({"s":"str","n12":12,"half":1.5,"big":1e21,"small":0.0000001,)"
                          R"("t":true,"f":false,"nul":null,"o":{"k":"v","e":{}},"eo":{},"ea":[],)"
                          R"("arr":[1,"a",null,[2,3]],"mixed":[{},null,["x",true,[]],null],)"
                          R"("empty":"","quote":"say \"hi\"","inf":1e999})"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(doc.get_value(c.path), c.text);
        EXPECT_EQ(doc.get_value(c.path, true), c.json);
    }
}

TEST(JsonDocumentGetValue, StringHoldingJsonComesBackForTheNextParse) {
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(R"({"data":["{\"httpURL\":\"http://h/v/meta.json\"}",{"x":1}]})"));
    const std::string inner = doc.get_value("data[0]");
    EXPECT_EQ(inner, R"({"httpURL":"http://h/v/meta.json"})");
    EXPECT_EQ(doc.get_value("data[1]"), "[object Object]");
    ASSERT_TRUE(doc.parse(inner));
    EXPECT_EQ(doc.get_value("httpURL"), "http://h/v/meta.json");
}

TEST(JsonDocumentGetValue, JsonOutputEscapesExactlyTheCodecsSet) {
    JsonDocument doc;
    doc.parse(R"(["\u0001\u001f\u007f\u0080\u009f\u00a0\u00ad\u0600\u0604\u0605\u070f\u17b4\u17b5",)"
              R"("\u200b\u200c\u200f\u2027\u2028\u202f\u2030\u2060\u206f\ufeff\ufff0\uffff\u4e2d\u00e9"])");
    EXPECT_EQ(doc.to_json(),
              cp936(R"(["\u0001\u001f\u007f\u0080\u009f?\u00ad\u0600\u0604?\u070f\u17b4\u17b5",)"
                    R"("?\u200c\u200f‧\u2028\u202f‰\u2060\u206f\ufeff\ufff0\uffff中é"])"));
}

TEST(JsonDocumentResolvePath, RootsPathsAtTheRootName) {
    struct Case {
        const char* given;
        const char* resolved;
        bool present;
    };
    const Case cases[] = {
        {"data.attrs[0].value", "da.data.attrs[0].value", true},
        {"data[0]", "da.data[0]", true},
        {"srcUrl", "da.srcUrl", true},
        {"httpURL", "da.httpURL", false},
        {"levels.ori.list[0].filename", "da.levels.ori.list[0].filename", true},
        {"", "da", true},
        {"[2]", "da[2]", false},
        {"da", "da", true},
        {"da.x", "da.x", true},
        {"da.y", "da.da.y", false},
        {"da[\"x\"]", "da[\"x\"]", true},
        {"dax", "da.dax", false},
        {"data.missing.deeper", "da.data.missing.deeper", false},
    };
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(R"({"data":{"attrs":[{"value":"v"}],"0":"zero"},"srcUrl":"/s",)"
                          R"("levels":{"ori":{"list":[{"filename":"f.mp4"}]}},"x":1,"y":null})"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        std::string path = c.given;
        EXPECT_EQ(doc.resolve_path(path), c.present);
        EXPECT_EQ(path, c.resolved);
        EXPECT_EQ(doc.exists(c.given), c.present);
    }
    // The rooted "da" falls back to a member of that name.
    ASSERT_TRUE(doc.parse(R"({"da":{"y":"inner"}})"));
    EXPECT_EQ(doc.get_value("da.y"), "inner");
}

TEST(JsonDocumentResolvePath, ReadsBracketedNamesIndexesAndTheRootArray) {
    JsonDocument doc;
    ASSERT_TRUE(doc.parse(R"([{"a b":"spaced","it's":"apos","0":"zero"},["x","y"],"str"])"));
    struct Case {
        const char* path;
        const char* value;
    };
    const Case cases[] = {
        {"[0]['a b']", "spaced"},
        {"[0][\"a b\"]", "spaced"},
        {"da[0][\"it's\"]", "apos"},
        {"[0]['it\\'s']", "apos"},
        {"[0][0]", "zero"},
        {"[0]['0']", "zero"},
        {"[1][1]", "y"},
        {"[1]['1']", "y"},
        {"[1][-0]", "x"},
        {"[1][2]", ""},
        {"[1][-1]", ""},
        {"[1][01]", ""},
        {"[1].length", "2"},
        {"[2].length", "3"},
        {"[2][1]", "t"},
        {"da [ 1 ] [ 0 ]", "x"},
        {"[1][0", ""},
        {"[1]..x", ""},
        {"[1].", ""},
        {"[1].0", ""},
        {"[1][x]", ""},
        {"[0]['a b]", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(doc.get_value(c.path), c.value);
    }
    EXPECT_EQ(doc.get_value("[1]", true), R"(["x","y"])");
}

TEST(JsonDocumentClone, SharesContentUntilOneParsesAgain) {
    JsonDocument source;
    ASSERT_TRUE(source.parse(R"({"a":"1"})"));
    JsonDocument copy = source.clone();
    ASSERT_TRUE(source.set_value("b", "2"));
    EXPECT_EQ(copy.get_value("b"), "2");
    ASSERT_TRUE(copy.set_value("c", "3"));
    EXPECT_EQ(source.get_value("c"), "3");

    ASSERT_TRUE(source.parse(R"({"a":"new"})"));
    EXPECT_EQ(copy.get_value("a"), "1");
    EXPECT_EQ(copy.get_value("b"), "2");
    EXPECT_EQ(source.get_value("b"), "");
    copy.clear();
    EXPECT_EQ(source.get_value("a"), "new");
}

TEST(JsonDocumentState, NewDocumentHoldsAnEmptyObject) {
    JsonDocument doc;
    EXPECT_EQ(doc.to_json(), "{}");
    EXPECT_TRUE(doc.exists(""));
    EXPECT_EQ(doc.get_value(""), "[object Object]");
    EXPECT_EQ(doc.get_value("x"), "");
}

TEST(JsonDocumentState, FailedParseLeavesANullRootAndEmptyTextLeavesNone) {
    JsonDocument doc;
    EXPECT_FALSE(doc.parse("{"));
    EXPECT_EQ(doc.to_json(), "null");
    EXPECT_EQ(doc.type_of(""), JsonDocument::kTypeNull);
    EXPECT_FALSE(doc.parse(""));
    EXPECT_EQ(doc.to_json(), "");
    EXPECT_FALSE(doc.parse("null"));
    EXPECT_EQ(doc.to_json(), "null");
}

}  // namespace
}  // namespace brindlecast
