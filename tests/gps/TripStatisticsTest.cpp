// Trip figures point by point, their texts, and the statistics of a track layer.

#include "gps/TripStatistics.h"
#include "layers/Layer.h"
#include "tests/gps/TrackTestSupport.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double kLon = 25.28;
constexpr double kLat = 54.69;

double NorthMetres(double metres)
{
    return metres / 6385543.0 * 180 / std::numbers::pi;
}

struct CPoint {
    double northMetres;
    int64_t seconds;
    double speed;
};

CTripStatistics Trip(const std::vector<CPoint>& points)
{
    CTripStatistics trip;
    for (const CPoint& p : points)
        trip.AddPoint(kLon, kLat + NorthMetres(p.northMetres), 1000 + p.seconds, p.speed);
    return trip;
}

TEST(TripStatistics, MovingStandingAndShortStops)
{
    struct Case {
        const char* what;
        std::vector<CPoint> points;
        double total, moving;
        int64_t movingTime, standingTime;
    };
    const Case cases[] = {
        {"no points", {}, 0, 0, 0, 0},
        {"one point has no time", {{0, 0, 12}}, 0, 0, 0, 0},
        {"above 5 km/h is moving", {{0, 0, 30}, {500, 60, 30}}, 0.5, 0.5, 60, 0},
        {"5 km/h and a few metres is standing", {{0, 0, 5}, {20, 60, 5}}, 0.02, 0, 0, 60},
        {"over 0.1 km in under 60 s is moving whatever the speed", {{0, 0, 0}, {150, 59, 0}}, 0.15, 0.15, 59, 0},
        {"over 0.1 km in 60 s and slow is standing", {{0, 0, 0}, {150, 60, 0}}, 0.15, 0, 0, 60},
        {"a stop under 60 s is taken back and its ground counted once",
         {{0, 0, 30}, {150, 20, 30}, {170, 40, 2}, {190, 50, 1}, {340, 60, 30}},
         0.34,
         0.32,
         60,
         0},
        {"a stop of 60 s stays",
         {{0, 0, 30}, {150, 20, 30}, {150, 50, 0}, {150, 80, 0}, {300, 100, 30}},
         0.30,
         0.30,
         40,
         60},
        {"a time going back adds no step", {{0, 0, 30}, {500, 60, 30}, {900, 30, 50}}, 0.5, 0.5, 60, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CTripStatistics trip = Trip(c.points);
        EXPECT_EQ(trip.GetPointCount(), static_cast<int>(c.points.size()));
        EXPECT_NEAR(trip.GetTotalDistance(), c.total, 1e-7);
        EXPECT_NEAR(trip.GetMovingDistance(), c.moving, 1e-7);
        EXPECT_EQ(trip.GetMovingTime(), c.movingTime);
        EXPECT_EQ(trip.GetStandingTime(), c.standingTime);
    }
}

TEST(TripStatistics, SummaryTextsInTheDialogsFormats)
{
    const CTripStatistics trip = Trip({{0, 0, 30}, {150, 20, 30}, {150, 50, 0}, {150, 80, 0}, {300, 100, 30}});
    EXPECT_EQ(FormatTripSummary(trip), (CTripSummaryTexts{"5", "0.30 km", "00:01:40", "00:00:40", "00:01:00",
                                                          "10.8 km/h", "27.0 km/h", "30.0 km/h"}));
    EXPECT_EQ(FormatTripSummary(Trip({{0, 0, 7.25}})),
              (CTripSummaryTexts{"1", "0.00 km", "00:00:00", "00:00:00", "00:00:00", "0.0 km/h", "0.0 km/h",
                                 "7.2 km/h"}))
        << "averages are 0 without time";
    EXPECT_EQ(FormatTripTime(100 * 3600 + 61), "100:01:01");
}

TEST(TripStatistics, ATrackLayerIsAddedInFileOrderWithItsDatesAndTimes)
{
    CTempDir dir;
    const std::vector<CTestField> fields = {
        {"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8}, {"SPEED", 'N', 6, 1}, {"DATE", 'C', 10, 0}, {"TIME", 'C', 8, 0}};
    const std::string lat0 = FormatC("%.8f", kLat), lat1 = FormatC("%.8f", kLat + NorthMetres(1000));
    const std::string path = dir.File("kelione.trk");
    ASSERT_TRUE(WriteTable(path, fields,
                           {{"25.28", lat0, "30", "2005.06.17", "23:59:30"},
                            // Past midnight; a date without its day is the first.
                            {"25.28", lat1, "90", "2005.06.18", "00:00:30"},
                            {"25.28", lat1, "0", "2005.07", "garbage"}}));
    CLayer track("Kelionė", path, CLayer::kTrack);
    CTripStatistics trip;
    ASSERT_TRUE(ComputeTrackStatistics(track, trip));
    EXPECT_EQ(trip.GetPointCount(), 3);
    EXPECT_NEAR(trip.GetTotalDistance(), 1.0, 1e-6);
    EXPECT_EQ(trip.GetMovingTime(), 60);
    EXPECT_EQ(trip.GetStandingTime(), 13 * 86400 - 30) << "2005.07.01 00:00:00 follows";
    EXPECT_EQ(trip.GetMaxSpeed(), 90);

    for (const char* missing : {"SPEED", "DATE", "TIME"}) {
        SCOPED_TRACE(missing);
        std::vector<CTestField> fewer;
        for (const CTestField& f : fields)
            if (std::string(f.name) != missing)
                fewer.push_back(f);
        const std::string other = dir.File(std::string(missing) + ".trk");
        ASSERT_TRUE(WriteTable(other, fewer, {{"25.28", lat0, "1", "1"}}));
        EXPECT_FALSE(ComputeTrackStatistics(CLayer("be lauko", other, CLayer::kTrack), trip));
    }
    CLayer points("taškai", dir.File("taskai.dbf"), CLayer::kPoint);
    ASSERT_TRUE(WriteTable(points.GetPath(), fields, {{"25.28", lat0, "30", "2005.06.17", "23:59:30"}}));
    EXPECT_FALSE(ComputeTrackStatistics(points, trip));
}

} // namespace
