#include "platform/Codepage.h"

#include <gtest/gtest.h>

TEST(Codepage, EveryByteRoundTripsThroughUnicode)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::string utf8 = Cp1257ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1257(utf8), all);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(UnicodeToCp1257(Cp1257ToUnicode(static_cast<unsigned char>(b))), b) << b;
}

TEST(Codepage, LithuanianLettersSitWhereTheCodePagePutsThem)
{
    struct Case {
        unsigned char lower, upper;
        char16_t lowerCode, upperCode;
    };
    const Case cases[] = {
        {0xE0, 0xC0, u'ą', u'Ą'}, {0xE8, 0xC8, u'č', u'Č'}, {0xE6, 0xC6, u'ę', u'Ę'},
        {0xEB, 0xCB, u'ė', u'Ė'}, {0xE1, 0xC1, u'į', u'Į'}, {0xF0, 0xD0, u'š', u'Š'},
        {0xF8, 0xD8, u'ų', u'Ų'}, {0xFB, 0xDB, u'ū', u'Ū'}, {0xFE, 0xDE, u'ž', u'Ž'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1257ToUnicode(c.lower), c.lowerCode);
        EXPECT_EQ(Cp1257ToUnicode(c.upper), c.upperCode);
        EXPECT_EQ(Cp1257ToUpper(c.lower), c.upper);
        EXPECT_EQ(Cp1257ToUpper(c.upper), c.upper);
    }
    EXPECT_EQ(Utf8ToCp1257("Šiauliai"), "\xD0iauliai");
    EXPECT_EQ(Cp1257ToUtf8("\xD0iauliai"), "Šiauliai");
    EXPECT_TRUE(EqualsNoCase1257("\xD0iauliai", "\xF0IAULIAI"));
    EXPECT_FALSE(EqualsNoCase1257("\xD7", "\xF7")); // multiplication and division signs are not letters
}

TEST(Codepage, MalformedOrForeignUtf8BecomesReplacement)
{
    EXPECT_EQ(Utf8ToCp1257("a\xC3"), "a?");          // cut sequence
    EXPECT_EQ(Utf8ToCp1257("\xC0\x80"), "?");         // overlong form of NUL
    EXPECT_EQ(Utf8ToCp1257("\xE2\x82"), "?");         // cut three-byte sequence
    EXPECT_EQ(Utf8ToCp1257("Ж"), "?");                // Cyrillic has no byte here
    EXPECT_EQ(Utf8ToCp1257("\xED\xA0\x80"), "?");     // a UTF-16 surrogate
    EXPECT_EQ(Utf8ToCp1257("€"), "\x80");
}

TEST(Codepage, DosTextBecomesWindowsText)
{
    // Letters of code page 775 move to their code page 1257 places.
    EXPECT_EQ(OemToAnsi("\xD0\xBE\xD5"), "\xE0\xD0\xF0"); // ą Š š
    EXPECT_EQ(OemToAnsi("Vilnius"), "Vilnius");
    // Box drawing has no place in code page 1257 and becomes plain signs.
    EXPECT_EQ(OemToAnsi("\xC4\xB3"), "-|");
}

TEST(Codepage, LatinBestFitDropsDiacritics)
{
    EXPECT_EQ(Cp1257ToLatin1BestFit(Utf8ToCp1257("ąčęėįšųūž ĄČĘĖĮŠŲŪŽ")), "aceeisuuz ACEEISUUZ");
    // Letters Latin-1 has stay as they are.
    EXPECT_EQ(Cp1257ToLatin1BestFit(Utf8ToCp1257("ÄÖÜõé")), "\xC4\xD6\xDC\xF5\xE9");
    EXPECT_EQ(Cp1257ToLatin1BestFit(Utf8ToCp1257("„a“ – b")), "\"a\" - b");
    EXPECT_EQ(Cp1257ToLatin1BestFit(Utf8ToCp1257("€")), "?");
}
