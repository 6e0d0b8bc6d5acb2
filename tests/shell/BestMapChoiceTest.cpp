#include "shell/BestMapChoice.h"

#include "core/CoordConverter.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewWindow.h"
#include "platform/NumberText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

// A point of Vilnius and where it lies on the grid.
const CMapPoint kVilnius(25.28, 54.69);

CMapPoint OnGrid(CMapPoint p)
{
    CreateCoordConverter(kCoordGeographic, kCoordTm)->ConvertPoint(p);
    return p;
}

std::string Limits(double l, double t, double r, double b)
{
    return FormatC("%.10g %.10g %.10g %.10g", l, t, r, b);
}

// Settings files of linked maps in a folder of the test's own; the maps
// themselves need not exist.
class BestMapTest : public ::testing::Test {
protected:
    // The path of map name, whose settings file holds the [Map] lines.
    std::string Map(const std::string& name, const std::string& mapLines, const std::string& more = "")
    {
        WriteWholeFile(m_dir.File(name + ".ini"), "[Map]\r\n" + mapLines + more);
        return m_dir.File(name + ".map");
    }
    std::string Degrees(const std::string& name, double scale, double l, double t, double r, double b,
                        const std::string& more = "")
    {
        return Map(name, "MapUnits=0\r\nOptimScale=" + FormatC("%g", scale) + "\r\nLimits=" + Limits(l, t, r, b) +
                             "\r\n",
                   more);
    }
    // A grid map of the size in metres around the point.
    std::string Grid(const std::string& name, double scale, const CMapPoint& at, double width, double height,
                     const std::string& more = "")
    {
        const CMapPoint c = OnGrid(at);
        return Map(name,
                   "MapUnits=1\r\nOptimScale=" + FormatC("%g", scale) + "\r\nLimits=" +
                       Limits(c.x - width / 2, c.y + height / 2, c.x + width / 2, c.y - height / 2) + "\r\n",
                   more);
    }

    CTempDir m_dir;
};

TEST_F(BestMapTest, TheSmallestOptimalScaleWinsWhateverTheSize)
{
    const std::string country = Degrees("country", 10000, 20, 57, 27, 53);
    const std::string city = Degrees("city", 50000, 25.2, 54.75, 25.35, 54.65);
    EXPECT_EQ(ChooseMapForPoint({city, country}, kVilnius, false), 1);
    EXPECT_EQ(ChooseMapForPoint({country, city}, kVilnius, false), 0);
    EXPECT_EQ(ChooseMapForPoint({city, country}, CMapPoint(10, 10), false), -1);
    EXPECT_EQ(ChooseMapForPoint({}, kVilnius, false), -1);
}

TEST_F(BestMapTest, EqualScalesGoToTheSmallerArea)
{
    // 0.1 x 0.1 degrees count 70.7 km².
    const std::string tenth = Degrees("tenth", 10000, 25.25, 54.75, 25.35, 54.65);
    const std::string larger = Degrees("larger", 10000, 25.2, 54.8, 25.4, 54.6);
    const std::string gridBelow = Grid("below", 10000, kVilnius, 8400, 8400);  // 70.56 km²
    const std::string gridAbove = Grid("above", 10000, kVilnius, 8420, 8420);  // 70.90 km²
    EXPECT_EQ(ChooseMapForPoint({larger, tenth}, kVilnius, false), 1);
    EXPECT_EQ(ChooseMapForPoint({tenth, gridAbove}, kVilnius, false), 0);
    EXPECT_EQ(ChooseMapForPoint({tenth, gridBelow}, kVilnius, false), 1);
    // The first of equals stays.
    EXPECT_EQ(ChooseMapForPoint({tenth, Degrees("twin", 10000, 25.25, 54.75, 25.35, 54.65)}, kVilnius, false), 0);
}

TEST_F(BestMapTest, AMapWithoutSettingsHoldsOnlyTheOrigin)
{
    const std::string bare = m_dir.File("bare.map");
    EXPECT_EQ(ChooseMapForPoint({bare}, CMapPoint(0, 0), false), 0);
    EXPECT_EQ(ChooseMapForPoint({bare}, kVilnius, false), -1);
    const CLinkedMapSettings settings = CLinkedMapSettings::Read(bare);
    EXPECT_EQ(settings.limits, CMapRect(0, 0, 0, 0));
    EXPECT_EQ(settings.optimScale, 10000);
    // Missing numbers of the limits are 0, as "%lf %lf %lf %lf" leaves them.
    EXPECT_EQ(CLinkedMapSettings::Read(Map("part", "Limits=1 2\r\n")).limits, CMapRect(1, 2, 0, 0));
}

TEST_F(BestMapTest, TheStreetsRuleAppliesToGridMapsOnly)
{
    const std::string plain = Grid("plain", 5000, kVilnius, 1000, 1000);
    const std::string streets = Grid("streets", 10000, kVilnius, 9000, 9000, "[Streets]\r\nStreetNameField=PAV\r\n");
    const std::string degrees = Degrees("degrees", 2000, 25, 55, 26, 54);
    EXPECT_EQ(ChooseMapForPoint({plain, streets}, kVilnius, false), 0);
    EXPECT_EQ(ChooseMapForPoint({plain, streets}, kVilnius, true), 1);
    EXPECT_EQ(ChooseMapForPoint({plain, streets, degrees}, kVilnius, true), 2);
    EXPECT_EQ(ChooseMapForPoint({Map("km", "MapUnits=2\r\nLimits=0 100 100 0\r\n")}, CMapPoint(5, 5), false), -1);
}

TEST_F(BestMapTest, AScaleThatIsNoPositiveNumberReadsAsTheDocumentReadsIt)
{
    for (const char* scale : {"0", "-500", "nan", "inf", "abc", ""}) {
        const std::string broken = Map("broken", "Limits=25 55 26 54\r\nOptimScale=" + std::string(scale) + "\r\n");
        const std::string fine = Degrees("fine", 5000, 24, 56, 27, 53);
        const std::string coarse = Degrees("coarse", 20000, 25.2, 54.8, 25.4, 54.6);
        EXPECT_EQ(CLinkedMapSettings::Read(broken).optimScale, 10000) << scale;
        EXPECT_EQ(ChooseMapForPoint({broken, fine}, kVilnius, false), 1) << scale;
        EXPECT_EQ(ChooseMapForPoint({broken, coarse}, kVilnius, false), 0) << scale;
        EXPECT_EQ(ChooseMapForExtent({broken, fine}, CMapRect(25.2, 54.8, 25.4, 54.6), 0, false, false), 1)
            << scale;
    }
}

TEST_F(BestMapTest, ExtentsCoveredAtLeastHalf)
{
    const CMapRect extent(24, 56, 26, 54);
    const std::string half = Degrees("half", 5000, 25, 56, 27, 54);   // exactly half
    const std::string less = Degrees("less", 2000, 25.5, 56, 27, 54); // under half
    const std::string none = Degrees("none", 1000, 26.5, 56, 27, 54); // apart
    const std::string all = Degrees("all", 10000, 20, 57, 27, 53);
    EXPECT_EQ(ChooseMapForExtent({less, none, all}, extent, 0, false, false), 2);
    EXPECT_EQ(ChooseMapForExtent({less, none, all, half}, extent, 0, false, false), 3);
    EXPECT_EQ(ChooseMapForExtent({Map("nan", "Limits=nan nan nan nan\r\nOptimScale=1\r\n"), all}, extent, 0, false,
                                 false),
              1);
}

TEST_F(BestMapTest, ExtentsChooseAmongAutoLoadedMapsAndConvertUnits)
{
    const CMapRect extent(25.2, 54.8, 25.4, 54.6);
    const std::string manual = Degrees("manual", 2000, 24, 56, 27, 53);
    const std::string automatic = Degrees("auto", 5000, 24, 56, 27, 53, "AutoLoad=1\r\n");
    const std::string grid = Grid("grid", 1000, CMapPoint(25.3, 54.7), 60000, 60000);
    EXPECT_EQ(ChooseMapForExtent({manual, automatic}, extent, 0, false, false), 0);
    EXPECT_EQ(ChooseMapForExtent({manual, automatic}, extent, 0, true, false), 1);
    EXPECT_EQ(ChooseMapForExtent({automatic, grid}, extent, 0, false, false), 0); // other units skipped
    EXPECT_EQ(ChooseMapForExtent({automatic, grid}, extent, 0, false, true), 1);  // converted to degrees

    // A grid extent against a degree map, converted the other way.
    CMapPoint a = OnGrid(CMapPoint(25.2, 54.8)), b = OnGrid(CMapPoint(25.4, 54.6));
    const CMapRect onGrid(a.x, a.y, b.x, b.y);
    EXPECT_EQ(ChooseMapForExtent({automatic}, onGrid, 1, false, false), -1);
    EXPECT_EQ(ChooseMapForExtent({automatic}, onGrid, 1, false, true), 0);
    EXPECT_EQ(ChooseMapForExtent({Map("km", "MapUnits=2\r\nLimits=0 1e9 1e9 0\r\n")}, onGrid, 1, false, true), -1);
}

TEST_F(BestMapTest, EqualScalesGoToTheNarrowerMap)
{
    const CMapRect extent(25.2, 54.8, 25.4, 54.6);
    const std::string wide = Degrees("wide", 5000, 24, 55, 27, 54.5);
    const std::string narrow = Degrees("narrow", 5000, 25, 57, 26, 53);
    EXPECT_EQ(ChooseMapForExtent({wide, narrow}, extent, 0, false, false), 1);
    EXPECT_EQ(ChooseMapForExtent({narrow, wide}, extent, 0, false, false), 0);
}

// Open maps with one map view each, as the main window would hold them.
class CFakeMapWindows : public IBestMapWindows {
public:
    // A view that counts its repaints.
    class CCountingWindow : public IViewWindow {
    public:
        void InvalidateView() override { ++repaints; }
        int repaints = 0;
    };

    // A map of the units, limits and optimal scale, open (or openable
    // through its path) with a view of 400 x 300 pixels.
    CDrelDoc& Add(const std::string& path, int units, const CMapRect& limits, double optimScale, bool open)
    {
        auto& map = m_maps[path];
        map.document.SetPathName(path);
        map.document.Settings().mapUnits = units;
        map.document.Settings().limits = limits;
        map.document.Settings().optimScale = optimScale;
        if (units != 0)
            map.document.SetCoordSystem(kCoordTm);
        map.view = std::make_unique<CDrelView>(map.document);
        map.view->SetWindow(&map.window);
        map.view->OnSize(400, 300);
        map.open = open;
        return map.document;
    }
    CDrelView& View(const std::string& path) { return *m_maps.at(path).view; }
    int Repaints(const std::string& path) { return m_maps.at(path).window.repaints; }
    void Activate(const std::string& path) { active = &View(path); }

    std::vector<std::string> GetLinkedMapPaths() override { return links; }
    bool OpenMap(const std::string& path) override
    {
        opened.push_back(path);
        auto it = m_maps.find(path);
        if (it == m_maps.end())
            return false;
        it->second.open = true;
        active = it->second.view.get();
        return true;
    }
    bool IsMapWindowActive() override { return mapWindowActive; }
    CDrelView* GetActiveMapView() override { return active; }
    std::vector<CDrelDoc*> GetOpenMaps() override
    {
        std::vector<CDrelDoc*> maps;
        for (auto& [path, map] : m_maps)
            if (map.open)
                maps.push_back(&map.document);
        return maps;
    }
    std::vector<CDrelView*> GetMapViews(CDrelDoc& document) override
    {
        std::vector<CDrelView*> views;
        for (auto& [path, map] : m_maps)
            if (&map.document == &document)
                views.push_back(map.view.get());
        return views;
    }
    void ActivateView(CDrelView& view) override
    {
        activated.push_back(view.GetDocument().GetPathName());
        active = &view;
    }

    std::vector<std::string> links;
    std::vector<std::string> opened;
    std::vector<std::string> activated;
    CDrelView* active = nullptr;
    bool mapWindowActive = true;

private:
    struct Entry {
        CDrelDoc document;
        std::unique_ptr<CDrelView> view;
        CCountingWindow window;
        bool open = false;
    };
    std::map<std::string, Entry> m_maps;
};

class BestViewTest : public BestMapTest {
protected:
    // The view at the scale, centred on the point.
    static void Place(CDrelView& view, double scale, const CMapPoint& centre) { view.ZoomToScaleAt(scale, centre); }
    static CMapPoint Centre(const CDrelView& view) { return view.GetMapExtent().Center(); }

    CFakeMapWindows windows;
    CBestMapChoice choice{windows};
};

TEST_F(BestViewTest, APositionInsideTheInnerBandOnlyRepaints)
{
    const std::string path = m_dir.File("city.map");
    windows.Add(path, 0, CMapRect(25, 55, 26, 54), 10000, true);
    windows.Activate(path);
    CDrelView& view = windows.View(path);
    Place(view, 20000, kVilnius);
    const CMapRect extent = view.GetMapExtent();
    const double w = extent.Width(), h = extent.Height();

    struct Case {
        double dx, dy; // of the half width and height from the centre
        bool force;
        bool centres;
    };
    const Case cases[] = {
        {0.5, 0.5, false, false}, {0.89, 0, false, false}, {0, -0.89, false, false},
        {0.91, 0, false, true},   {0, 0.95, false, true},  {1.5, 0, false, true},
        {0.1, 0.1, true, true},
    };
    for (const Case& c : cases) {
        Place(view, 20000, kVilnius);
        const CMapPoint centre = Centre(view);
        const CMapPoint target(centre.x + c.dx * w / 2, centre.y + c.dy * h / 2);
        const int repaints = windows.Repaints(path);
        EXPECT_TRUE(choice.ShowPositionInActiveMap(target.x, target.y, false, c.force, false));
        const CMapPoint after = Centre(view);
        if (c.centres) {
            EXPECT_NEAR(after.x, target.x, 1e-9) << c.dx << "," << c.dy;
            EXPECT_NEAR(after.y, target.y, 1e-9) << c.dx << "," << c.dy;
        } else {
            EXPECT_EQ(after, centre) << c.dx << "," << c.dy;
            EXPECT_EQ(windows.Repaints(path), repaints + 1);
        }
        EXPECT_NEAR(view.GetScaleDenominator(), 20000, 1e-6);
    }

    windows.mapWindowActive = false;
    EXPECT_FALSE(choice.ShowPositionInActiveMap(kVilnius.x, kVilnius.y, false, true, false));
}

TEST_F(BestViewTest, APositionShownAtTheMapsScaleWhenTheViewStraysFromIt)
{
    const std::string city = Degrees("city", 10000, 25.2, 54.75, 25.35, 54.65);
    const std::string country = m_dir.File("country.map");
    windows.Add(country, 0, CMapRect(20, 57, 27, 53), 200000, true);
    windows.Add(city, 0, CMapRect(25.2, 54.75, 25.35, 54.65), 10000, false);
    windows.links = {city};
    windows.Activate(country);
    Place(windows.View(country), 1000000, CMapPoint(24, 55));

    // The same view keeps its scale without the scale required.
    EXPECT_TRUE(choice.ShowPositionInActiveMap(kVilnius.x, kVilnius.y, false, false, false));
    EXPECT_NEAR(windows.View(country).GetScaleDenominator(), 1000000, 1e-6);
    EXPECT_TRUE(choice.ShowPositionInActiveMap(kVilnius.x, kVilnius.y, false, false, true));
    EXPECT_NEAR(windows.View(country).GetScaleDenominator(), 200000, 1e-6);

    // The best linked map opens; its view, more than 4 x off, goes to 1:10000 there.
    Place(windows.View(city), 50000, kVilnius);
    EXPECT_TRUE(choice.ShowPositionInActiveMap(25.3, 54.7, true, false, false));
    EXPECT_EQ(windows.opened, std::vector<std::string>{city});
    EXPECT_EQ(windows.active, &windows.View(city));
    EXPECT_NEAR(windows.View(city).GetScaleDenominator(), 10000, 1e-6);
    EXPECT_NEAR(Centre(windows.View(city)).x, 25.3, 1e-9);
}

TEST_F(BestViewTest, ThePointGoesToTheBestOpenMap)
{
    const std::string coarse = m_dir.File("coarse.map");
    const std::string fine = m_dir.File("fine.map");
    const std::string small = m_dir.File("small.map");
    const std::string grid = m_dir.File("grid.map");
    windows.Add(coarse, 0, CMapRect(20, 57, 27, 53), 50000, true);
    windows.Add(fine, 0, CMapRect(24, 56, 26, 54), 10000, true);
    const CMapPoint g = OnGrid(kVilnius);
    windows.Add(grid, 1, CMapRect(g.x - 500, g.y + 500, g.x + 500, g.y - 500), 10000, true); // shorter diagonal
    windows.Add(small, 0, CMapRect(25.275, 54.695, 25.285, 54.685), 10000, false);
    windows.Activate(coarse);
    Place(windows.View(grid), 100000, g); // more than 4 x its optimum
    Place(windows.View(fine), 20000, CMapPoint(24.5, 55.5));

    EXPECT_TRUE(choice.ShowPointInBestView(kVilnius, 1, false));
    EXPECT_EQ(windows.activated, std::vector<std::string>{grid});
    EXPECT_NEAR(windows.View(grid).GetScaleDenominator(), 10000, 1e-6);
    EXPECT_NEAR(Centre(windows.View(grid)).x, g.x, 1e-6);

    // Within 4 x and in view: neither scale nor place changes.
    Place(windows.View(grid), 40000, CMapPoint(g.x + 100, g.y));
    EXPECT_TRUE(choice.ShowPointInBestView(kVilnius, 1, false));
    EXPECT_NEAR(windows.View(grid).GetScaleDenominator(), 40000, 1e-6);
    EXPECT_NEAR(Centre(windows.View(grid)).x, g.x + 100, 1e-6);
    EXPECT_TRUE(choice.ShowPointInBestView(kVilnius, 1, true));
    EXPECT_NEAR(Centre(windows.View(grid)).x, g.x, 1e-6);

    // Mode 2 opens the linked map first; it wins by its smaller diagonal.
    windows.links = {Degrees("small", 10000, 25.275, 54.695, 25.285, 54.685)};
    windows.activated.clear();
    EXPECT_TRUE(choice.ShowPointInBestView(kVilnius, 2, false));
    EXPECT_EQ(windows.opened, std::vector<std::string>{small});
    EXPECT_EQ(windows.activated, std::vector<std::string>{small});

    // No open map holds the point: the active view centres on it.
    const CMapPoint away(30, 60);
    windows.activated.clear();
    windows.Activate(coarse);
    EXPECT_TRUE(choice.ShowPointInBestView(away, 1, false));
    EXPECT_TRUE(windows.activated.empty());
    EXPECT_NEAR(Centre(windows.View(coarse)).x, away.x, 1e-9);
    windows.active = nullptr;
    EXPECT_FALSE(choice.ShowPointInBestView(away, 0, false));
}

TEST_F(BestViewTest, TheBestLinkedMapOpensForAnExtentUnlessItIsTheCallersOwn)
{
    const CMapRect extent(25.25, 54.72, 25.3, 54.69);
    const std::string country = Degrees("country", 100000, 20, 57, 27, 53, "AutoLoad=1\r\n");
    const CMapPoint g = OnGrid(CMapPoint(25.28, 54.7));
    const std::string city = Grid("city", 5000, CMapPoint(25.28, 54.7), 20000, 20000, "AutoLoad=1\r\n");
    windows.links = {country, city};
    windows.Add(country, 0, CMapRect(20, 57, 27, 53), 100000, true);
    windows.Add(city, 1, CMapRect(g.x - 10000, g.y + 10000, g.x + 10000, g.y - 10000), 5000, false);

    // The calling map is the best already.
    EXPECT_FALSE(choice.OpenBestMapForExtent(extent, 0, city, true, true, true));
    EXPECT_TRUE(windows.opened.empty());
    // Without converting, the grid map does not count.
    EXPECT_TRUE(choice.OpenBestMapForExtent(extent, 0, "", true, false, false));
    EXPECT_EQ(windows.opened, std::vector<std::string>{country});

    windows.opened.clear();
    EXPECT_TRUE(choice.OpenBestMapForExtent(extent, 0, country, true, true, false));
    EXPECT_EQ(windows.opened, std::vector<std::string>{city});
    EXPECT_TRUE(choice.OpenBestMapForExtent(extent, 0, country, true, true, true));
    // The degree extent is zoomed to on the grid map.
    const CMapPoint a = OnGrid(CMapPoint(extent.left, extent.top));
    const CMapPoint b = OnGrid(CMapPoint(extent.right, extent.bottom));
    const CMapPoint centre = Centre(windows.View(city));
    EXPECT_NEAR(centre.x, (a.x + b.x) / 2, 1);
    EXPECT_NEAR(centre.y, (a.y + b.y) / 2, 1);

    const std::string missing = Degrees("missing", 1000, 25, 55, 26, 54);
    windows.links = {missing};
    EXPECT_FALSE(choice.OpenBestMapForExtent(extent, 0, "", false, false, true)); // it does not open
    windows.links = {};
    EXPECT_FALSE(choice.OpenBestMapForExtent(extent, 0, "", false, false, true));
}

} // namespace
