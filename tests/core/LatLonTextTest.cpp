#include "core/LatLonText.h"
#include "core/MapPoint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Case {
    double lon, lat;
    int form;
    const char* lonText;
    const char* latText;
};

void Check(const Case& c)
{
    const CMapPoint p(c.lon, c.lat);
    std::string lon = "old", lat = "old";
    EXPECT_EQ(&p.FormatLonLat(lon, lat, c.form), &lat);
    EXPECT_EQ(lon, c.lonText) << c.lon << " " << c.lat << " form " << c.form;
    EXPECT_EQ(lat, c.latText) << c.lon << " " << c.lat << " form " << c.form;
    EXPECT_EQ(p.FormatLongitude(c.form), c.lonText);
    EXPECT_EQ(p.FormatLatitude(c.form), c.latText);
}

} // namespace

// Degree sign: 0xB0 of code page 1257.
#define DEG "\xB0"

TEST(LatLonText, AllFormsOfOnePoint)
{
    // 25.2797 E = 25 16' 46.92" = 25 16.7820'; 54.6872 N = 54 41' 13.92" = 54 41.2320'.
    const Case cases[] = {
        {25.2797, 54.6872, 0, "E025" DEG "16'46.9\"", "N54" DEG "41'13.9\""},
        {25.2797, 54.6872, 1, "025E1647", "54N4114"},
        {25.2797, 54.6872, 2, "025E1646.9", "54N4113.9"},
        {25.2797, 54.6872, 3, "025E1646.92", "54N4113.92"},
        {25.2797, 54.6872, 4, "E025" DEG "16'46.9", "N54" DEG "41'13.9"},
        {25.2797, 54.6872, 5, "E025" DEG "16.782", "N54" DEG "41.232"},
        {25.2797, 54.6872, 6, "025E16.7820", "54N41.2320"},
        {25.2797, 54.6872, 7, "E025" DEG "16'47\"", "N054" DEG "41'14\""},
        {25.2797, 54.6872, 8, "E025" DEG "16'46.92\"", "N54" DEG "41'13.92\""},
        {25.2797, 54.6872, 9, "E025" DEG "16.7820'", "N54" DEG "41.2320'"},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(LatLonText, WestSouthAndWholeMinutes)
{
    const Case cases[] = {
        {-24.5, -54.5, 0, "W024" DEG "30'00.0\"", "S54" DEG "30'00.0\""},
        {-24.5, -54.5, 1, "024W3000", "54S3000"},
        {-24.5, 54.5, 3, "024W3000.00", "54N3000.00"},
        {-24.5, -54.5, 5, "W024" DEG "30.0", "S54" DEG "30.0"},
        {-24.5, -54.5, 6, "024W30", "54S30"},
        {-24.5, -54.5, 7, "W024" DEG "30'00\"", "S054" DEG "30'00\""},
        {-24.5, -54.5, 8, "W-24" DEG "30'00.00\"", "S-54" DEG "30'00.00\""},
        {-24.5, -54.5, 9, "W-24" DEG "30.0000'", "S-54" DEG "30.0000'"},
        {-5.25, -5.25, 9, "W-05" DEG "15.0000'", "S-5" DEG "15.0000'"},
        {5.25, 5.25, 8, "E005" DEG "15'00.00\"", "N5" DEG "15'00.00\""},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(LatLonText, FractionsOfTheMinute)
{
    const struct {
        double minutes;
        int form;
        const char* text;
    } cases[] = {
        {30, 5, "E024" DEG "30.0"},       {30.05, 5, "E024" DEG "30.05"},     {30.5, 5, "E024" DEG "30.5"},
        {30.1234, 5, "E024" DEG "30.1234"}, {30.0001, 5, "E024" DEG "30.0001"}, {30.12, 5, "E024" DEG "30.12"},
        {30.05, 6, "024E30.0500"},        {30, 6, "024E30"},                  {30.00004, 6, "024E30"},
        {30.00005, 6, "024E30.0001"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CMapPoint(24 + c.minutes / 60, 54).FormatLongitude(c.form), c.text) << c.minutes;
    EXPECT_EQ(CMapPoint(24.50083333, 54).FormatLongitude(5), "E024" DEG "30.05");
}

TEST(LatLonText, RoundingCarries)
{
    const double s595 = 24 + 10 / 60.0 + 59.5 / 3600;  // 24 10' 59.5"
    const double s5996 = 24 + 10 / 60.0 + 59.96 / 3600; // 24 10' 59.96"
    const double d5997 = 24 + 59 / 60.0 + 59.7 / 3600;  // 24 59' 59.7"
    const struct {
        double lon;
        int form;
        const char* text;
    } cases[] = {
        {s595, 7, "E024" DEG "11'00\""}, // whole seconds carry into the minute
        {s595, 1, "024E1100"},
        {s595, 4, "E024" DEG "10'59.5"},
        {s595, 3, "024E1059.50"},
        {s5996, 4, "E024" DEG "11'00.0"}, // already in the count of tenths
        {s5996, 2, "024E1100.0"},
        {s5996, 7, "E024" DEG "11'00\""},
        {s5996, 3, "024E1059.96"},
        {d5997, 7, "E025" DEG "00'00\""}, // and on into the degrees
        {d5997, 1, "025E0000"},
        {24 + 59.99999 / 60, 9, "E025" DEG "00.0000'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CMapPoint(c.lon, 54).FormatLongitude(c.form), c.text) << c.form;
    EXPECT_EQ(CMapPoint(24, 54 + 59 / 60.0 + 59.96 / 3600).FormatLatitude(0), "N55" DEG "00'00.0\"");
}

TEST(LatLonText, RangeAndHemisphereSwaps)
{
    const Case cases[] = {
        {190, 54, 4, "W170" DEG "00'00.0", "N54" DEG "00'00.0"},
        {-190, 54, 4, "E170" DEG "00'00.0", "N54" DEG "00'00.0"},
        {180, 90, 4, "E180" DEG "00'00.0", "N90" DEG "00'00.0"},
        {360, -90, 4, "W000" DEG "00'00.0", "S90" DEG "00'00.0"},
        {360.5, 54, 4, "", ""}, // either coordinate out of range empties both texts
        {24, 91, 4, "", ""},
        {24, -91, 7, "", ""},
        {NAN, 54, 4, "", ""},
        {24, NAN, 4, "", ""},
        {INFINITY, 54, 1, "", ""},
    };
    for (const Case& c : cases)
        Check(c);

    // An unknown form leaves the text alone.
    std::string text = "keep";
    for (int form : {-1, 10, 1000}) {
        CMapPoint(24, 54).FormatLongitude(text, form);
        CMapPoint(24, 54).FormatLatitude(text, form);
        EXPECT_EQ(text, "keep");
        EXPECT_EQ(CMapPoint(24, 54).FormatLongitude(form), "");
    }
    EXPECT_FALSE(FormatLongitudeText(24, 54, 10, text));
    EXPECT_TRUE(FormatLatitudeText(24, 54, 9, text));
}

TEST(LatLonText, TypedDegreeTexts)
{
    struct Typed {
        const char* text;
        char positive, negative;
        bool read;
        double value;
    };
    const Typed cases[] = {
        {"E024*30*00", 'E', 'W', true, 24.5},
        {"E024" DEG "30'00.00\"", 'E', 'W', true, 24.5},
        {"024" DEG "30'36", 'E', 'W', true, 24.51},
        {"24.5", 'E', 'W', true, 24.5},
        {"24.5" DEG, 'E', 'W', true, 24.5},
        {"+24.5", 'E', 'W', true, 24.5},
        {"E024*30", 'E', 'W', true, 24.5},
        {"N56*00*00", 'N', 'S', true, 56},
        {"S56*30", 'N', 'S', true, -56.5},
        {"W024*30*00", 'E', 'W', true, -24.5},
        // Any one character parts the numbers; what follows the seconds is left.
        {"24x30y36z and more", 'E', 'W', true, 24.51},
        {"24*30*", 'E', 'W', true, 24.5},
        // A sign, a letter or both: negative once.
        {"-24*30", 'E', 'W', true, -24.5},
        {"-0*30", 'E', 'W', true, -0.5},
        {"W-024" DEG "30'00.00\"", 'E', 'W', true, -24.5},
        {"S-56" DEG "30.0000'", 'N', 'S', true, -56.5},
        {"E-024*30", 'E', 'W', true, -24.5},
        // Minutes and seconds carry no sign: reading stops before one.
        {"24*-30", 'E', 'W', true, 24},
        // No range here: the caller judges the value.
        {"E999*", 'E', 'W', true, 999},
        {"1e308", 'E', 'W', true, 1e308},
        // Not even degrees.
        {"", 'E', 'W', false, 0},
        {"E", 'E', 'W', false, 0},
        {"abc", 'E', 'W', false, 0},
        {"nan", 'E', 'W', false, 0},
        {"--5", 'E', 'W', false, 0},
        {"- 5", 'E', 'W', false, 0},
        {"N56", 'E', 'W', false, 0}, // the other coordinate's letter
        {"*30", 'E', 'W', false, 0},
    };
    for (const Typed& c : cases) {
        double value = 12345;
        EXPECT_EQ(ParseDegreesText(c.text, c.positive, c.negative, value), c.read) << c.text;
        EXPECT_NEAR(value, c.read ? c.value : 12345, 1e-12) << c.text;
    }
}

TEST(LatLonText, FormsWithTheLetterFirstReadBack)
{
    // Form and one unit of its last digit, in degrees.
    const std::pair<int, double> forms[] = {
        {0, 1 / 36000.0}, {4, 1 / 36000.0}, {5, 1 / 600000.0}, {7, 1 / 3600.0}, {8, 1 / 360000.0}, {9, 1 / 600000.0},
    };
    const CMapPoint points[] = {
        {25.2797, 54.6872}, {-24.5, -54.5},     {-0.3, -0.01},     {0, 0},          {179.99999, 89.99999},
        {-179.9, -89.9},    {23.99999999, 55.5}, {-2.0000001, 1e-9}, {12.3456789, -7.654321},
    };
    for (const auto& [form, unit] : forms) {
        for (const CMapPoint& p : points) {
            double lon = NAN, lat = NAN;
            const std::string lonText = p.FormatLongitude(form);
            const std::string latText = p.FormatLatitude(form);
            ASSERT_TRUE(ParseDegreesText(lonText, 'E', 'W', lon)) << lonText;
            ASSERT_TRUE(ParseDegreesText(latText, 'N', 'S', lat)) << latText;
            EXPECT_NEAR(lon, p.x, unit) << lonText << " form " << form;
            EXPECT_NEAR(lat, p.y, unit) << latText << " form " << form;
        }
    }
}
