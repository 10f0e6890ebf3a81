#include <gtest/gtest.h>

#include "demo_library.h"
#include "payload.h"

namespace brindlecast::demo {
namespace {

std::string generated_one_by_one(std::uint32_t seed, std::uint64_t offset, std::uint64_t length) {
    std::string out;
    for (std::uint64_t i = offset; i < offset + length; ++i) out.push_back(static_cast<char>(generated_byte(seed, i)));
    return out;
}

TEST(Payload, BytesAreHeadThenFillerThenTailAtAnyOffset) {
    Payload p;
    p.head = "HEAD-";
    p.filler_size = 37;
    p.filler_seed = 4;
    p.tail = "-TAIL";
    const std::string whole = "HEAD-" + generated_one_by_one(4, 0, 37) + "-TAIL";
    ASSERT_EQ(p.size(), whole.size());
    ASSERT_EQ(p.all_bytes(), whole);
    for (std::uint64_t offset = 0; offset <= whole.size(); ++offset) {
        for (std::uint64_t length : {0ull, 1ull, 3ull, 9ull, 100ull}) {
            SCOPED_TRACE(std::to_string(offset) + "+" + std::to_string(length));
            EXPECT_EQ(p.bytes(offset, length), whole.substr(offset, length));
        }
    }
    EXPECT_EQ(p.bytes(whole.size() + 5, 10), "");
}

TEST(Payload, GeneratedBytesDependOnSeedAndPosition) {
    std::string a;
    append_generated_bytes(a, 1, 3, 1000);
    EXPECT_EQ(a, generated_one_by_one(1, 3, 1000));
    std::string b;
    append_generated_bytes(b, 2, 3, 1000);
    EXPECT_NE(a, b);
    // A run shifted by one byte must differ, so a server that serves the
    // wrong offset is caught by a byte comparison.
    EXPECT_NE(a.substr(1), generated_one_by_one(1, 3, 999));
}

TEST(RemoveDotSegments, ResolvesPathsAsAClientDoes) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"/videos/k/clip.mp4", "/videos/k/clip.mp4"},
        {"/videos/k/../escape.mp4", "/videos/escape.mp4"},
        {"/videos/k/./a/../b.mp4", "/videos/k/b.mp4"},
        {"/../../x", "/x"},
        {"/videos/k/", "/videos/k/"},
        {"/a/b/..", "/a/"},
        {"/", "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(remove_dot_segments(c.path), c.expected);
    }
}

}  // namespace
}  // namespace brindlecast::demo
