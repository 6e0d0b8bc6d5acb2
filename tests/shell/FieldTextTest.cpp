#include "shell/FieldText.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct IntCase {
    const char* text;
    bool ok;
    int value;
};

TEST(FieldText, IntegersRefuseTrailingGarbage)
{
    const IntCase cases[] = {
        {"12", true, 12},          {"  -7 ", true, -7},       {"+3", true, 3},
        {"-2147483648", true, INT32_MIN}, {"2147483647", true, INT32_MAX}, {"2147483648", false, 0},
        {"12a", false, 0},         {"1.5", false, 0},         {"1 2", false, 0},
        {"", false, 0},            {" ", false, 0},           {"-", false, 0},
        {"0x10", false, 0},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.text);
        int value = 99;
        EXPECT_EQ(ParseIntField(c.text, value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : 99);
    }
}

struct RealCase {
    const char* text;
    bool ok;
    double value;
};

const RealCase kRealCases[] = {
    {"2.5", true, 2.5},   {" -1e3 ", true, -1000}, {".5", true, 0.5},  {"7", true, 7},
    {"1,5", false, 0},    {"2.5x", false, 0},      {"0x10", false, 0}, {"inf", false, 0},
    {"nan", false, 0},    {".", false, 0},         {"1e400", false, 0}, {"", false, 0},
    {"1.5 2", false, 0},  {"--1", false, 0},
};

void CheckReals()
{
    for (const RealCase& c : kRealCases) {
        SCOPED_TRACE(c.text);
        double value = 99;
        EXPECT_EQ(ParseRealField(c.text, value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : 99);
    }
    EXPECT_EQ(FormatRealField(2.5), "2.5");
    EXPECT_EQ(FormatRealField(0.1), "0.1");
    EXPECT_EQ(FormatRealField(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatRealField(-1234567.25), "-1234567.25");
    double back = 0;
    ASSERT_TRUE(ParseRealField(FormatRealField(25.123456789012), back));
    EXPECT_EQ(back, 25.123456789012);
}

TEST(FieldText, RealsUseThePointInAnyLocale)
{
    CheckReals();
    CCommaLocale comma;
    if (!comma.Active())
        GTEST_SKIP() << "no comma-decimal locale could be built (localedef lt_LT)";
    CheckReals();
}

TEST(FieldText, MessagesNameTheRange)
{
    EXPECT_EQ(IntFieldMessage(true, 1, 100), "\xC1veskite sveik\xE0j\xE1 skai\xE8i\xF8 nuo 1 iki 100.");
    EXPECT_EQ(RealFieldMessage(true, 0, 10.5), "\xC1veskite skai\xE8i\xF8 nuo 0 iki 10.5.");
    EXPECT_EQ(TextLengthMessage(80), "\xC1veskite ne daugiau kaip 80 simboli\xF8.");
    EXPECT_FALSE(IntFieldMessage(false, 0, 0).empty());
}

} // namespace
