// The map view's two drawing passes over real layer files: the objects of
// every shown layer, then their labels.
#include "core/CoordConverter.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LonLatTableSource.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "platform/WindowSurface.h"
#include "render/PointSymbolHook.h"
#include "tests/core/FieldLists.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kRoad = RGB(255, 0, 0);

std::vector<CPoint> g_symbols;

int RecordSymbol(CDC&, int x, int y, const CPointStyle&, int)
{
    g_symbols.emplace_back(x, y);
    return 1;
}

COLORREF PixelAt(const QImage& image, CPoint p)
{
    const QRgb c = image.pixel(p.x, p.y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

// Letters are smoothed: their ink is every dark pixel.
int DarkPixels(const QImage& image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark;
}

class LayerPasses : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        SetPointSymbolDrawer(RecordSymbol);
        g_symbols.clear();
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
    }
    void TearDown() override { SetPointSymbolDrawer(nullptr); }

    // A road along y = 500 named "Pylimo g.".
    std::string MakeRoad(const std::string& name)
    {
        const std::string path = dir.File(name + ".gdb");
        CGdbSource source;
        EXPECT_TRUE(source.Create(path, CFeatureSource::kLine, FieldList({{"NAME", 'C', 20, 0}}).data()));
        CShape road;
        road.SetPoints(2, std::vector<CMapPoint>{{100, 500}, {1900, 500}}.data());
        EXPECT_TRUE(source.AppendShape(road, false));
        source.GetTable().SetField(0, "Pylimo g.");
        EXPECT_TRUE(source.GetTable().WriteRecord());
        return path;
    }

    CLayer& AddRoadLayer(const std::string& path)
    {
        auto layer = std::make_unique<CLayer>("Roads", path, CLayer::kLine);
        CSublayer& sublayer = *layer->GetSublayer(0);
        CDrawStyle style;
        style.penWidth = 40;
        style.penColor = kRoad;
        style.brushStyle = BS_HOLLOW;
        sublayer.m_style = style;
        sublayer.m_labelField = "NAME";
        CLayer& added = *layer;
        doc.AddLayer(std::move(layer), false);
        return added;
    }

    std::unique_ptr<CDrelView> MakeView(CDrelDoc& document)
    {
        auto view = std::make_unique<CDrelView>(document);
        view->SetWindow(&window);
        view->OnSize(400, 200);
        return view;
    }

    QImage Paint(CDrelView& view)
    {
        QImage image(400, 200, QImage::Format_RGB32);
        image.setDotsPerMeterX(kPixelsPerMetre);
        image.setDotsPerMeterY(kPixelsPerMetre);
        image.fill(Qt::black);
        CDC dc(image);
        view.OnDraw(dc);
        return image;
    }

    CTempDir dir;
    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
};

TEST_F(LayerPasses, ShownLayersDrawTheirObjectsAndLabelsIntoTheWindowAndTheBackBuffer)
{
    AddRoadLayer(MakeRoad("road"));
    auto view = MakeView(doc);
    const CPoint onRoad = view->MapToClient(CMapPoint(300, 500));

    const QImage drawn = Paint(*view);
    EXPECT_EQ(PixelAt(drawn, onRoad), kRoad);
    const int ink = DarkPixels(drawn);
    EXPECT_GT(ink, 20) << "the road's name";
    const QImage copied = Paint(*view);
    EXPECT_EQ(PixelAt(copied, onRoad), kRoad) << "from the back buffer";
    EXPECT_EQ(DarkPixels(copied), ink);

    // Each pass places its labels anew.
    view->Redraw();
    EXPECT_EQ(DarkPixels(Paint(*view)), ink);

    doc.SetLayerVisible(doc.GetLayer(0), false);
    view->Redraw();
    const QImage hidden = Paint(*view);
    EXPECT_NE(PixelAt(hidden, onRoad), kRoad);
    EXPECT_EQ(DarkPixels(hidden), 0);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerPasses, AFileThatWillNotOpenIsReportedOnceEachTimeTheMapOpens)
{
    const std::string road = MakeRoad("road");
    AddRoadLayer(road);
    const std::string map = dir.File("roads.map");
    ASSERT_TRUE(doc.OnSaveDocument(map));
    ASSERT_TRUE(RemoveFile(road));

    for (int open = 1; open <= 2; ++open) {
        CDrelDoc opened;
        ASSERT_TRUE(opened.OnOpenDocument(map));
        auto view = MakeView(opened);
        for (int pass = 0; pass < 3; ++pass) {
            view->Redraw();
            Paint(*view);
        }
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>(open, 1007));
    }
}

TEST_F(LayerPasses, PointTablesInDegreesArePlacedByTheMapsConverter)
{
    // A map in the Transverse Mercator grid round Vilnius, its sights kept in degrees.
    CMapPoint vilnius(25.28, 54.69);
    doc.SetCoordSystem(kCoordTm);
    CMapPoint centre = vilnius;
    doc.GeoToMap(centre);
    SetMetreMap(doc, CMapRect(centre.x - 2000, centre.y + 1000, centre.x + 2000, centre.y - 1000));
    const std::string path = dir.File("sights.dbf");
    {
        CLonLatTableSource table;
        ASSERT_TRUE(table.Create(path, CFeatureSource::kPoint,
                                 FieldList({{"Lon", 'N', 13, 8}, {"Lat", 'N', 13, 8}}).data()));
        ASSERT_TRUE(table.AppendPoint(vilnius, true));
    }
    doc.AddLayer(std::make_unique<CLayer>("Sights", path, CLayer::kPoint), false);
    auto view = MakeView(doc);
    Paint(*view);
    // The window and the back buffer.
    ASSERT_EQ(g_symbols.size(), 2u);
    EXPECT_EQ(g_symbols[0], view->MapToDevice(centre));
}

} // namespace
