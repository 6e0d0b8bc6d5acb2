#include "core/DateSerial.h"

#include <gtest/gtest.h>

TEST(DateSerial, CountsDaysFromTheEndOf1899)
{
    const struct {
        int year, month, day, serial;
    } cases[] = {
        {1899, 12, 30, 0}, {1900, 1, 1, 2},      {1900, 3, 1, 61},     {2000, 2, 29, 36585},
        {2006, 3, 15, 38791}, {1800, 1, 1, -36522}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateToSerial(c.year, c.month, c.day), c.serial) << c.year << "-" << c.month << "-" << c.day;
        CCalendarDate date;
        ASSERT_TRUE(SerialToDate(c.serial, date));
        EXPECT_EQ(date.year, c.year);
        EXPECT_EQ(date.month, c.month);
        EXPECT_EQ(date.day, c.day);
    }
    // Every day of four centuries goes there and back.
    CCalendarDate date;
    for (int serial = DateToSerial(1800, 1, 1); serial <= DateToSerial(2200, 1, 1); ++serial) {
        ASSERT_TRUE(SerialToDate(serial, date));
        ASSERT_TRUE(IsValidCalendarDate(date.year, date.month, date.day));
        ASSERT_EQ(DateToSerial(date.year, date.month, date.day), serial);
    }
    EXPECT_FALSE(SerialToDate(-693594, date));
    EXPECT_FALSE(SerialToDate(2958466, date));
}

TEST(DateSerial, ReadsAndWritesDateFieldTexts)
{
    CCalendarDate date;
    ASSERT_TRUE(ParseDbfDate("20060315", date));
    EXPECT_EQ(date.year, 2006);
    EXPECT_EQ(date.month, 3);
    EXPECT_EQ(date.day, 15);
    EXPECT_EQ(FormatDbfDate(date), "20060315");
    EXPECT_EQ(FormatDbfDate(CCalendarDate{812, 1, 2}), "08120102");
    for (const char* bad : {"", "        ", "2006031", "200603150", "20060230", "20050229", "2006-3-1", "20061301",
                            "00000101", "2006o315"})
        EXPECT_FALSE(ParseDbfDate(bad, date)) << bad;
    EXPECT_TRUE(ParseDbfDate("20040229", date));
    EXPECT_TRUE(ParseDbfDate("20000229", date));
    EXPECT_FALSE(ParseDbfDate("19000229", date));
}
