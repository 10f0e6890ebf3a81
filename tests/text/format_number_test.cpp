#include "text/format_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>

namespace brindlecast {
namespace {

TEST(FormatNumber, WritesWholeNumbersAsPlainDigits) {
    struct Case {
        std::int64_t value;
        const char* expected;
    };
    const Case cases[] = {
        {0, "0"},
        {7, "7"},
        {-42, "-42"},
        {10240, "10240"},
        {2147483648LL, "2147483648"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(format_number(c.value), c.expected);
    }
    EXPECT_EQ(format_number(-5), "-5");
    EXPECT_EQ(format_number(std::int32_t{-2147483647 - 1}), "-2147483648");
}

TEST(FormatNumber, WritesUnsignedCountsAboveTheSignedRangeAsPlainDigits) {
    struct Case {
        std::uint64_t value;
        const char* expected;
    };
    const Case cases[] = {
        {0u, "0"},
        {9223372036854775807u, "9223372036854775807"},
        {9223372036854775808u, "9223372036854775808"},
        {10000000000000000000u, "10000000000000000000"},
        {std::numeric_limits<std::uint64_t>::max(), "18446744073709551615"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(format_number(c.value), c.expected);
    }
    EXPECT_EQ(format_number(std::uint32_t{4294967295u}), "4294967295");
}

TEST(FormatNumber, WritesRealsInThirteenDigitGeneralForm) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {42.0, "42"},                        // a whole value has no point
        {3600.0, "3600"},
        {-3.0, "-3"},
        {0.0, "0"},
        {2.5, "2.5"},
        {12.34, "12.34"},                    // no trailing zeros
        {0.1 + 0.2, "0.3"},                  // rounded to 13 significant digits
        {1.0 / 3.0, "0.3333333333333"},
        {2.0 / 3.0, "0.6666666666667"},
        {-0.5, "-0.5"},
        {1234567890123.0, "1234567890123"},  // 13 digits still plain
        {12345678901234.0, "1.234567890123e+13"},
        {1e20, "1e+20"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(format_number(c.value), c.expected);
    }
}

TEST(FormatNumber, KeepsTheDecimalPointUnderAnotherLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* chosen = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::string text = format_number(2.5);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, "2.5") << chosen;
}

}  // namespace
}  // namespace brindlecast
