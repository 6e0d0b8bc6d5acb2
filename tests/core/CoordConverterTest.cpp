#include "core/CoordConverter.h"
#include "core/MapGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Vector {
    int from;
    int to;
    CMapPoint in;
    CMapPoint expected;
    double tolerance; // in the target's units
};

} // namespace

// Expected values were computed once, independently of this code, by
// evaluating the grid series (meridian arc, short forward series, foot
// latitude with two radius corrections) in double precision.
TEST(CoordConverter, Vectors)
{
    const Vector vectors[] = {
        {0, 1, {24, 0}, {500000.000000, 0.000000}, 2e-6},
        {0, 1, {24, 55}, {500000.000000, 6096010.867355}, 2e-6},
        {0, 1, {21, 54}, {303339.796134, 5988885.720980}, 2e-6},
        {0, 1, {27, 56.4}, {685170.609807, 6255889.861408}, 2e-6},
        {0, 1, {25.2797, 54.6872}, {582510.362655, 6061948.683215}, 2e-6},
        {0, 1, {21.1, 55.7}, {317726.730775, 6177738.240379}, 2e-6},
        {0, 1, {23.5, 53.9}, {467140.283033, 5973706.513301}, 2e-6},
        {0, 2, {24, 0}, {35166022.577695, 0.000000}, 2e-6},
        {0, 2, {24, 55}, {35308124.395668, 6098907.819747}, 2e-6},
        {0, 2, {21, 54}, {34500000.000000, 5983521.662248}, 2e-6},
        {0, 2, {27, 56.4}, {35500000.000000, 6250599.955108}, 2e-6},
        {0, 2, {25.2797, 54.6872}, {35389106.022284, 6061342.904825}, 2e-6},
        {0, 2, {21.1, 55.7}, {34506285.005828, 6172695.749688}, 2e-6},
        {0, 2, {23.5, 53.9}, {34664250.422043, 5975291.827201}, 2e-6},
        {0, 3, {24, 0}, {500000.000000, 0.000000}, 2e-6},
        {0, 3, {24, 55}, {500000.000000, 6094791.421293}, 2e-6},
        {0, 3, {21, 54}, {303379.136043, 5987687.704232}, 2e-6},
        {0, 3, {27, 56.4}, {685133.568277, 6254638.433150}, 2e-6},
        {0, 3, {25.2797, 54.6872}, {582493.857282, 6060736.050952}, 2e-6},
        {0, 3, {21.1, 55.7}, {317763.192721, 6176502.445572}, 2e-6},
        {0, 3, {23.5, 53.9}, {467146.856291, 5972511.533002}, 2e-6},
        {0, 4, {24, 0}, {105347.096336, -6202530.174313}, 2e-6},
        {0, 4, {24, 55}, {44439.363978, -105596.539771}, 2e-6},
        {0, 4, {21, 54}, {-151180.277740, -214702.814280}, 2e-6},
        {0, 4, {27, 56.4}, {228040.587210, 56156.770663}, 2e-6},
        {0, 4, {25.2797, 54.6872}, {127302.545599, -138839.485277}, 2e-6},
        {0, 4, {21.1, 55.7}, {-138678.067908, -25677.962106}, 2e-6},
        {0, 4, {23.5, 53.9}, {12796.665674, -228247.722159}, 2e-6},
        {1, 0, {582000.0, 6061000.0}, {25.27152021855, 54.67876124058}, 1e-10},
        {1, 0, {310000.0, 6000000.0}, {21.09449921927, 54.10223637888}, 1e-10},
        {2, 0, {35400000.0, 6100000.0}, {25.43523428313, 55.03674877861}, 1e-10},
        {2, 0, {34600000.0, 6000000.0}, {22.53070128190, 54.13837314502}, 1e-10},
        {3, 0, {582000.0, 6061000.0}, {25.27211519211, 54.68965197427}, 1e-10},
        {3, 0, {690000.0, 6230000.0}, {27.06099761879, 56.17702239378}, 1e-10},
        {4, 0, {1000.0, -4000.0}, {23.32156784095, 55.91453780588}, 1e-10},
        {4, 0, {-120000.0, -150000.0}, {21.44932589656, 54.58901787465}, 1e-10},
        {1, 2, {582000.0, 6061000.0}, {35388555.672220, 6060416.991028}, 2e-6},
        {2, 1, {35400000.0, 6100000.0}, {591740.958604, 6101042.804228}, 2e-6},
        {1, 3, {582000.0, 6061000.0}, {581983.594322, 6059787.539500}, 2e-6},
        {3, 4, {690000.0, 6230000.0}, {233154.756564, 31558.297804}, 2e-6},
        {4, 2, {1000.0, -4000.0}, {34645095.699826, 6199003.042098}, 2e-6},
        {2, 4, {34600000.0, 6000000.0}, {-50635.109204, -201465.707647}, 2e-6},
        {3, 1, {582000.0, 6061000.0}, {582016.404159, 6062212.667092}, 2e-6},
        {4, 3, {1000.0, -4000.0}, {457594.713155, 6196775.873915}, 2e-6},
        {2, 3, {35400000.0, 6100000.0}, {591722.606742, 6099822.351577}, 2e-6},
        {1, 4, {582000.0, 6061000.0}, {126801.584370, -139793.411338}, 2e-6},
        {4, 1, {1000.0, -4000.0}, {457586.228600, 6198015.739714}, 2e-6},
        {3, 2, {690000.0, 6230000.0}, {35503786.880445, 6225783.659668}, 2e-6},
        {1, 4, {457658.4112, 6198025.7009}, {1072.094, -3989.3161}, 1e-9},
        {4, 1, {1072.094, -3989.3161}, {457658.4112, 6198025.7009}, 1e-9},
    };
    for (const Vector& v : vectors) {
        const auto converter = CreateCoordConverter(v.from, v.to);
        ASSERT_TRUE(converter) << v.from << " -> " << v.to;
        CMapPoint p = v.in;
        converter->ConvertPoint(p);
        EXPECT_NEAR(p.x, v.expected.x, v.tolerance) << v.from << " -> " << v.to << " of " << v.in.x << " " << v.in.y;
        EXPECT_NEAR(p.y, v.expected.y, v.tolerance) << v.from << " -> " << v.to << " of " << v.in.x << " " << v.in.y;
    }
}

TEST(CoordConverter, Factory)
{
    for (int from = 0; from < kCoordSystemCount; ++from) {
        for (int to = 0; to < kCoordSystemCount; ++to)
            EXPECT_EQ(CreateCoordConverter(from, to) != nullptr, from != to) << from << " -> " << to;
    }
    EXPECT_FALSE(CreateCoordConverter(2, 2));
    EXPECT_FALSE(CreateCoordConverter(-1, 0));
    EXPECT_FALSE(CreateCoordConverter(0, 5));
    EXPECT_FALSE(CreateCoordConverter(5, 0));

    // ConvertPoints converts each point in place.
    CMapPoint points[] = {{24, 0}, {24, 55}};
    CreateCoordConverter(kCoordGeographic, kCoordTm)->ConvertPoints(points, 2);
    EXPECT_NEAR(points[0].x, 500000, 1e-9);
    EXPECT_NEAR(points[1].y, 6096010.867355, 2e-6);
}

namespace {

// Distance in metres between two geographic points a few metres apart.
double GroundMetres(const CMapPoint& a, const CMapPoint& b)
{
    return std::hypot((a.y - b.y) * 111320, (a.x - b.x) * 111320 * std::cos(a.y * kDegToRad));
}

} // namespace

TEST(CoordConverter, RoundTrips)
{
    for (int system = kCoordTm; system <= kCoordLocal; ++system) {
        const auto forward = CreateCoordConverter(kCoordGeographic, system);
        const auto back = CreateCoordConverter(system, kCoordGeographic);
        double worstNear = 0, worst = 0;
        for (int i = 0; i <= 60; ++i) {
            for (int j = 0; j <= 30; ++j) {
                const CMapPoint geo(21 + i * 0.1, 53.5 + j * 0.1);
                CMapPoint grid = geo;
                forward->ConvertPoint(grid);
                CMapPoint again = grid;
                back->ConvertPoint(again);
                CMapPoint gridAgain = again;
                forward->ConvertPoint(gridAgain);
                const double error = std::max(GroundMetres(geo, again),
                                              std::hypot(gridAgain.x - grid.x, gridAgain.y - grid.y));
                // UTM is as good near its own central meridians 21 and 27.
                const double centre = system != kCoordUtm ? 24 : geo.x < 24 ? 21 : 27;
                if (std::fabs(geo.x - centre) <= 0.5 + 1e-9)
                    worstNear = std::max(worstNear, error);
                worst = std::max(worst, error);
            }
        }
        EXPECT_LT(worstNear, 0.05) << "system " << system;
        EXPECT_LT(worst, 0.25) << "system " << system;
    }

    // Grid to grid, through geographic degrees and back.
    for (int from = kCoordTm; from <= kCoordLocal; ++from) {
        for (int to = kCoordTm; to <= kCoordLocal; ++to) {
            if (from == to)
                continue;
            CMapPoint p(25.3, 54.7);
            CreateCoordConverter(kCoordGeographic, from)->ConvertPoint(p);
            const CMapPoint start = p;
            CreateCoordConverter(from, to)->ConvertPoint(p);
            CreateCoordConverter(to, from)->ConvertPoint(p);
            EXPECT_LT(std::hypot(p.x - start.x, p.y - start.y), 0.25) << from << " -> " << to;
        }
    }

    // The local grid and system 1 are exact inverses of each other.
    CMapPoint p(582000, 6061000);
    CreateCoordConverter(kCoordTm, kCoordLocal)->ConvertPoint(p);
    CreateCoordConverter(kCoordLocal, kCoordTm)->ConvertPoint(p);
    EXPECT_NEAR(p.x, 582000, 1e-8);
    EXPECT_NEAR(p.y, 6061000, 1e-8);
}

TEST(CoordConverter, UtmZones)
{
    const auto toUtm = CreateCoordConverter(kCoordGeographic, kCoordUtm);
    const auto fromUtm = CreateCoordConverter(kCoordUtm, kCoordGeographic);
    const struct {
        double lon;
        int zone;
    } cases[] = {
        {25, 35}, {21, 34}, {23.999, 34}, {24, 35}, {27, 35}, {-3, 30}, {-6, 30}, {-6.5, 29},
        {-177, 1}, {179, 60}, {180, 1}, {183, 1}, {-183, 60}, {0, 31},
    };
    for (const auto& c : cases) {
        CMapPoint p(c.lon, 55);
        toUtm->ConvertPoint(p);
        EXPECT_EQ(static_cast<int>(p.x / 1000000), c.zone) << c.lon;
        // Within its own zone a point lies within 3 degrees of the central meridian.
        EXPECT_LT(std::fabs(p.x - (c.zone * 1000000 + 500000)), 200000) << c.lon;
        fromUtm->ConvertPoint(p);
        // The short series loses some 0.2 m at 3 degrees from the central meridian.
        EXPECT_NEAR(std::remainder(p.x - c.lon, 360), 0, 3e-6) << c.lon;
        EXPECT_NEAR(p.y, 55, 3e-6) << c.lon;
    }
    CMapPoint p(25, 55);
    toUtm->ConvertPoint(p);
    EXPECT_GT(p.x, 35000000);
    EXPECT_LT(p.x, 36000000);
    fromUtm->ConvertPoint(p);
    EXPECT_LT(GroundMetres(p, CMapPoint(25, 55)), 0.05); // 2 degrees off the central meridian

    // Nonsense goes through as NaN, without undefined behaviour; a longitude
    // many turns round is taken modulo 360.
    for (const CMapPoint bad : {CMapPoint(NAN, 55), CMapPoint(INFINITY, 55), CMapPoint(1e300, 55)}) {
        CMapPoint q = bad;
        fromUtm->ConvertPoint(q);
        EXPECT_TRUE(std::isnan(q.x)) << bad.x;
        q = bad;
        toUtm->ConvertPoint(q);
        EXPECT_EQ(std::isnan(q.x), !std::isfinite(bad.x)) << bad.x;
    }
    CMapPoint turns(24 + 360 * 1000, 55);
    toUtm->ConvertPoint(turns);
    EXPECT_EQ(static_cast<int>(turns.x / 1000000), 35);
}

TEST(CoordConverter, GreatCircleDistance)
{
    const struct {
        double lon1, lat1, lon2, lat2;
        double km;
        double tolerance;
    } cases[] = {
        // Expected values by the haversine formula on the same sphere.
        {24, 54, 24, 55, 111.44874987767626, 1e-9}, // one degree: 6385.543 * pi / 180
        {25.2797, 54.6872, 23.9036, 54.8985, 91.50048084828832, 1e-8},
        {21.1, 55.7, 25.2797, 54.6872, 288.80091477029407, 1e-8},
        {0, 0, 90, 0, 10030.387488990862, 1e-7},
        {0, 0, 180, 0, 20060.774977981728, 1e-7},
        {24, 54, 24, 54, 0, 0},
        // 0.01 seconds of arc: still measured, through the enlarged step.
        {24, 54, 24 + 0.01 / 3600, 54, 0.00018196647649660442, 2e-6},
        {24, 54, 24, 54 + 0.01 / 3600, 0.0003095798609713817, 2e-6},
    };
    for (const auto& c : cases) {
        const double km = GreatCircleDistanceKm(c.lon1, c.lat1, c.lon2, c.lat2);
        EXPECT_NEAR(km, c.km, c.tolerance) << c.lon1 << " " << c.lat1 << " - " << c.lon2 << " " << c.lat2;
    }
    EXPECT_GT(GreatCircleDistanceKm(24, 54, 24 + 0.01 / 3600, 54), 0);
    // Antipodes whose cosine rounds just past -1 are half the circumference, not NaN.
    for (double lat : {14.7, 16.1, 23.8, 25.2, 69.3}) {
        EXPECT_NEAR(GreatCircleDistanceKm(0, lat, 180, -lat), 20060.774977981728, 1e-6) << lat;
        EXPECT_NEAR(GreatCircleDistanceKm(24, lat, -156, -lat), 20060.774977981728, 1e-6) << lat;
    }
    EXPECT_DOUBLE_EQ(GreatCircleDistanceKm(24, 54, 24, 54), 0);
}
