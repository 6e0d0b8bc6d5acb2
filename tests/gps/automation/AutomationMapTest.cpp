// What the automation does with maps and views, called over a private bus
// with a fake host: the extent made visible and the street at a point.

#include "tests/gps/automation/AutomationTestSupport.h"

#include "core/Shape.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapSettings.h"
#include "tests/mapdoc/ViewTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A map in degrees over 20..30 E, 50..60 N.
struct CDegreeMap {
    CDegreeMap()
    {
        doc.Settings().mapUnits = kUnitsDegrees;
        doc.Settings().limits = CMapRect(20, 60, 30, 50);
        view.SetWindow(&window);
        view.OnSize(400, 200);
    }
    ~CDegreeMap() { view.SetWindow(nullptr); }

    CDrelDoc doc;
    CDrelView view{doc};
    CSurfaceWindow window;
};

CMapRect Scaled(CMapRect r, double f)
{
    r.Scale(f);
    return r;
}

bool Inside(const CMapRect& outer, const CMapRect& inner, double slack = 1e-9)
{
    return outer.left <= inner.left + slack && inner.right <= outer.right + slack
        && outer.bottom <= inner.bottom + slack && inner.top <= outer.top + slack;
}

void ExpectRect(const CMapRect& got, const CMapRect& wanted)
{
    EXPECT_NEAR(got.left, wanted.left, 1e-9);
    EXPECT_NEAR(got.top, wanted.top, 1e-9);
    EXPECT_NEAR(got.right, wanted.right, 1e-9);
    EXPECT_NEAR(got.bottom, wanted.bottom, 1e-9);
}

class AutomationMapTest : public ::testing::Test, protected CAutomationBench {
protected:
    AutomationMapTest()
    {
        first.view.ZoomToRect(CMapRect(24, 56, 26, 55), 0);
        second.view.ZoomToRect(CMapRect(20, 60, 22, 59), 0);
        host.active = &first.view;
    }
    bool EnsureVisible(double x1, double y1, double x2, double y2)
    {
        const QDBusMessage reply = App("EnsureVisible", {x1, y1, x2, y2});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return Result(reply).toBool();
    }

    CRecordingViewHost viewHost;
    CRecordingBestMap best;
    CDegreeMap first, second;
};

TEST_F(AutomationMapTest, ARectangleNearTheEdgeOfTheViewIsZoomedToDirectly)
{
    const CMapRect extent = first.view.GetMapExtent();
    const CMapRect near = Scaled(extent, 0.95);
    EXPECT_TRUE(EnsureVisible(near.right, near.bottom, near.left, near.top));
    EXPECT_TRUE(best.extents.empty()) << "no best map asked";
    EXPECT_TRUE(Inside(first.view.GetMapExtent(), Scaled(near, 1.2), 1e-6));
    EXPECT_NE(first.view.GetMapExtent(), extent);
}

TEST_F(AutomationMapTest, AWellShownRectangleStillAsksForTheBestMap)
{
    const CMapRect extent = first.view.GetMapExtent();
    const CMapRect well = Scaled(extent, 0.5);
    EXPECT_TRUE(EnsureVisible(well.left, well.top, well.right, well.bottom));
    ASSERT_EQ(best.extents.size(), 1u);
    ExpectRect(best.extents[0], Scaled(well, 1.2));
    EXPECT_EQ(best.asked[0].units, kUnitsDegrees);
    EXPECT_TRUE(best.asked[0].noOwnMap);
    EXPECT_FALSE(best.asked[0].autoLoadOnly);
    EXPECT_TRUE(best.asked[0].convert);
    EXPECT_FALSE(best.asked[0].zoom);
    EXPECT_EQ(first.view.GetMapExtent(), extent) << "inside the inner 0.9: no zoom";

    // The best map's view does not show it: that view zooms.
    best.onOpen = [this] { host.active = &second.view; };
    EXPECT_TRUE(EnsureVisible(well.left, well.top, well.right, well.bottom));
    EXPECT_TRUE(Inside(second.view.GetMapExtent(), Scaled(well, 1.2), 1e-6));
    EXPECT_FALSE(Inside(second.view.GetMapExtent(), CMapRect(20, 60, 22, 59)));
}

TEST_F(AutomationMapTest, SegmentsArePaddedAcrossAndPointsKeepTheScale)
{
    // A horizontal segment: a height of a tenth of its (enlarged) length.
    EXPECT_TRUE(EnsureVisible(24.5, 55.5, 25.5, 55.5));
    ASSERT_EQ(best.extents.size(), 1u);
    ExpectRect(best.extents[0], CMapRect(24.4, 55.56, 25.6, 55.44));
    // A vertical one: a width of a tenth of its height.
    EXPECT_TRUE(EnsureVisible(25, 55.9, 25, 55.1));
    ASSERT_EQ(best.extents.size(), 2u);
    ExpectRect(best.extents[1], CMapRect(24.952, 55.98, 25.048, 55.02));

    // A point off the view: it comes to the middle at the same scale.
    const double scale = first.view.GetScaleDenominator();
    EXPECT_TRUE(EnsureVisible(28, 58, 28, 58));
    ASSERT_EQ(best.extents.size(), 3u);
    ExpectRect(best.extents[2], CMapRect(28, 58, 28, 58));
    EXPECT_NEAR(first.view.GetScaleDenominator(), scale, scale * 1e-9);
    const CMapPoint centre = first.view.GetMapExtent().Center();
    EXPECT_NEAR(centre.x, 28, 1e-6);
    EXPECT_NEAR(centre.y, 58, 1e-6);

    // A segment partly outside: zoomed to.
    EXPECT_TRUE(EnsureVisible(21, 51, 23, 51));
    EXPECT_TRUE(Inside(first.view.GetMapExtent(), CMapRect(20.8, 51, 23.2, 51), 1e-6));
}

TEST_F(AutomationMapTest, FalseOnlyWithoutAView)
{
    host.active = nullptr;
    EXPECT_FALSE(EnsureVisible(24, 55, 25, 56));
    EXPECT_EQ(best.extents.size(), 1u) << "the best map was asked for";
    best.onOpen = [this] { host.active = &second.view; };
    EXPECT_TRUE(EnsureVisible(24, 55, 25, 56));
    EXPECT_TRUE(Inside(second.view.GetMapExtent(), CMapRect(23.9, 56.1, 25.1, 54.9), 1e-6));
}

// Streets of a map in degrees near 25.5 E 54.5 N, a kilometre being about
// 0.0155 degrees of longitude and 0.009 of latitude there.
class NearestStreetTest : public AutomationMapTest {
protected:
    NearestStreetTest()
    {
        const std::string path = dir.File("gatves.gdb");
        WriteStreets(path, {{"Tolima", {{25.4, 54.5008}, {25.6, 54.5008}}},
                               {"Artima", {{25.4, 54.5002}, {25.6, 54.5002}}},
                               {"", {{25.4, 54.5001}, {25.6, 54.5001}}},
                               {"Rytine", {{25.5016, 54.4980}, {25.5016, 54.4995}}}});
        for (CDrelDoc* doc : {&first.doc, &second.doc})
            doc->Settings().limits = CMapRect(25, 55, 26, 54);
        auto layer = std::make_unique<CLayer>("Gatves", path, CLayer::kLine);
        layer->SetExtent(CMapRect(25.4, 54.5008, 25.6, 54.5001));
        second.doc.AddLayer(std::move(layer), false);
        second.doc.Settings().streetsLayer = "Gatves";
        host.maps = {&first.doc, &second.doc};
    }

    struct Street {
        const char* id;
        CMapPoint ends[2];
    };
    static void WriteStreets(const std::string& path, const std::vector<Street>& streets)
    {
        CGdbSource source;
        CDbfFieldInfo fields[2];
        fields[0].Set("Id", 'C', 20, 0);
        fields[1].Set("", 0, 0, 0);
        ASSERT_TRUE(source.Create(path, CLayer::kLine, fields));
        for (const Street& street : streets) {
            CShape shape;
            shape.SetPoints(2, street.ends);
            ASSERT_TRUE(source.AppendShape(shape, false));
            source.GetTable().SetField(0, street.id);
            ASSERT_TRUE(source.GetTable().WriteRecord());
        }
        source.Close();
    }
    std::string Nearest(double x, double y, double radius)
    {
        const QDBusMessage reply = App("GetNearestStreet", {x, y, radius});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return Result(reply).toString().toStdString();
    }

    CTempDir dir;
};

TEST_F(NearestStreetTest, TheNearestIdentifiedStreetOfTheFirstMapWithStreets)
{
    // The active map names no streets layer: the next open map answers.
    EXPECT_EQ(Nearest(25.5, 54.5, 0.2), "Artima") << "the nameless street is nearer but filtered out";
    EXPECT_EQ(Nearest(25.5, 54.5009, 0.2), "Tolima");
    // Nearer in degrees is not nearer on the ground: Artima lies 0.0012 degrees
    // (133 m) north, Rytine 0.0016 degrees (103 m) east.
    EXPECT_EQ(Nearest(25.5, 54.499, 0.3), "Rytine");
    // Radius in kilometres on a map in degrees: 22 m away is within 0.05 km, not
    // 0.01.
    EXPECT_EQ(Nearest(25.5, 54.5, 0.05), "Artima");
    EXPECT_EQ(Nearest(25.5, 54.5, 0.01), "");
    // Off the streets' ends.
    EXPECT_EQ(Nearest(25.3, 54.5, 0.2), "");
    // Far from every map.
    EXPECT_EQ(Nearest(40, 10, 1), "");
}

TEST_F(NearestStreetTest, ALayerThatIsNoLineLayerEndsTheSearchEmpty)
{
    first.doc.Settings().streetsLayer = "Nera";
    EXPECT_EQ(Nearest(25.5, 54.5, 0.2), "") << "the active map answered: no street";
}

TEST_F(NearestStreetTest, TheBestLinkedMapIsOpenedWithoutAWindow)
{
    const std::string mapPath = dir.File("miestas.map");
    ASSERT_TRUE(second.doc.OnSaveDocument(mapPath));
    host.active = nullptr;
    host.maps.clear();
    host.paths = {dir.File("kitas.map"), mapPath};
    EXPECT_EQ(Nearest(25.5, 54.5, 0.2), "Artima");
    EXPECT_EQ(Nearest(25.5, 54.3, 0.2), "");
    EXPECT_TRUE(viewHost.openRequests.empty());
}

} // namespace
