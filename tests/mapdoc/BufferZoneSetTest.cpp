// The buffer zones of a map document: made round clicked objects through
// the object search and the tool's dialogs (stood in for here), drawn,
// saved into an area layer, removed.
#include "mapdoc/BufferZoneSet.h"

#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/LayerReader.h"
#include "mapdoc/ObjectSearch.h"
#include "platform/CommandState.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A frame whose legend has a layer selected, or none.
class CWindowWithLayer : public CRecordingWindow {
public:
    CLayer* GetActiveLayer() override { return activeLayer; }
    CLayer* activeLayer = nullptr;
};

// Finds what it is given, wherever the click.
class CFakeObjectSearch : public IObjectSearch {
public:
    explicit CFakeObjectSearch(Log& log) : m_log(log) { SetObjectSearch(this); }
    ~CFakeObjectSearch() override { SetObjectSearch(nullptr); }
    bool MarkObjectAt(CLayer& layer, const CMapPoint& point, CDrelView&, CShape& geometry) override
    {
        m_log.push_back("search " + layer.GetName());
        if (found.GetPointCount() == 0)
            return false;
        geometry.Copy(found);
        return true;
    }

    CShape found;

private:
    Log& m_log;
};

class CScriptedZoneDialogs : public IBufferZoneDialogs {
public:
    explicit CScriptedZoneDialogs(Log& log) : m_log(log) { SetBufferZoneDialogs(this); }
    ~CScriptedZoneDialogs() override { SetBufferZoneDialogs(nullptr); }
    bool AskRadius(CBufferZoneSettings& settings) override
    {
        m_log.push_back("radius");
        if (!radiusOk)
            return false;
        settings.radius = radius;
        settings.removePrevious = removePrevious;
        if (newStyle)
            settings.style = *newStyle;
        return true;
    }
    bool AskZoneType(int& type) override
    {
        m_log.push_back("zone type");
        type = zoneType;
        return zoneTypeOk;
    }
    CLayer* GetResultLayer(CDrelDoc&) override
    {
        m_log.push_back("result layer");
        return resultLayer;
    }

    bool radiusOk = true;
    double radius = 0.1;
    int removePrevious = 0;
    const CDrawStyle* newStyle = nullptr;
    bool zoneTypeOk = true;
    int zoneType = 1;
    CLayer* resultLayer = nullptr;

private:
    Log& m_log;
};

std::unique_ptr<CShape> Line(std::initializer_list<CMapPoint> points)
{
    auto shape = std::make_unique<CShape>();
    std::vector<CMapPoint> p(points);
    shape->SetPoints(static_cast<int>(p.size()), p.data());
    return shape;
}

bool IsEnabled(CDrelDoc& doc, int id)
{
    CCommandState state(id);
    EXPECT_TRUE(doc.OnUpdateCommand(state));
    return state.IsEnabled();
}

class BufferZoneSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
        CBufferZoneSet::Settings() = saved;
    }
    void TearDown() override { CBufferZoneSet::Settings() = saved; }

    CLayer& AddLayer(const std::string& name, int type)
    {
        CLayer& layer = *doc.GetLayer(doc.AddLayer(MakeLayer(name, type), false));
        window.activeLayer = &layer;
        return layer;
    }

    // A new GDB layer of the type in the test's folder.
    CLayer& AddFileLayer(const std::string& name, int type)
    {
        const std::string path = dir.File(name + ".gdb");
        CGdbSource source;
        EXPECT_TRUE(source.Create(path, type, nullptr));
        source.Close();
        return *doc.GetLayer(doc.AddLayer(std::make_unique<CLayer>(name, path, type), false));
    }

    const CBufferZoneSettings saved = CBufferZoneSet::Settings();
    Log log;
    CTempDir dir;
    CRecordingViewHost host;
    CScriptedUserServices user;
    CWindowWithLayer window;
    CDrelDoc doc;
    CDrelView view{doc};
    CFakeObjectSearch search{log};
    CScriptedZoneDialogs dialogs{log};
    CBufferZoneSet& zones = doc.BufferZones();
};

} // namespace

TEST_F(BufferZoneSetTest, TheFirstStyleIsAPurpleOutlineOverPurpleCrossHatching)
{
    const CDrawStyle& style = CBufferZoneSet::Settings().style;
    EXPECT_EQ(style.penStyle, 0u);
    EXPECT_EQ(style.penWidth, 0u);
    EXPECT_EQ(style.penColor, 0x800080u);
    EXPECT_EQ(style.backColor, 0u);
    EXPECT_EQ(style.brushStyle, BS_HATCHED);
    EXPECT_EQ(style.brushColor, 0x800080u);
    EXPECT_EQ(style.hatch, HS_DIAGCROSS);
    EXPECT_EQ(style.backMode, TRANSPARENT);
    EXPECT_EQ(CBufferZoneSet::Settings().radius, 1.0);
    EXPECT_EQ(CBufferZoneSet::Settings().removePrevious, 0);
}

TEST_F(BufferZoneSetTest, AClickNeedsAnActiveLayerAndAnObjectBeforeItAsksAnything)
{
    zones.AddAtPoint(view, 200, 100);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1022});
    EXPECT_TRUE(log.empty());

    AddLayer("Roads", CLayer::kLine);
    zones.AddAtPoint(view, 200, 100);
    EXPECT_EQ(log, Log{"search Roads"}) << "empty space: no question";
    EXPECT_EQ(zones.GetCount(), 0);
    EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(BufferZoneSetTest, ZonesByLayerType)
{
    struct Case {
        const char* name;
        int type;
        bool radiusOk;
        bool zoneTypeOk;
        int zoneType;
        Log asked;
        int zones;
        double area; // of the zone, square metres
    };
    // Round a 200 m line, 100 m each side (ends round); round a point a
    // circle; an area of 400 x 400 m grown, shrunk or its outline.
    const double band = 200 * 200 + 3.14159 * 100 * 100;
    const double point = 3.14159 * 100 * 100;
    const Case cases[] = {
        {"line", CLayer::kLine, true, true, 0, {"search L", "radius"}, 1, band},
        {"point", CLayer::kPoint, true, true, 0, {"search L", "radius"}, 1, point},
        {"track", CLayer::kTrack, true, true, 0, {"search L", "radius"}, 1, point},
        {"radius cancelled", CLayer::kLine, false, true, 0, {"search L", "radius"}, 0, 0},
        {"area grown", CLayer::kArea, true, true, 1, {"search L", "radius", "zone type"}, 1,
         400 * 400 + 4 * 400 * 100 + point},
        {"area shrunk", CLayer::kArea, true, true, 2, {"search L", "radius", "zone type"}, 1, 200 * 200},
        {"area outline", CLayer::kArea, true, true, 0, {"search L", "radius", "zone type"}, 1,
         400 * 400 + 4 * 400 * 100 + point - 200 * 200},
        {"zone type cancelled", CLayer::kArea, true, false, 1, {"search L", "radius", "zone type"}, 0, 0},
        {"raster", CLayer::kRaster, true, true, 0, {"search L", "radius"}, 0, 0},
    };
    for (const Case& c : cases) {
        zones.RemoveAll();
        log.clear();
        doc.Layers().RemoveAll();
        AddLayer("L", c.type);
        dialogs.radiusOk = c.radiusOk;
        dialogs.zoneTypeOk = c.zoneTypeOk;
        dialogs.zoneType = c.zoneType;
        // The ring as stored, its closing edge implicit.
        if (c.type == CLayer::kArea)
            search.found.Copy(*Line({{800, 700}, {1200, 700}, {1200, 300}, {800, 300}}));
        else if (c.type == CLayer::kLine)
            search.found.Copy(*Line({{900, 500}, {1100, 500}}));
        else
            search.found.Copy(*Line({{1000, 500}}));
        zones.AddAtPoint(view, 200, 100);
        EXPECT_EQ(log, c.asked) << c.name;
        ASSERT_EQ(zones.GetCount(), c.zones) << c.name;
        if (c.zones) {
            EXPECT_NEAR(zones.GetZone(0).shape.Area(), c.area, c.area * 0.02) << c.name;
        }
    }
}

TEST_F(BufferZoneSetTest, RemovingPreviousResultsAndANewStyleForLaterZones)
{
    AddLayer("L", CLayer::kPoint);
    search.found.Copy(*Line({{1000, 500}}));
    zones.AddAtPoint(view, 200, 100);
    CDrawStyle green = CBufferZoneSet::Settings().style;
    green.penColor = green.brushColor = RGB(0, 160, 0);
    dialogs.newStyle = &green;
    zones.AddAtPoint(view, 200, 100);
    ASSERT_EQ(zones.GetCount(), 2);
    EXPECT_EQ(zones.GetZone(0).style.penColor, 0x800080u) << "the zone made before keeps its style";
    EXPECT_EQ(zones.GetZone(1).style.penColor, RGB(0, 160, 0));

    CHintRecorder hints(doc);
    dialogs.removePrevious = 1;
    zones.AddAtPoint(view, 200, 100);
    EXPECT_EQ(zones.GetCount(), 1);
    EXPECT_EQ(hints.hints, (std::vector<uint32_t>{9, 9}));
    EXPECT_EQ(CBufferZoneSet::Settings().removePrevious, 1) << "kept for the next click";
}

TEST_F(BufferZoneSetTest, OnAGeographicMapAKilometreSpansMoreDegreesOfLongitude)
{
    // Centred at 55 degrees north: the metres of a degree come from the centre.
    CDrelDoc map;
    map.Settings().mapUnits = 0;
    map.Settings().limits = CMapRect(24, 56, 26, 54);
    const std::string path = dir.File("laukai.map");
    ASSERT_TRUE(map.OnSaveDocument(path));
    CDrelDoc geographic;
    ASSERT_TRUE(geographic.OnOpenDocument(path));
    CShape point;
    const CMapPoint centre(25, 55);
    point.SetPoints(1, &centre);
    geographic.BufferZones().AddZone(point, 1.0, CShape::kBufferBand);
    ASSERT_EQ(geographic.BufferZones().GetCount(), 1);
    const CMapRect box = geographic.BufferZones().GetZone(0).shape.GetExtent();
    EXPECT_NEAR(box.Height(), 2.0 / 111.3, 0.0005);
    EXPECT_NEAR(box.Width() / box.Height(), 1 / std::cos(55 * 3.14159265 / 180), 0.02);
}

TEST_F(BufferZoneSetTest, SaveAndRemoveAreEnabledOnlyWithZones)
{
    EXPECT_FALSE(IsEnabled(doc, CBufferZoneSet::kCmdSave));
    EXPECT_FALSE(IsEnabled(doc, CBufferZoneSet::kCmdRemove));
    zones.AddZone(*Line({{1000, 500}}), 0.1, CShape::kBufferBand);
    EXPECT_TRUE(IsEnabled(doc, CBufferZoneSet::kCmdSave));
    EXPECT_TRUE(IsEnabled(doc, CBufferZoneSet::kCmdRemove));

    CHintRecorder hints(doc);
    EXPECT_TRUE(doc.OnCommand(CBufferZoneSet::kCmdRemove));
    EXPECT_EQ(zones.GetCount(), 0);
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{9});
    EXPECT_FALSE(IsEnabled(doc, CBufferZoneSet::kCmdSave));
}

TEST_F(BufferZoneSetTest, ZonesAreDrawnInTheirOwnStyles)
{
    zones.AddZone(*Line({{500, 500}}), 0.2, CShape::kBufferBand);
    CDrawStyle solid = CBufferZoneSet::Settings().style;
    solid.brushStyle = BS_SOLID;
    solid.brushColor = RGB(0, 0, 255);
    CBufferZoneSet::Settings().style = solid;
    zones.AddZone(*Line({{1500, 500}}), 0.2, CShape::kBufferBand);

    QImage image(400, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(kPixelsPerMetre);
    image.setDotsPerMeterY(kPixelsPerMetre);
    image.fill(Qt::white);
    CDC dc(image);
    view.PrepareDCMapping(dc);
    zones.Draw(dc, view);
    auto count = [&](int x0, int x1, QRgb colour) {
        int n = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = x0; x < x1; ++x)
                n += image.pixel(x, y) == colour;
        return n;
    };
    // The hatched zone is mostly see-through, the solid one filled.
    const int purpleLeft = count(50, 150, qRgb(128, 0, 128));
    EXPECT_GT(purpleLeft, 300);
    EXPECT_GT(count(50, 150, qRgb(255, 255, 255)), purpleLeft);
    EXPECT_GT(count(250, 350, qRgb(0, 0, 255)), 3000);
}

TEST_F(BufferZoneSetTest, SavingWritesOneRecordAZoneWithItsNumberAsId)
{
    CLayer& target = AddFileLayer("Zonos", CLayer::kArea);
    target.SetExtent(CMapRect());
    dialogs.resultLayer = &target;
    zones.AddZone(*Line({{500, 500}}), 0.1, CShape::kBufferBand);
    zones.AddZone(*Line({{900, 500}, {1100, 500}}), 0.1, CShape::kBufferBand);
    CHintRecorder hints(doc);
    doc.SetModifiedFlag(false);

    EXPECT_TRUE(doc.OnCommand(CBufferZoneSet::kCmdSave));
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(zones.GetCount(), 0);
    EXPECT_EQ(hints.hints, (std::vector<uint32_t>{9, 0}));
    EXPECT_TRUE(doc.IsModified());
    // The layer's extent takes the zones in, so that they are drawn.
    EXPECT_NEAR(target.GetExtent().left, 400, 1);
    EXPECT_NEAR(target.GetExtent().right, 1200, 1);

    CLayerReader reader;
    ASSERT_TRUE(reader.Open(target.GetPath()));
    CFeatureSource& source = *reader.GetSource();
    ASSERT_EQ(source.GetTable().GetRecordCount(), 2);
    const int id = source.GetTable().FindField("Id");
    for (int n = 0; n < 2; ++n) {
        std::string text;
        ASSERT_TRUE(source.GetFieldText(n, id, text));
        EXPECT_EQ(text, std::to_string(n + 1));
        CShape shape;
        ASSERT_TRUE(source.ReadShape(n, shape));
        EXPECT_GT(shape.GetPointCount(), 30);
    }

    // Nothing to save, nothing asked.
    log.clear();
    EXPECT_FALSE(zones.SaveToLayer());
    EXPECT_TRUE(log.empty());
}

TEST_F(BufferZoneSetTest, AFailedSaveIsReportedAndKeepsTheZones)
{
    zones.AddZone(*Line({{500, 500}}), 0.1, CShape::kBufferBand);
    zones.AddZone(*Line({{1500, 500}}), 0.1, CShape::kBufferBand);
    CHintRecorder hints(doc);
    doc.SetModifiedFlag(false);

    // Cancelled: nothing happens.
    EXPECT_FALSE(zones.SaveToLayer());
    EXPECT_EQ(zones.GetCount(), 2);

    // A layer whose files are gone.
    CLayer& missing = AddLayer("Nera", CLayer::kArea);
    missing.SetPath(dir.File("nera.gdb"));
    dialogs.resultLayer = &missing;
    EXPECT_FALSE(zones.SaveToLayer());
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].helpId, 1007u);
    EXPECT_NE(user.messages[0].text.find("nera.gdb"), std::string::npos);
    EXPECT_EQ(zones.GetCount(), 2);

    // A layer that takes no areas: the source's own complaint, once.
    user.messages.clear();
    dialogs.resultLayer = &AddFileLayer("Taskai", CLayer::kPoint);
    EXPECT_FALSE(zones.SaveToLayer());
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(zones.GetCount(), 2);
    EXPECT_TRUE(hints.hints.empty());
    EXPECT_FALSE(doc.IsModified());
}
