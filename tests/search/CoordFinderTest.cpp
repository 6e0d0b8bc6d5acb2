// The coordinate page of the find sheet without its window: its format
// lists, the values carried between formats, and the point shown.
#include "search/CoordFinder.h"

#include "core/CoordConverter.h"
#include "mapdoc/PointOverlay.h"
#include "tests/search/FindTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const CMapPoint kVilnius(25.2797, 54.6872);

std::vector<int> Systems(const CCoordFinder& finder)
{
    std::vector<int> systems;
    for (const CCoordFinder::CFormat& format : finder.Formats())
        systems.push_back(format.form == CCoordFinder::kPlanar ? format.system : -10 - format.form);
    return systems;
}

CMapPoint Converted(CMapPoint point, int from, int to)
{
    CreateCoordConverter(from, to)->ConvertPoint(point);
    return point;
}

void ExpectNear(const CMapPoint& a, const CMapPoint& b, double within)
{
    EXPECT_NEAR(a.x, b.x, within);
    EXPECT_NEAR(a.y, b.y, within);
}

class CoordFinder : public CFindFixture {
protected:
    void MakeDegreeMap()
    {
        doc.Settings().mapUnits = kUnitsDegrees;
        doc.Settings().limits = CMapRect(20, 57, 28, 53);
        view.ZoomToRect(CMapRect(24, 55, 26, 54), 0);
    }
};

TEST_F(CoordFinder, TheFormatsOfMapsInDegreesAndInMetres)
{
    MakeDegreeMap();
    const CCoordFinder degrees(doc);
    EXPECT_EQ(Systems(degrees), (std::vector<int>{-10, -11, -12, kCoordTm, kCoordUtm, kCoordTm96, kCoordLocal}));
    EXPECT_EQ(degrees.Formats()[6].text, Cp("Šiaulių vietinė (metrai)"));
    EXPECT_EQ(degrees.Formats()[0].text, "Ilguma/Platuma (DD\xB0MM'SS.S\")");
    doc.Settings().mapUnits = kUnitsMetres;
    const CCoordFinder metres(doc);
    EXPECT_EQ(Systems(metres), (std::vector<int>{-10, -11, -12, CCoordFinder::kMapSystem, kCoordLocal}));
    EXPECT_EQ(metres.Formats()[3].text, Cp("Žemėlapio koordinatės (metrai)"));
}

TEST_F(CoordFinder, TheFirstStartShowsTheMiddleOfTheView)
{
    // A map in metres: its own coordinates, whole metres.
    CCoordFinder metres(doc);
    metres.Start(CMapRect(0, 1000, 2001, 0));
    EXPECT_EQ(metres.GetFormat(), 3);
    EXPECT_EQ(metres.GetPlanar(), CMapPoint(1001, 500));

    // A map in degrees: the middle in degrees, in the last format.
    MakeDegreeMap();
    FindState().lastCoordFormat = 2;
    CCoordFinder degrees(doc);
    degrees.Start(CMapRect(24, 55, 26, 54));
    EXPECT_EQ(degrees.GetFormat(), 2);
    EXPECT_EQ(degrees.GetGeographic(), CMapPoint(25, 54.5));

    // Back on a map in metres, a planar format of the other list is its own.
    FindState().lastCoordFormat = 5;
    FindState().lastX = 1;
    doc.Settings().mapUnits = kUnitsMetres;
    CCoordFinder again(doc);
    again.Start(CMapRect(0, 1000, 2000, 0));
    EXPECT_EQ(again.GetFormat(), 3);
    EXPECT_EQ(again.GetPlanar(), CMapPoint(1, 0));
}

TEST_F(CoordFinder, ValuesGoThereAndBackWithoutError)
{
    MakeDegreeMap();
    CCoordFinder finder(doc);
    finder.Start(view.GetMapExtent());
    finder.SetGeographic(kVilnius);
    for (const int planar : {3, 4, 5, 6}) {
        const int system = finder.Formats()[static_cast<size_t>(planar)].system;
        finder.SelectFormat(planar);
        ExpectNear(finder.GetPlanar(), Converted(kVilnius, kCoordGeographic, system), 1e-6);
        // Typed in again as shown, then read in degrees.
        finder.SetPlanar(finder.GetPlanar());
        finder.SelectFormat(0);
        ExpectNear(finder.GetGeographic(), kVilnius, 1e-6);
        finder.SetGeographic(kVilnius);
    }
    // Between two planar systems through a converter, and back to the one typed.
    finder.SelectFormat(3);
    const CMapPoint lks = finder.GetPlanar();
    finder.SetPlanar(lks);
    finder.SelectFormat(6);
    ExpectNear(finder.GetPlanar(), Converted(lks, kCoordTm, kCoordLocal), 1e-6);
    finder.SelectFormat(3);
    EXPECT_EQ(finder.GetPlanar(), lks);

    // A map in metres: its own coordinates through its transform.
    doc.Settings().mapUnits = kUnitsMetres;
    doc.SetCoordSystem(kCoordTm);
    CCoordFinder metres(doc);
    metres.Start(CMapRect(0, 1000, 2000, 0));
    metres.SelectFormat(1);
    metres.SetGeographic(kVilnius);
    metres.SelectFormat(3);
    ExpectNear(metres.GetPlanar(), Converted(kVilnius, kCoordGeographic, kCoordTm), 1e-6);
    metres.SelectFormat(4);
    ExpectNear(metres.GetPlanar(), Converted(kVilnius, kCoordGeographic, kCoordLocal), 1e-6);
}

TEST_F(CoordFinder, TheMapPointOfEachFormat)
{
    MakeDegreeMap();
    CCoordFinder finder(doc);
    finder.Start(view.GetMapExtent());
    const CMapPoint lks = Converted(kVilnius, kCoordGeographic, kCoordTm);
    finder.SelectFormat(3);
    finder.SetPlanar(lks);
    CMapPoint point;
    ASSERT_TRUE(finder.TakeMapPoint(point));
    ExpectNear(point, kVilnius, 1e-6);
    EXPECT_EQ(FindState().lastPage, CFindState::kCoordPage);
    EXPECT_EQ(FindState().lastCoordFormat, 3);
    EXPECT_EQ(FindState().lastX, lks.x);

    // A map in metres: degrees through its transform; the local grid too.
    doc.Settings().mapUnits = kUnitsMetres;
    doc.SetCoordSystem(kCoordTm);
    CCoordFinder metres(doc);
    metres.Start(CMapRect(0, 1000, 2000, 0));
    metres.SelectFormat(0);
    metres.SetGeographic(kVilnius);
    ASSERT_TRUE(metres.TakeMapPoint(point));
    ExpectNear(point, lks, 1e-3);
    EXPECT_EQ(FindState().lastLongitude, kVilnius.x);
    metres.SelectFormat(4);
    metres.SetPlanar(Converted(kVilnius, kCoordGeographic, kCoordLocal));
    ASSERT_TRUE(metres.TakeMapPoint(point));
    ExpectNear(point, lks, 1e-3);

    // Values that make no point.
    const struct {
        int format;
        CMapPoint value;
    } bad[] = {
        {0, {200, 54}}, {2, {25, -91}}, {0, {NAN, 54}}, {3, {1e9, 0}}, {4, {0, -1e12}}, {3, {INFINITY, 0}},
    };
    for (const auto& b : bad) {
        metres.SelectFormat(b.format);
        if (metres.IsPlanar(b.format))
            metres.SetPlanar(b.value);
        else
            metres.SetGeographic(b.value);
        EXPECT_FALSE(metres.TakeMapPoint(point)) << b.format << " " << b.value.x << " " << b.value.y;
    }
}

TEST_F(CoordFinder, TheLimitsAskAndTheViewZoomsOnlyWhenCoarser)
{
    const CMapRect limits(0, 1000, 2000, 0);
    const struct {
        CMapRect limits;
        CMapPoint point;
        bool inside;
    } cases[] = {
        {limits, {0, 0}, true},      {limits, {2000, 1000}, true}, {limits, {-1, 500}, false},
        {limits, {2001, 500}, false}, {limits, {10, 1001}, false}, {limits, {10, -1}, false},
        {CMapRect(), {-1e300, 1e300}, true}, // an empty Limits sets no bound
    };
    for (const auto& c : cases)
        EXPECT_EQ(CCoordFinder::IsInsideLimits(c.limits, c.point), c.inside) << c.point.x << " " << c.point.y;

    CCoordFinder finder(doc);
    const CMapRect whole = view.GetMapExtent();
    // Outside: asked with No preselected; No leaves the view.
    user.answers = {IDNO};
    EXPECT_FALSE(finder.Show(view, CMapPoint(5000, 500)));
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].helpId, 2028u);
    EXPECT_EQ(user.messages[0].type & MB_DEFMASK, static_cast<unsigned>(MB_DEFBUTTON2));
    EXPECT_EQ(view.GetMapExtent(), whole);
    EXPECT_EQ(Marks(), 0);

    // A view finer than the optimal scale only moves when the point is outside it.
    doc.Settings().optimScale = 1e9;
    const double scale = view.GetScaleDenominator();
    EXPECT_TRUE(finder.Show(view, CMapPoint(1000, 500)));
    EXPECT_EQ(view.GetMapExtent(), whole);
    EXPECT_EQ(Marks(), 1);
    EXPECT_NE(dynamic_cast<CPointOverlay*>(view.GetOverlay(0)), nullptr);
    // Coarser: zoomed to the optimal scale at the point.
    doc.Settings().optimScale = 1000;
    EXPECT_TRUE(finder.Show(view, CMapPoint(300, 300)));
    EXPECT_NEAR(view.GetScaleDenominator(), 1000, 1);
    EXPECT_LT(view.GetScaleDenominator(), scale);
    ExpectNear(view.GetMapExtent().Center(), CMapPoint(300, 300), 1);
    EXPECT_EQ(Marks(), 1);
    EXPECT_EQ(user.messages.size(), 1u);
}

TEST(CoordFinderTexts, DecimalDegreesAndPlanarValues)
{
    EXPECT_EQ(CCoordFinder::DecimalText(0), "0.0");
    EXPECT_EQ(CCoordFinder::DecimalText(25.5), "25.5");
    EXPECT_EQ(CCoordFinder::DecimalText(-0.1), "-0.1");
    EXPECT_EQ(CCoordFinder::DecimalText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(CCoordFinder::PlanarText(0), "0");
    EXPECT_EQ(CCoordFinder::PlanarText(6061234.5), "6061234.5");
}

} // namespace
