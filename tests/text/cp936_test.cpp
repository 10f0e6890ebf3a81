#include "text/cp936.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace brindlecast {
namespace {

TEST(Cp936Codec, ConvertsChineseTextBothWays) {
    Cp936Codec codec;
    // Byte values as the code page defines them.
    EXPECT_EQ(codec.to_cp936("欢迎打赏!"), "\xBB\xB6\xD3\xAD\xB4\xF2\xC9\xCD!");
    EXPECT_EQ(codec.to_cp936("丄"), "\x81\x41");
    EXPECT_EQ(codec.to_cp936("é"), "\xA8\xA6");
    EXPECT_EQ(codec.to_cp936("plain ascii"), "plain ascii");
    EXPECT_EQ(codec.to_utf8("\xBB\xB6\xD3\xAD\xB4\xF2\xC9\xCD!"), "欢迎打赏!");
    EXPECT_EQ(codec.to_utf8("\x81\x41"), "丄");
    EXPECT_EQ(codec.to_cp936(""), "");
    EXPECT_EQ(codec.to_utf8(""), "");
}

TEST(Cp936Codec, KeepsEmbeddedZeroBytes) {
    Cp936Codec codec;
    const std::string with_zero("a\0b", 3);
    EXPECT_EQ(codec.to_cp936(with_zero), with_zero);
    EXPECT_EQ(codec.to_utf8(with_zero), with_zero);
}

TEST(Cp936Codec, ReplacesEachBadUtf8SequenceWithOneQuestionMark) {
    struct Case {
        const char* name;
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {"byte that never starts a character", "a\xFF" "b", "a?b"},
        {"lone continuation bytes", "\x80\x80", "??"},
        {"character cut off at the end", "a\xE4\xB8", "a?"},
        {"character cut off before ascii", "\xE4\xB8x", "?x"},
        {"character cut off before a character", "\xE4\xB8\xE4\xB8\xAD", "?\xD6\xD0"},
        {"overlong form", "\xC0\xAF", "??"},
        {"encoded surrogate", "\xED\xA0\x80", "???"},
        {"beyond the last code point", "\xF4\x90\x80\x80", "????"},
        {"text in code page 936 read as UTF-8", "\xD6\xD0\xCE\xC4", "????"},
        {"outside code page 936", "a\xF0\x9F\x98\x80" "b", "a?b"},
        {"unrepresentable and then a good character", "\xF0\x9F\x98\x80\xE4\xB8\xAD", "?\xD6\xD0"},
    };
    Cp936Codec codec;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(codec.to_cp936(c.input), c.expected);
    }
}

TEST(Cp936Codec, ReplacesBadCp936InputWithQuestionMarks) {
    Cp936Codec codec;
    EXPECT_EQ(codec.to_utf8("a\x81"), "a?");         // lead byte with nothing after it
    EXPECT_EQ(codec.to_utf8("a\xFF" "b"), "a?b");    // never a lead byte
    EXPECT_EQ(codec.to_utf8("\x81\x20" "b"), "? b");  // no valid second byte
}

TEST(Cp936Codec, GrowsItsOutputForTextsThatExpand) {
    // Byte 80 is the euro sign, three bytes in UTF-8: the output is three
    // times the input, more than any first guess.
    Cp936Codec codec;
    const std::string euros(100000, '\x80');
    const std::string utf8 = codec.to_utf8(euros);
    ASSERT_EQ(utf8.size(), 300000u);
    EXPECT_EQ(utf8.substr(0, 6), "€€");
    EXPECT_EQ(codec.to_cp936(utf8), euros);
}

TEST(Cp936Codec, RoundTripsALargeMixedText) {
    std::string utf8;
    for (int i = 0; i < 20000; ++i) utf8 += "第" + std::to_string(i) + "行: 视频下载成功,文件名为\r\n";
    Cp936Codec codec;
    const std::string program_text = codec.to_cp936(utf8);
    EXPECT_EQ(program_text.find('?'), std::string::npos);
    EXPECT_EQ(codec.to_utf8(program_text), utf8);
}

TEST(Cp936Codec, StaysUsableAfterAMove) {
    Cp936Codec first;
    Cp936Codec second(std::move(first));
    EXPECT_EQ(second.to_cp936("中文"), "\xD6\xD0\xCE\xC4");
    Cp936Codec third;
    third = std::move(second);
    EXPECT_EQ(third.to_utf8("\xD6\xD0\xCE\xC4"), "中文");
    // A moved-from codec holds no converter; it still answers without failing.
    EXPECT_EQ(first.to_cp936("ok"), "ok");  // NOLINT(bugprone-use-after-move)
}

TEST(Cp936, OneOffConversionsMatchTheCodec) {
    EXPECT_EQ(cp936("获取失败"), "\xBB\xF1\xC8\xA1\xCA\xA7\xB0\xDC");
    EXPECT_EQ(utf8_to_cp936("获取失败"), cp936("获取失败"));
    EXPECT_EQ(cp936_to_utf8(cp936("获取失败")), "获取失败");
}

}  // namespace
}  // namespace brindlecast
