#include "gps/NmeaDecoder.h"

#include <gtest/gtest.h>

namespace {

const char kRmc[] = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230305,003.1,W";

std::string Rmc(const char* time, const char* status, const char* lat, const char* ns, const char* lon,
                const char* ew, const char* date)
{
    return std::string("$GPRMC,") + time + "," + status + "," + lat + "," + ns + "," + lon + "," + ew +
           ",022.4,084.4," + date + ",003.1,W";
}

struct RmcCase {
    const char* name;
    std::string line;
    bool decodes = false;
    bool hasPosition = false;
    double latitude = 0;
    double longitude = 0;
    bool valid = false;
    const char* time = nullptr; // "" = unset, null = not checked
    int hhmmss = -1;
};

} // namespace

TEST(NmeaDecoder, RmcTable)
{
    const RmcCase cases[] = {
        {"example", kRmc, true, true, 48.1173, 11.516667, true, "2005-03-23 12:35:19", 123519},
        {"south west", Rmc("123519", "A", "4807.038", "S", "01131.000", "W", "230305"), true, true, -48.1173,
         -11.516667, true, "2005-03-23 12:35:19", 123519},
        {"good checksum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", true, true,
         48.1173, 11.516667, true, "2094-03-23 12:35:19", 123519},
        {"lower-case checksum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a", true,
         true, 48.1173, 11.516667, true, "2094-03-23 12:35:19", 123519},
        {"wrong checksum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B", false},
        {"broken checksum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6", false},
        {"status V", Rmc("123519", "V", "4807.038", "N", "01131.000", "E", "230305"), true, true, 48.1173,
         11.516667, false, "2005-03-23 12:35:19", 123519},
        {"no fix yet", "$GPRMC,,V,,,,,,,,,,N", true, false, 0, 0, false, "", -1},
        {"one empty coordinate", Rmc("123519", "A", "4807.038", "N", "", "", "230305"), true, false, 0, 0, true,
         "2005-03-23 12:35:19", 123519},
        {"garbage coordinate", Rmc("123519", "A", "nan", "N", "01131.000", "E", "230305"), true, false, 0, 0, true},
        {"exponent coordinate", Rmc("123519", "A", "4e3", "N", "01131.000", "E", "230305"), true, false, 0, 0, true},
        {"latitude beyond the pole", Rmc("123519", "A", "9130.000", "N", "01131.000", "E", "230305"), true, false, 0, 0, true},
        {"minutes 60", Rmc("123519", "A", "4860.000", "N", "01131.000", "E", "230305"), true, false, 0, 0, true},
        {"second 60 by rounding", Rmc("123559.6", "A", "4807.038", "N", "01131.000", "E", "230305"), true, true,
         48.1173, 11.516667, true, "2005-03-23 12:36:00", 123560},
        {"rounding into the next day", Rmc("235959.7", "A", "4807.038", "N", "01131.000", "E", "311205"), true,
         true, 48.1173, 11.516667, true, "2006-01-01 00:00:00", 235960},
        {"leap second", Rmc("235960", "A", "4807.038", "N", "01131.000", "E", "311216"), true, true, 48.1173,
         11.516667, true, "2017-01-01 00:00:00", 235960},
        {"29 February of a leap year", Rmc("000000", "A", "4807.038", "N", "01131.000", "E", "290204"), true,
         true, 48.1173, 11.516667, true, "2004-02-29 00:00:00", 0},
        {"29 February otherwise", Rmc("123519", "A", "4807.038", "N", "01131.000", "E", "290205"), true, true,
         48.1173, 11.516667, true, "", 123519},
        {"empty date", Rmc("123519", "A", "4807.038", "N", "01131.000", "E", ""), true, true, 48.1173, 11.516667,
         true, "", 123519},
        {"day 32", Rmc("123519", "A", "4807.038", "N", "01131.000", "E", "320305"), true, true, 48.1173,
         11.516667, true, "", 123519},
        {"month 0", Rmc("123519", "A", "4807.038", "N", "01131.000", "E", "230005"), true, true, 48.1173,
         11.516667, true, "", 123519},
        {"letters in the date", Rmc("123519", "A", "4807.038", "N", "01131.000", "E", "23o305"), true, true,
         48.1173, 11.516667, true, "", 123519},
        {"minute 60", Rmc("126000", "A", "4807.038", "N", "01131.000", "E", "230305"), true, true, 48.1173,
         11.516667, true, "", -1},
        {"hour 24", Rmc("240000", "A", "4807.038", "N", "01131.000", "E", "230305"), true, true, 48.1173,
         11.516667, true, "", -1},
        {"eleven fields", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230305,003.1", false},
        {"other talker", "$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230305,003.1,W", false},
        {"leading line feed and NULs", std::string("\n\0\0 ", 4) + kRmc, true, true, 48.1173, 11.516667, true,
         "2005-03-23 12:35:19", 123519},
        {"NUL inside", std::string("$GPRMC,123519,A,4807.038,N,0") + '\0' + "1131.000,E,022.4,084.4,230305,003.1,W",
         false},
        {"over-long line", std::string(kRmc) + std::string(100, ','), false},
        {"extra mode field", std::string(kRmc) + ",A", true, true, 48.1173, 11.516667, true, "2005-03-23 12:35:19",
         123519},
    };
    for (const RmcCase& c : cases) {
        SCOPED_TRACE(c.name);
        NmeaSentence s;
        ASSERT_EQ(DecodeNmeaSentence(c.line, s), c.decodes);
        if (!c.decodes)
            continue;
        EXPECT_EQ(s.kind, NmeaKind::Rmc);
        EXPECT_EQ(s.valid, c.valid);
        ASSERT_EQ(s.hasPosition, c.hasPosition);
        if (c.hasPosition) {
            EXPECT_NEAR(s.latitude, c.latitude, 1e-6);
            EXPECT_NEAR(s.longitude, c.longitude, 1e-6);
        }
        if (c.time) {
            EXPECT_EQ(FormatFixTime(s.time, "%Y-%m-%d %H:%M:%S"), c.time);
            EXPECT_EQ(s.hhmmss, c.hhmmss);
        }
    }
}

TEST(NmeaDecoder, ExampleSpeedCourseAndEpoch)
{
    NmeaSentence s;
    ASSERT_TRUE(DecodeNmeaSentence(kRmc, s));
    EXPECT_NEAR(s.speed, 41.4848, 1e-9);
    EXPECT_DOUBLE_EQ(s.course, 84.4);
    // UTC whatever the machine's time zone.
    EXPECT_EQ(s.time, 1111581319);
    EXPECT_EQ(FormatFixTime(s.time, "%Y.%m.%d %H:%M:%S", 2), "2005.03.23 14:35:19");
    EXPECT_EQ(FormatFixTime(s.time, "%H:%M:%S", -13), "23:35:19");
    EXPECT_EQ(FormatFixTime(kNoFixTime, "%H:%M:%S"), "");
}

TEST(NmeaDecoder, GgaFields)
{
    NmeaSentence s;
    ASSERT_TRUE(DecodeNmeaSentence("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", s));
    EXPECT_EQ(s.kind, NmeaKind::Gga);
    EXPECT_EQ(s.hhmmss, 123519);
    EXPECT_EQ(s.satellites, 8);
    ASSERT_TRUE(DecodeNmeaSentence("$GPGGA,123519,4807.038,N,01131.000,E,1", s));
    EXPECT_EQ(s.hhmmss, -1);
    EXPECT_EQ(s.satellites, -1);
    EXPECT_FALSE(DecodeNmeaSentence("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48", s));
    EXPECT_FALSE(DecodeNmeaSentence("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00", s));
    EXPECT_FALSE(DecodeNmeaSentence("", s));
}

TEST(NmeaDecoder, SatellitesBelongToTheirSecondAndEmptyPositionsAreKept)
{
    GpsFix fix;
    auto apply = [&](const std::string& line) {
        NmeaSentence s;
        ASSERT_TRUE(DecodeNmeaSentence(line, s)) << line;
        ApplyNmeaSentence(s, fix);
    };
    apply("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    apply(kRmc);
    EXPECT_EQ(fix.satellites, 8);
    EXPECT_EQ(fix.ggaTime, 123519);
    EXPECT_EQ(fix.valid, 1);
    // The next second without its GGA.
    apply(Rmc("123520", "A", "4807.038", "S", "01131.000", "W", "230305"));
    EXPECT_EQ(fix.satellites, -1);
    EXPECT_EQ(fix.ggaTime, -1);
    EXPECT_NEAR(fix.latitude, -48.1173, 1e-6);
    // The receiver lost its fix: the position stays where it was, the rest follows the sentence.
    apply("$GPRMC,123521,V,,,,,,,230305,,,N");
    EXPECT_NEAR(fix.latitude, -48.1173, 1e-6);
    EXPECT_NEAR(fix.longitude, -11.516667, 1e-6);
    EXPECT_EQ(fix.valid, 0);
    EXPECT_EQ(FormatFixTime(fix.time, "%H:%M:%S"), "12:35:21");
    // A bad date leaves the time unset rather than stale.
    apply(Rmc("123522", "A", "4807.038", "N", "01131.000", "E", "000000"));
    EXPECT_EQ(fix.time, kNoFixTime);
}

TEST(NmeaDecoder, SplitKeepsTheUnfinishedLine)
{
    std::vector<std::string> lines;
    auto collect = [&](std::string_view l) { lines.emplace_back(l); };
    EXPECT_EQ(SplitNmeaLines("no end yet", collect), 0u);
    EXPECT_EQ(SplitNmeaLines("a\r\nb\r\nc", collect), 5u);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "\nb"}));
}

TEST(GpsFix, UtcCalendar)
{
    EXPECT_EQ(MakeUtcTime(1970, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(MakeUtcTime(2005, 3, 23, 12, 35, 19), 1111581319);
    // 64-bit: after 2038.
    EXPECT_EQ(MakeUtcTime(2099, 12, 31, 23, 59, 59), 4102444799);
    EXPECT_EQ(FormatFixTime(4102444799, "%Y-%m-%d %H:%M:%S"), "2099-12-31 23:59:59");
    EXPECT_TRUE(IsValidDate(2000, 2, 29));
    EXPECT_FALSE(IsValidDate(2100, 2, 29));
    EXPECT_FALSE(IsValidDate(2005, 4, 31));
    EXPECT_FALSE(IsValidDate(2005, 13, 1));
}
