#include "platform/NumberText.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <gtest/gtest.h>

TEST(NumberText, FormattingIgnoresTheProcessLocale)
{
    const std::string underC = FormatC("%13.8lf|%e|%g|%5.3lf km", 25.28273345, 3.14159, 0.0001234, 1.5);
    EXPECT_EQ(underC, "  25.28273345|3.141590e+00|0.0001234|1.500 km");

    CCommaLocale comma;
    if (!comma.Active())
        GTEST_SKIP() << "localedef cannot build a comma-decimal locale here";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the test locale must really use a comma";
    EXPECT_EQ(FormatC("%13.8lf|%e|%g|%5.3lf km", 25.28273345, 3.14159, 0.0001234, 1.5), underC);
    EXPECT_DOUBLE_EQ(ParseDoubleC("25.5"), 25.5);
    EXPECT_DOUBLE_EQ(AtofC("-1.25e2xyz"), -125.0);
}

TEST(NumberText, ParsingReadsTheLongestNumberPrefix)
{
    struct Case {
        const char* text;
        double value;
        size_t consumed;
    };
    const Case cases[] = {
        {"  12.5abc", 12.5, 6}, {"-0.5", -0.5, 4}, {"1e3", 1000.0, 3}, {"abc", 0.0, 0},
        {"", 0.0, 0},           {"1,5", 1.0, 1},   {".5", 0.5, 2},     {"0x10", 0.0, 1},
    };
    for (const Case& c : cases) {
        size_t used = 99;
        EXPECT_DOUBLE_EQ(ParseDoubleC(c.text, &used), c.value) << c.text;
        EXPECT_EQ(used, c.consumed) << c.text;
    }
    EXPECT_EQ(AtoiC(" -42x"), -42);
    EXPECT_EQ(AtoiC("99999999999"), 2147483647);
    EXPECT_EQ(AtoiC("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(AtoiC("x1"), 0);
}

TEST(NumberText, PlainDecimalsParseBitForBitAsStrtodDoes)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> length(1, 18);
    for (int n = 0; n < 20000; ++n) {
        std::string text = n % 3 == 0 ? "-" : n % 7 == 0 ? "+" : "";
        const int digits = length(random);
        const int point = std::uniform_int_distribution<int>(0, digits)(random);
        for (int i = 0; i < digits; ++i) {
            if (i == point)
                text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        text += n % 5 == 0 ? "  " : "";
        size_t used = 0;
        const double value = ParseDoubleC(text, &used);
        char* end = nullptr;
        const double expected = std::strtod(text.c_str(), &end);
        ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
        ASSERT_EQ(used, static_cast<size_t>(end - text.c_str())) << text;
    }
    size_t used = 0;
    EXPECT_EQ(ParseDoubleC("-", &used), 0.0);
    EXPECT_EQ(used, 0u);
    EXPECT_EQ(ParseDoubleC("1.e", &used), 1.0);
    EXPECT_EQ(used, 2u);
    EXPECT_EQ(ParseDoubleC("1.5E-1", &used), 0.15);
    EXPECT_EQ(used, 6u);
}
