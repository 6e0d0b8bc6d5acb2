// The texts of the measuring tools' boxes.
#include "search/MeasureBoxRules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

#define SQ "\xB2"
#define DEG "\xB0"

TEST(MeasureBoxRules, LengthsAreasAzimuthsAndRoutes)
{
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        // Lengths: metres with decimals, whole metres, kilometres.
        {FormatLengthKm(0.005), "5.000 m"},
        {FormatLengthKm(0.000001), "0.001 m"},
        {FormatLengthKm(0.0099994), "9.999 m"},
        {FormatLengthKm(0.01), "10 m"},
        {FormatLengthKm(0.5), "500 m"},
        {FormatLengthKm(0.9994), "999 m"},
        {FormatLengthKm(1), "1.000 km"},
        {FormatLengthKm(12.3456), "12.346 km"},
        {FormatLengthKm(0.0000005), "0 m"},
        {FormatLengthKm(0), "0 m"},
        {FormatLengthKm(-3), "0 m"},
        {FormatLengthKm(std::nan("")), "0 m"},
        // Areas: square metres below 1 km², invalid polygons starred.
        {FormatAreaKm2(0.25), "250000 m" SQ},
        {FormatAreaKm2(0.0000015), "1.5 m" SQ},
        {FormatAreaKm2(3.5), "3.5 km" SQ},
        {FormatAreaKm2(1), "1 km" SQ},
        {FormatAreaKm2(1234567.8), "1.23457e+06 km" SQ},
        {FormatAreaKm2(0), "0 m" SQ},
        {FormatAreaKm2(-0.25), "*****"},
        {FormatAreaKm2(std::nan("")), "*****"},
        // Azimuths, forward and back.
        {FormatAzimuths(45, 225), "45.0" DEG " <--> 225.0" DEG},
        {FormatAzimuths(0.04, 359.96), "0.0" DEG " <--> 360.0" DEG},
        // Routes.
        {FormatRouteLengthKm(12.5), "12.5 km"},
        {FormatRouteLengthKm(0), "0 km"},
        {FormatRouteLengthKm(1234567), "1.23457e+06 km"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, c.expected);
}

} // namespace
