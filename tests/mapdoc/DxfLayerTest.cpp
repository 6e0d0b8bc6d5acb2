// A DXF drawing added to a map as a layer: drawn, answering the
// information tool, its objects marked and shown by record number, on a
// view of 400 x 200 pixels over 2000 x 1000 metres.
#include "layers/Layer.h"

#include "core/Shape.h"
#include "layers/LayerQueries.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ShapeOverlay.h"
#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class CInfoHost : public CRecordingViewHost {
public:
    void ShowObjectInfo(const std::vector<std::string>& lines, const std::string& folder) override
    {
        infoLines = lines;
        infoFolder = folder;
    }
    std::vector<std::string> infoLines;
    std::string infoFolder;
};

// A street, a closed block, a round square, a town's name and a well, with
// CRLF line ends and blanks before the codes.
const char* const kDrawing[] = {
    "0", "SECTION", "2", "HEADER", "0", "ENDSEC",
    "0", "SECTION", "2", "ENTITIES",
    "0", "LINE", "8", "KELIAI", "62", "1", "10", "100", "20", "100", "11", "1900", "21", "100",
    "0", "TEXT", "8", "VARDAI", "10", "1000", "20", "900", "1", "Vilnius",
    "0", "LWPOLYLINE", "8", "KVARTALAI", "90", "4", "70", "1",
    "10", "300", "20", "300", "10", "700", "20", "300", "10", "700", "20", "700", "10", "300", "20", "700",
    "0", "POINT", "10", "1600", "20", "200",
    "0", "CIRCLE", "62", "3", "10", "1400", "20", "600", "40", "200",
    "0", "ENDSEC", "0", "EOF",
};

std::string DrawingText()
{
    std::string text;
    bool code = true;
    for (const char* line : kDrawing) {
        text += (code ? "  " : "") + std::string(line) + "\r\n";
        code = !code;
    }
    return text;
}

// The value of the information line whose value is the last field.
std::string Value(const std::vector<std::string>& lines, size_t index)
{
    if (index >= lines.size())
        return "?";
    const std::string& line = lines[index];
    return line.substr(line.find('\t') + 1);
}

class DxfLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        ShowTestMap(doc, view, window);
        doc.Settings().autoRecalcMapExtent = 0;
        path = dir.File("miestas.dxf");
        WriteWholeFile(path, DrawingText());
    }

    CInfoHost host;
    CScriptedUserServices user;
    CSurfaceWindow window;
    CTempDir dir;
    CDrelDoc doc;
    CDrelView view{doc};
    std::string path;
};

} // namespace

TEST_F(DxfLayerTest, AddedToAMapItDrawsAndAnswersTheInformationTool)
{
    CLayer* layer = doc.AddLayerFromFile(path, CDrelDoc::kVectorFile);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetType(), CLayer::kLine);
    EXPECT_FALSE(layer->GetIdField().empty()) << "the first field names the objects";

    QImage image(400, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(kPixelsPerMetre);
    image.setDotsPerMeterY(kPixelsPerMetre);
    image.fill(Qt::white);
    {
        CDC dc(image);
        view.OnDraw(dc);
    }
    if (const char* out = std::getenv("DREL_SAVE_PICTURES"))
        image.save(QString::fromUtf8(out) + "/dxf-layer.png");
    const auto drawn = [&](const CMapPoint& p) {
        const CPoint at = view.MapToClient(p);
        int dark = 0;
        for (int y = at.y - 1; y <= at.y + 1; ++y)
            for (int x = at.x - 1; x <= at.x + 1; ++x)
                dark += image.pixel(x, y) != qRgb(255, 255, 255); // the colour is drawn from a cycle
        return dark > 0;
    };
    for (const CMapPoint& p : {CMapPoint(1000, 100), CMapPoint(500, 300), CMapPoint(700, 500), CMapPoint(1400, 800),
                               CMapPoint(1200, 600)})
        EXPECT_TRUE(drawn(p)) << p.x << " " << p.y;
    EXPECT_FALSE(drawn(CMapPoint(500, 500))) << "inside the block";
    EXPECT_TRUE(user.messages.empty());

    // The information tool on the circle, then on the street before it.
    EXPECT_TRUE(layer->ShowObjectInfoAt(CMapPoint(1400, 810), view));
    ASSERT_EQ(host.infoLines.size(), 6u);
    EXPECT_EQ(Value(host.infoLines, 0), "0003");
    EXPECT_EQ(Value(host.infoLines, 2), "CIRCLE");
    EXPECT_EQ(Value(host.infoLines, 3), "3");
    EXPECT_EQ(Value(host.infoLines, 4), "1");
    EXPECT_EQ(host.infoFolder, dir.Path());
    EXPECT_EQ(host.messageTexts.back(), "0003");
    ASSERT_EQ(view.GetOverlayCount(), 1);
    const auto* circle = dynamic_cast<const CShapeOverlay*>(view.GetOverlay(0));
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->GetShape().GetPointCount(), 73);
    {
        CDC dc(image);
        view.OnDraw(dc);
    }
    EXPECT_EQ(image.pixel(view.MapToClient(CMapPoint(1400, 800)).x, view.MapToClient(CMapPoint(1400, 800)).y),
              qRgb(0, 150, 0))
        << "the circle is highlighted";
    if (const char* out = std::getenv("DREL_SAVE_PICTURES"))
        image.save(QString::fromUtf8(out) + "/dxf-information.png");

    EXPECT_TRUE(layer->ShowObjectInfoAt(CMapPoint(1000, 120), view));
    EXPECT_EQ(Value(host.infoLines, 0), "0001");
    EXPECT_EQ(Value(host.infoLines, 1), "KELIAI");
    EXPECT_EQ(Value(host.infoLines, 2), "LINE");
    EXPECT_EQ(host.messageTexts.back(), "0001");

    // Nothing near.
    EXPECT_FALSE(layer->ShowObjectInfoAt(CMapPoint(1000, 450), view));
    EXPECT_EQ(view.GetOverlayCount(), 0);
}

TEST_F(DxfLayerTest, RecordsAreReadByNumberForwardsAndBackwards)
{
    CLayer& lines = *doc.GetLayer(doc.AddLayer(std::make_unique<CLayer>("linijos", path, CLayer::kLine), false));
    lines.SetIdField("LABEL");

    // Behind the record read last: the reading starts again.
    lines.ShowRecords({2, 0, 1}, view, false);
    ASSERT_EQ(view.GetOverlayCount(), 3);
    EXPECT_EQ(dynamic_cast<const CShapeOverlay*>(view.GetOverlay(0))->GetShape().GetPointCount(), 73);
    EXPECT_EQ(dynamic_cast<const CShapeOverlay*>(view.GetOverlay(1))->GetShape().GetPoint(1), CMapPoint(1900, 100));
    EXPECT_EQ(dynamic_cast<const CShapeOverlay*>(view.GetOverlay(2))->GetShape().GetPointCount(), 5);
    lines.ShowRecords({0, 5}, view, false);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028}) << "the drawing has three shapes";
    EXPECT_EQ(view.GetOverlayCount(), 1);

    lines.ShowRecord(1, view, true);
    ASSERT_EQ(view.GetOverlayCount(), 1);
    EXPECT_EQ(dynamic_cast<const CShapeOverlay*>(view.GetOverlay(0))->GetShape().GetPoint(0), CMapPoint(300, 300));
    const CMapPoint centre = view.GetMapExtent().Center();
    EXPECT_NEAR(centre.x, 500, 1e-6);
    EXPECT_NEAR(centre.y, 500, 1e-6);
    host.infoLines.clear();
    lines.ShowRecordInfo(2, false);
    EXPECT_EQ(Value(host.infoLines, 2), "CIRCLE");
    lines.ShowRecordInfo(0, false);
    EXPECT_EQ(Value(host.infoLines, 2), "LINE");
}

TEST_F(DxfLayerTest, AsPointsAndAsAreas)
{
    CLayer& names = *doc.GetLayer(doc.AddLayer(std::make_unique<CLayer>("vardai", path, CLayer::kPoint), false));
    names.SetIdField("LABEL");
    CLayer& blocks = *doc.GetLayer(doc.AddLayer(std::make_unique<CLayer>("kvartalai", path, CLayer::kArea), false));
    blocks.SetIdField("LAYER");

    CShape geometry;
    std::string name;
    EXPECT_EQ(names.MarkObjectAt(CMapPoint(1010, 890), view, geometry, &name), 1);
    EXPECT_EQ(name, "Vilnius");
    EXPECT_EQ(geometry.GetPoint(0), CMapPoint(1000, 900));
    EXPECT_EQ(names.MarkObjectAt(CMapPoint(1590, 230), view, geometry, &name), 1);
    EXPECT_EQ(name, "0002");
    // The drawing offers its nearest point however far; the tool takes
    // only what lies near the click.
    CLayerReader reader;
    EXPECT_EQ(names.HitTest(CMapPoint(600, 500), reader, view), -2);

    EXPECT_TRUE(blocks.ShowObjectInfoAt(CMapPoint(500, 500), view));
    EXPECT_EQ(host.messageTexts.back(), "KVARTALAI");
    EXPECT_EQ(Value(host.infoLines, 4), "1");
    // The round square keeps the layer of the block before it.
    EXPECT_TRUE(blocks.ShowObjectInfoAt(CMapPoint(1450, 650), view));
    EXPECT_EQ(host.messageTexts.back(), "KVARTALAI");
    EXPECT_EQ(Value(host.infoLines, 2), "CIRCLE");
    EXPECT_FALSE(blocks.ShowObjectInfoAt(CMapPoint(900, 500), view));

    std::vector<CNamedPoint> points;
    ASSERT_TRUE(names.GetNamedPoints(points));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name, "Vilnius");
    EXPECT_EQ(points[1].name, "0002");
}
