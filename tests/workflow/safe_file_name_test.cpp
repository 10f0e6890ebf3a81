#include "workflow/safe_file_name.h"

#include <gtest/gtest.h>

#include "text/cp936.h"

namespace brindlecast {
namespace {

TEST(SafeFileName, MakesEveryServerNameOneNameInsideTheFolder) {
    struct Case {
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"clip.mp4", "clip.mp4"},
        {"../../etc/passwd", ".._.._etc_passwd"},
        {"/abs/path.mp4", "_abs_path.mp4"},
        {"a\\b.mp4", "a_b.mp4"},
        {"a:b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
        {"tab\there\r\nnl", "tab_here__nl"},
        {"\x7f" "del", "_del"},
        {".", "_"},
        {"..", "__"},
        {"", "_"},
        {"...", "..."},
        {" spaced name .mp4", " spaced name .mp4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(safe_file_name(c.name), c.expected);
    }
}

TEST(SafeFileName, KeepsTwoByteCharactersWholeEvenWhenTheirSecondByteIsASeparator) {
    // 乗 is 81 5C in code page 936 and 亅 is 81 7C: the trail bytes look like
    // "\" and "|" but belong to the character.
    const std::string name = "\x81\x5C\x81\x7C" ".mp4";
    EXPECT_EQ(safe_file_name(name), name);
    EXPECT_EQ(safe_file_name(cp936("视频/一.mp4")), cp936("视频_一.mp4"));
}

TEST(SafeFileName, CutsLongNamesAtACharacterBoundary) {
    std::string long_name;
    for (int i = 0; i < 200; ++i) long_name += cp936("长");
    const std::string safe = safe_file_name(long_name);
    EXPECT_GE(safe.size(), 140u);
    EXPECT_EQ(safe.size() % 2, 0u);
    // Room for the extension and the download's temporary suffix.
    EXPECT_LE(cp936_to_utf8(safe + ".pdf.part01234567").size(), 255u);
    EXPECT_EQ(cp936_to_utf8(safe).find('?'), std::string::npos);
}

TEST(SafeTitle, KeepsAnEmptyTitleEmptySoThePdfIsNamedDotPdf) {
    EXPECT_EQ(safe_title(""), "");
    EXPECT_EQ(safe_title("../secret"), ".._secret");
    EXPECT_EQ(safe_title(cp936("案例：城市/更新")), cp936("案例：城市_更新"));
}

}  // namespace
}  // namespace brindlecast
