#include "render/LayerDrawing.h"

#include "core/Shape.h"
#include "layers/GdbSource.h"
#include "layers/GridLayer.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerDrawer.h"
#include "layers/LonLatTableSource.h"
#include "layers/Sublayer.h"
#include "platform/DC.h"
#include "platform/VirtualKeys.h"
#include "render/PointSymbolHook.h"
#include "render/RasterLayerPicture.h"
#include "tests/core/FieldLists.h"
#include "tests/core/GeometryText.h"
#include "tests/render/FakeDrawingView.h"
#include "tests/render/GifFixtures.h"
#include "tests/render/JpegFixtures.h"
#include "tests/render/PictureFixtures.h"
#include "tests/render/PngFixtures.h"
#include "tests/render/RasterFixtures.h"
#include "tests/render/TiffFixtures.h"
#include "tests/support/ScriptedInputQueue.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kYellowish = RGB(250, 220, 60);
constexpr int kCentred = 24;

// The symbols asked for; each is drawn as a 3 x 3 pixel square in its colour.
struct CDrawnSymbol {
    CDC* dc;
    CPoint at;
    CPointStyle style;
    int scale;
};
std::vector<CDrawnSymbol> g_symbols;

int RecordSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    g_symbols.push_back({&dc, CPoint(x, y), style, scale});
    dc.FillSolidRect(CRect(x - 15, y - 15, x + 15, y + 15), style.color);
    return 1;
}

// One object of a test file: its geometry as GeometryText writes it and
// its field values in field order.
struct CObjectSpec {
    std::string geometry;
    std::vector<std::string> values;
};

CDrawStyle Pen(COLORREF colour, uint32_t width, uint32_t code = PS_SOLID)
{
    CDrawStyle style;
    style.penStyle = code;
    style.penWidth = width;
    style.penColor = colour;
    style.brushStyle = BS_HOLLOW;
    return style;
}

CDrawStyle Fill(COLORREF outline, COLORREF fill, uint32_t width = 10)
{
    CDrawStyle style = Pen(outline, width);
    style.brushStyle = BS_SOLID;
    style.brushColor = fill;
    return style;
}

CDrawStyle DoubleLine(COLORREF outer, uint32_t outerWidth, COLORREF inner, uint32_t innerWidth)
{
    CDrawStyle style = Pen(outer, (innerWidth << 16) | outerWidth, CDrawStyle::kDoubleLine);
    style.backColor = inner;
    return style;
}

CPointStyle Symbol(int number, COLORREF colour)
{
    CPointStyle style;
    style.symbol = static_cast<uint16_t>(number);
    style.color = colour;
    return style;
}

// A pen of its own colour for every number class: the values 1, 2, ... in
// order, then the other values.
void Classify(CSublayer& sublayer, const std::string& field, int geometryType,
              const std::vector<CStyleRecord>& styles, const CStyleRecord& others)
{
    sublayer.m_kind = CSublayer::kClassified;
    sublayer.m_classField = field;
    sublayer.m_classes.SetKind(true, true);
    for (size_t k = 0; k < styles.size(); ++k)
        sublayer.m_classes.InsertNumberClass(static_cast<int>(k), geometryType, static_cast<double>(k + 1))->m_style =
            styles[k];
    sublayer.m_classes.AddClass(geometryType)->m_style = others;
}

class LayerDrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        InstallLayerDrawing();
        SetPointSymbolDrawer(RecordSymbol);
        g_symbols.clear();
        SetDrawStopFlag(0);
        view.PrepareDCMapping(dc);
    }
    void TearDown() override
    {
        SetLayerDrawer(nullptr);
        SetPointSymbolDrawer(nullptr);
        SetDrawStopFlag(0);
    }

    // A GDB file of the objects with fields N (a number) and NAME, or those given.
    std::string MakeGdb(const std::string& name, int type, const std::vector<CObjectSpec>& objects,
                        std::initializer_list<FieldSpec> fields = {{"N", 'N', 6, 0}, {"NAME", 'C', 20, 0}})
    {
        const std::string path = dir.File(name + ".gdb");
        CGdbSource source;
        EXPECT_TRUE(source.Create(path, type, FieldList(fields).data()));
        for (const CObjectSpec& object : objects) {
            const bool appended = type == CFeatureSource::kPoint
                                      ? source.AppendPoint(ParsePoints(object.geometry).at(0), false)
                                      : source.AppendShape(Shape(object.geometry), false);
            EXPECT_TRUE(appended) << object.geometry;
            for (size_t i = 0; i < object.values.size(); ++i)
                source.GetTable().SetField(static_cast<int>(i), object.values[i]);
            EXPECT_TRUE(source.GetTable().WriteRecord());
        }
        return path;
    }

    // A track of fixes in map units, each with its START text when the
    // table has the field.
    std::string MakeTrack(const std::string& name, const std::vector<CMapPoint>& fixes,
                          const std::vector<std::string>& starts = {})
    {
        const std::string path = dir.File(name + ".trk");
        std::vector<FieldSpec> fields = {{"Lon", 'N', 13, 8}, {"Lat", 'N', 13, 8}};
        if (!starts.empty())
            fields.push_back({"START", 'C', 1, 0});
        std::vector<CDbfFieldInfo> list;
        for (const FieldSpec& f : fields)
            list.emplace_back().Set(f.name, f.type, static_cast<unsigned>(f.length), static_cast<unsigned>(f.decimals));
        list.emplace_back().Set("", 0, 0, 0);
        CLonLatTableSource source;
        EXPECT_TRUE(source.Create(path, CFeatureSource::kPoint, list.data()));
        for (size_t i = 0; i < fixes.size(); ++i) {
            EXPECT_TRUE(source.AppendPoint(fixes[i], false));
            if (!starts.empty())
                source.GetTable().SetField(2, starts[i]);
            EXPECT_TRUE(source.GetTable().WriteRecord());
        }
        return path;
    }

    std::unique_ptr<CLayer> MakeLayer(const std::string& path, int type)
    {
        auto layer = std::make_unique<CLayer>("Layer", path, type);
        CSublayer& sublayer = *layer->GetSublayer(0);
        if (type == CLayer::kLine)
            sublayer.m_style = Pen(kBlack, 10);
        else if (type == CLayer::kArea)
            sublayer.m_style = Fill(kBlack, kBlue);
        else if (type == CLayer::kPoint)
            sublayer.m_style = Symbol(3, kRed);
        return layer;
    }

    // The window white again.
    void Clear() { dc.FillSolidRect(view.GetDeviceRect(), kWhite); }

    // The pixel at a map point of the window (or the back buffer).
    COLORREF Pixel(double x, double y, bool back = false)
    {
        dc.Flush();
        return At(back ? view.backBuffer : view.window, static_cast<int>(x), static_cast<int>(-y));
    }

    CTempDir dir;
    CScriptedUserServices user;
    CFakeDrawingView view{100, 80};
    CDC dc{view.window};
};

TEST_F(LayerDrawingTest, AFileThatWillNotOpenIsReportedOnceAndOneOutsideTheViewIsNotOpened)
{
    const std::string gone = dir.File("gone.gdb");
    auto layer = MakeLayer(gone, CLayer::kLine);
    layer->GetSublayer(0)->m_labelField = "NAME";
    for (int pass = 0; pass < 3; ++pass) {
        layer->Draw(dc, view);
        layer->DrawLabels(dc, view);
    }
    ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{1007});
    EXPECT_NE(user.messages[0].text.find(gone), std::string::npos);

    // Wholly left of the view: the file is never opened, so never reported.
    auto outside = MakeLayer(dir.File("also-gone.gdb"), CLayer::kLine);
    outside->SetExtent(CMapRect(-300, -10, -200, -70));
    outside->Draw(dc, view);
    EXPECT_EQ(user.messages.size(), 1u);

    // A file that comes back draws, and is told of again when it goes again.
    MakeGdb("gone", CFeatureSource::kLine, {{"10 -40, 90 -40", {"1", "A"}}});
    layer->Draw(dc, view);
    EXPECT_EQ(Pixel(50, -40), kBlack);
    EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(LayerDrawingTest, ObjectsLandOnTheirPixelsInBothContexts)
{
    CDC back(view.backBuffer);
    view.PrepareDCMapping(back);
    view.memoryDC = &back;

    auto points = MakeLayer(MakeGdb("points", CFeatureSource::kPoint, {{"20 -30", {"1"}}}), CLayer::kPoint);
    auto lines = MakeLayer(MakeGdb("lines", CFeatureSource::kLine, {{"10 -10, 90 -10", {"1"}}}), CLayer::kLine);
    auto areas = MakeLayer(MakeGdb("areas", CFeatureSource::kArea, {{"40 -40, 70 -40, 70 -70, 40 -70", {"1"}}}),
                           CLayer::kArea);
    areas->GetSublayer(0)->m_style = Fill(kRed, kBlue, 20);
    auto track = MakeLayer(MakeTrack("track", {{10, -75}, {50, -75}, {90, -75}}), CLayer::kTrack);
    CTrackStyle trackStyle;
    trackStyle.symbol = 7;
    trackStyle.penWidth = 10;
    trackStyle.penColor = kGreen;
    track->GetSublayer(0)->m_style = trackStyle;
    for (CLayer* layer : {points.get(), lines.get(), areas.get(), track.get()})
        layer->Draw(dc, view);

    const struct {
        const char* what;
        double x, y;
        COLORREF colour;
    } probes[] = {
        {"the point's symbol", 20, -30, kRed},
        {"beside it", 23, -30, kWhite},
        {"on the line", 50, -10, kBlack},
        {"off the line", 50, -14, kWhite},
        {"inside the area", 55, -55, kBlue},
        {"its outline", 40, -55, kRed},
        {"outside it", 35, -55, kWhite},
        {"the track line", 30, -75, kGreen},
        {"beside it", 30, -72, kWhite},
    };
    for (bool inBack : {false, true})
        for (const auto& p : probes)
            EXPECT_EQ(Pixel(p.x, p.y, inBack), p.colour) << p.what << (inBack ? " in the back buffer" : "");

    // Each symbol into both contexts; the track's fixes with its symbol.
    ASSERT_EQ(g_symbols.size(), 8u);
    EXPECT_EQ(g_symbols[0].at, CPoint(200, 300));
    EXPECT_EQ(g_symbols[0].dc, &dc);
    EXPECT_EQ(g_symbols[1].dc, &back);
    EXPECT_EQ(g_symbols[0].scale, 1000);
    for (size_t i = 2; i < g_symbols.size(); ++i) {
        EXPECT_EQ(g_symbols[i].style.symbol, 7);
        EXPECT_EQ(g_symbols[i].style.kind, CPointStyle::kLibrary);
    }
    EXPECT_EQ(g_symbols[6].at, CPoint(900, 750));

    // The source told the layers where their objects lie.
    EXPECT_EQ(lines->GetExtent(), CMapRect(10, -10, 90, -10));
}

TEST_F(LayerDrawingTest, PointsAreReadInTheViewAndLinesAndAreasAlittleBeyondItAndClipped)
{
    auto points = MakeLayer(MakeGdb("points", CFeatureSource::kPoint, {{"99 -40", {}}, {"101 -40", {}}}),
                            CLayer::kPoint);
    points->Draw(dc, view);
    ASSERT_EQ(g_symbols.size(), 1u);
    EXPECT_EQ(g_symbols[0].at, CPoint(990, 400));

    // A wide line just right of the view still reaches into it; one beyond
    // the margin of a tenth is not read at all.
    auto nearLine = MakeLayer(MakeGdb("near", CFeatureSource::kLine, {{"102 -10, 102 -30", {}}}), CLayer::kLine);
    nearLine->GetSublayer(0)->m_style = Pen(kRed, 60);
    auto farLine = MakeLayer(MakeGdb("far", CFeatureSource::kLine, {{"106 -50, 106 -70", {}}}), CLayer::kLine);
    farLine->GetSublayer(0)->m_style = Pen(kRed, 160);
    // From far out of the conversion's range into the view.
    auto longLine = MakeLayer(MakeGdb("long", CFeatureSource::kLine, {{"-1e12 -40, 50 -40", {}}}), CLayer::kLine);
    for (CLayer* layer : {nearLine.get(), farLine.get(), longLine.get()})
        layer->Draw(dc, view);
    EXPECT_EQ(Pixel(99, -20), kRed);
    EXPECT_EQ(Pixel(99, -60), kWhite);
    EXPECT_EQ(Pixel(1, -40), kBlack);
    EXPECT_EQ(Pixel(49, -40), kBlack);
    EXPECT_EQ(Pixel(52, -40), kWhite);
}

TEST_F(LayerDrawingTest, ClassesStyleTheirObjectsAndInvisibleClassesAreLeftOut)
{
    const std::vector<CObjectSpec> rows = {{"10 -10, 90 -10", {"1"}}, {"10 -20, 90 -20", {"2"}},
                                           {"10 -30, 90 -30", {"3"}}};
    auto lines = MakeLayer(MakeGdb("lines", CFeatureSource::kLine, rows), CLayer::kLine);
    Classify(*lines->GetSublayer(0), "N", CLayer::kLine, {Pen(kRed, 10), Pen(kRed, 10, PS_NULL)}, Pen(kBlue, 10));
    lines->Draw(dc, view);
    EXPECT_EQ(Pixel(50, -10), kRed);
    EXPECT_EQ(Pixel(50, -20), kWhite) << "pen style 5 is not drawn";
    EXPECT_EQ(Pixel(50, -30), kBlue) << "a value in no class takes the last class";

    // A classification field the table lacks: all in the sublayer's style.
    lines->GetSublayer(0)->m_classField = "NONE";
    lines->GetSublayer(0)->m_style = Pen(kGreen, 10);
    lines->Draw(dc, view);
    for (double y : {-10, -20, -30})
        EXPECT_EQ(Pixel(50, y), kGreen);

    // Areas: an invisible pen leaves them out only with a hollow brush.
    auto areas = MakeLayer(MakeGdb("areas", CFeatureSource::kArea,
                                   {{"10 -40, 30 -40, 30 -60, 10 -60", {"1"}},
                                    {"40 -40, 60 -40, 60 -60, 40 -60", {"2"}},
                                    {"70 -40, 90 -40, 90 -60, 70 -60", {"7"}}}),
                           CLayer::kArea);
    CDrawStyle hidden = Pen(kBlack, 10, PS_NULL);
    CDrawStyle fillOnly = Fill(kBlack, kYellowish);
    fillOnly.penStyle = PS_NULL;
    Classify(*areas->GetSublayer(0), "N", CLayer::kArea, {hidden, fillOnly}, Fill(kBlack, kRed));
    areas->Draw(dc, view);
    EXPECT_EQ(Pixel(20, -50), kWhite);
    EXPECT_EQ(Pixel(50, -50), kYellowish);
    EXPECT_EQ(Pixel(80, -50), kRed);

    // Points take the symbol of their class.
    auto points = MakeLayer(MakeGdb("points", CFeatureSource::kPoint, {{"10 -70", {"2"}}, {"20 -70", {"5"}}}),
                            CLayer::kPoint);
    Classify(*points->GetSublayer(0), "N", CLayer::kPoint, {Symbol(1, kRed), Symbol(2, kGreen)}, Symbol(3, kBlue));
    points->Draw(dc, view);
    ASSERT_EQ(g_symbols.size(), 2u);
    EXPECT_EQ(g_symbols[0].style.symbol, 2);
    EXPECT_EQ(g_symbols[1].style.symbol, 3);
}

TEST_F(LayerDrawingTest, RecordStylesFollowTheClassOfTheirValue)
{
    auto layer = MakeLayer(MakeGdb("lines", CFeatureSource::kLine,
                                   {{"0 0, 1 1", {"1"}}, {"0 0, 1 1", {"2"}}, {"0 0, 1 1", {"9"}}}),
                           CLayer::kLine);
    CSublayer& sublayer = *layer->GetSublayer(0);
    Classify(sublayer, "N", CLayer::kLine, {Pen(kRed, 1), Pen(kGreen, 1)}, Pen(kBlue, 1));
    CGdbSource source;
    ASSERT_TRUE(source.Open(layer->GetPath()));
    CDbfTable& table = source.GetTable();
    EXPECT_EQ(layer->GetRecordStyle(1000, table, 0), &sublayer.m_classes.GetClass(0)->m_style);
    EXPECT_EQ(layer->GetRecordStyle(1000, table, 1), &sublayer.m_classes.GetClass(1)->m_style);
    EXPECT_EQ(layer->GetRecordStyle(1000, table, 2), &sublayer.m_classes.GetClass(2)->m_style);
    EXPECT_EQ(layer->GetRecordStyle(1000, table, -1), &sublayer.m_classes.GetClass(2)->m_style)
        << "the record the table stands on";
    sublayer.m_classField = "NONE";
    EXPECT_EQ(layer->GetRecordStyle(1000, table, 0), &sublayer.m_style);
    sublayer.m_lowerLimit = 5000;
    EXPECT_EQ(layer->GetRecordStyle(1000, table, 0), nullptr) << "no sublayer in force";
}

TEST_F(LayerDrawingTest, DoubleLinesLayEveryOuterPenBeforeAnyInnerPen)
{
    // A road along row 40 crossing one along column 50: the outer pen 9
    // pixels wide, the inner one 3.
    const std::vector<CObjectSpec> roads = {{"10 -40, 90 -40", {"1"}}, {"50 -10, 50 -70", {"1"}}};
    for (bool classified : {false, true}) {
        SCOPED_TRACE(classified ? "classified" : "one style");
        Clear();
        auto layer = MakeLayer(MakeGdb(classified ? "classified" : "plain", CFeatureSource::kLine, roads),
                               CLayer::kLine);
        const CDrawStyle road = DoubleLine(kBlack, 90, kYellowish, 30);
        if (classified)
            Classify(*layer->GetSublayer(0), "N", CLayer::kLine, {road}, Pen(kRed, 10));
        else
            layer->GetSublayer(0)->m_style = road;
        layer->Draw(dc, view);
        EXPECT_EQ(Pixel(50, -40), kYellowish) << "the crossing";
        EXPECT_EQ(Pixel(47, -40), kYellowish) << "the first road's inside over the second road's outside";
        EXPECT_EQ(Pixel(50, -47), kYellowish) << "the second road's inside";
        EXPECT_EQ(Pixel(47, -37), kBlack) << "outsides";
        EXPECT_EQ(Pixel(20, -37), kBlack);
        EXPECT_EQ(Pixel(20, -40), kYellowish);
    }
}

// Deletes records of a layer through a second handle at the pass's first
// poll, as another program might while the map draws.
class CDeletingInputQueue : public CScriptedInputQueue {
public:
    CDeletingInputQueue(std::string path, std::vector<int> records)
        : m_path(std::move(path)), m_records(std::move(records))
    {
    }
    void Poll(const std::function<WaitingInputAction(const CWaitingInput&)>& judge) override
    {
        if (!m_records.empty()) {
            CGdbSource other;
            ASSERT_TRUE(other.Open(m_path));
            for (int n : m_records)
                EXPECT_TRUE(other.DeleteRecord(n));
            m_records.clear();
        }
        CScriptedInputQueue::Poll(judge);
    }

private:
    std::string m_path;
    std::vector<int> m_records;
};

TEST_F(LayerDrawingTest, TheInnerPassPassesOverRecordsGoneSinceTheOuterPass)
{
    // Eight roads, rows 5 to 40, of two classes taken in turn; the first
    // poll comes after the eighth, when every outer pen is down. Road 2 and
    // the last two go then: the others keep the inner pen of their class.
    std::vector<CObjectSpec> roads;
    for (int i = 0; i < 8; ++i)
        roads.push_back({"10 -" + std::to_string(5 * (i + 1)) + ", 90 -" + std::to_string(5 * (i + 1)),
                         {std::to_string(i % 2 + 1)}});
    const std::string path = MakeGdb("roads", CFeatureSource::kLine, roads);
    auto layer = MakeLayer(path, CLayer::kLine);
    Classify(*layer->GetSublayer(0), "N", CLayer::kLine,
             {DoubleLine(kBlack, 30, kYellowish, 10), DoubleLine(kBlack, 30, kGreen, 10)}, Pen(kRed, 10));
    CDeletingInputQueue queue(path, {2, 6, 7});
    layer->Draw(dc, view);
    for (int i = 0; i < 8; ++i) {
        const bool gone = i == 2 || i >= 6;
        EXPECT_EQ(Pixel(50, -5 * (i + 1)), gone ? kBlack : i % 2 ? kGreen : kYellowish) << "road " << i;
    }
}

TEST_F(LayerDrawingTest, SymbolsTurnByTheRotationFieldWithItsFlag)
{
    auto points = MakeLayer(MakeGdb("points", CFeatureSource::kPoint,
                                    {{"10 -10", {"12.34"}}, {"20 -10", {"-7.99"}}, {"30 -10", {""}}},
                                    {{"ROT", 'N', 8, 2}}),
                            CLayer::kPoint);
    CSublayer& sublayer = *points->GetSublayer(0);
    sublayer.m_rotationField = "ROT";
    points->Draw(dc, view);
    sublayer.m_labelFlags = CSublayer::kRotatedSymbols;
    points->Draw(dc, view);
    std::vector<int> angles;
    for (const CDrawnSymbol& s : g_symbols)
        angles.push_back(s.style.angle);
    EXPECT_EQ(angles, (std::vector<int>{0, 0, 0, 123, -79, 0}));
}

TEST_F(LayerDrawingTest, TracksSplitAtStartAndAreReadWholeSoTheyDoNotJumpAcrossTheView)
{
    CTrackStyle style;
    style.symbol = 4;
    style.penWidth = 10;
    style.penColor = kRed;
    const std::vector<CMapPoint> fixes = {{10, -40}, {20, -40}, {30, -40}, {40, -40}, {50, -40},
                                          {60, -40}, {70, -40}, {80, -40}, {90, -40}};
    auto trips = MakeLayer(MakeTrack("trips", fixes, {"*", "", "", "", "", "*", "", "", ""}), CLayer::kTrack);
    trips->GetSublayer(0)->m_style = style;
    trips->Draw(dc, view);
    EXPECT_EQ(Pixel(35, -40), kRed);
    EXPECT_EQ(Pixel(55, -40), kWhite) << "records 0-4 and 5 on";
    EXPECT_EQ(Pixel(75, -40), kRed);

    auto whole = MakeLayer(MakeTrack("whole", {{10, -60}, {50, -60}, {90, -60}}), CLayer::kTrack);
    whole->GetSublayer(0)->m_style = style;
    whole->Draw(dc, view);
    EXPECT_EQ(Pixel(55, -60), kRed) << "without START one line";

    // Out of the view to the right and back: the line goes round, not
    // straight down the left; only the fixes in the view get symbols.
    Clear();
    g_symbols.clear();
    auto away = MakeLayer(MakeTrack("away", {{20, -20}, {150, -20}, {150, -60}, {20, -60}}), CLayer::kTrack);
    away->GetSublayer(0)->m_style = style;
    away->Draw(dc, view);
    EXPECT_EQ(Pixel(20, -40), kWhite);
    EXPECT_EQ(Pixel(60, -20), kRed);
    EXPECT_EQ(Pixel(60, -60), kRed);
    EXPECT_EQ(Pixel(99, -40), kWhite);
    EXPECT_EQ(g_symbols.size(), 2u);

    // No line when it is not shown or its pen is invisible; the fixes still show.
    for (const bool shown : {false, true}) {
        Clear();
        g_symbols.clear();
        CTrackStyle hidden = style;
        hidden.lineShown = shown ? 1 : 0;
        if (shown)
            hidden.penStyle = PS_NULL;
        away->GetSublayer(0)->m_style = hidden;
        away->Draw(dc, view);
        EXPECT_EQ(Pixel(60, -20), kWhite);
        EXPECT_EQ(g_symbols.size(), 2u);
    }
}

TEST_F(LayerDrawingTest, ATrackPenWithMarksDrawsTheFixesInPairs)
{
    // Arrows at both ends of each piece: with the track every fix gets
    // them, a line of the same pen only its two ends.
    const CDrawStyle arrows = Pen(kBlack, 10, 14);
    CTrackStyle style;
    style.penStyle = 14;
    style.penWidth = 10;
    style.penColor = kBlack;
    auto track = MakeLayer(MakeTrack("arrows", {{10, -20}, {50, -20}, {90, -20}}), CLayer::kTrack);
    track->GetSublayer(0)->m_style = style;
    track->Draw(dc, view);
    auto line = MakeLayer(MakeGdb("arrows", CFeatureSource::kLine, {{"10 -60, 50 -60, 90 -60", {}}}), CLayer::kLine);
    line->GetSublayer(0)->m_style = arrows;
    line->Draw(dc, view);
    const auto inkAround = [&](double y) {
        int ink = 0;
        for (int x = 40; x <= 60; ++x)
            for (int dy = 2; dy <= 6; ++dy)
                ink += Pixel(x, y + dy) != kWhite;
        return ink;
    };
    EXPECT_GT(inkAround(-20), 0);
    EXPECT_EQ(inkAround(-60), 0);
}

TEST_F(LayerDrawingTest, StylePassesReplaceTheSublayerStyle)
{
    auto lines = MakeLayer(MakeGdb("lines", CFeatureSource::kLine, {{"10 -10, 90 -10", {}}}), CLayer::kLine);
    lines->StylePasses() = {{2, Fill(kBlack, kGreen)}, {1, Pen(kRed, 10)}};
    lines->Draw(dc, view);
    EXPECT_EQ(Pixel(50, -10), kRed);

    auto areas = MakeLayer(MakeGdb("areas", CFeatureSource::kArea, {{"20 -30, 80 -30, 80 -70, 20 -70", {}}}),
                           CLayer::kArea);
    areas->StylePasses() = {{2, Fill(kBlack, kGreen, 0)}, {1, Pen(kRed, 30)}};
    areas->Draw(dc, view);
    EXPECT_EQ(Pixel(50, -50), kGreen);
    EXPECT_EQ(Pixel(50, -30), kRed);
    EXPECT_EQ(Pixel(20, -50), kRed) << "outlines are closed";

    // They draw even where the sublayer draws nothing.
    Clear();
    areas->GetSublayer(0)->m_kind = CSublayer::kHidden;
    areas->Draw(dc, view);
    EXPECT_EQ(Pixel(50, -50), kGreen);
}

// Pictures placed on the map as the georeferenced rasters will give them.
class CFakePictures : public IRasterLayerPictureOpener {
public:
    struct CPicture : IRasterLayerPicture {
        explicit CPicture(CFakePictures& owner) : owner(owner) {}
        bool GetMapExtent(CMapRect& extent) override
        {
            extent = owner.extent;
            return true;
        }
        void SetTransparent(bool transparent) override { owner.transparent = transparent; }
        void SetExtentDeviceRect(const CRect& rect) override { owner.wholeRect = rect; }
        bool DrawPart(CDC& dc, const CMapRect& part, const CRect& device, CDC* second) override
        {
            owner.parts.push_back(part);
            owner.devices.push_back(device);
            return true;
        }
        CFakePictures& owner;
    };

    CFakePictures() { SetRasterLayerPictureOpener(this); }
    ~CFakePictures() override { SetRasterLayerPictureOpener(nullptr); }
    std::unique_ptr<IRasterLayerPicture> OpenPicture(const std::string& path) override
    {
        opened.push_back(path);
        return opens ? std::make_unique<CPicture>(*this) : nullptr;
    }

    CMapRect extent{50, -40, 150, -120};
    bool opens = true;
    std::vector<std::string> opened;
    bool transparent = false;
    CRect wholeRect;
    std::vector<CMapRect> parts;
    std::vector<CRect> devices;
};

TEST_F(LayerDrawingTest, RastersDrawThePartOfTheViewTheyCover)
{
    CFakePictures pictures;
    CLayer plain("Picture", dir.File("relief.bmp"), CLayer::kRaster);
    plain.Draw(dc, view);
    ASSERT_EQ(pictures.parts.size(), 1u);
    EXPECT_EQ(pictures.parts[0], CMapRect(50, -40, 100, -80));
    EXPECT_EQ(pictures.devices[0], CRect(500, 400, 1000, 800));
    EXPECT_FALSE(pictures.transparent);
    EXPECT_TRUE(pictures.wholeRect.IsRectNull()) << "only .img pictures are told their whole rectangle";

    CLayer img("Image", dir.File("scan.IMG"), CLayer::kRaster);
    img.SetFlag(CLayer::kTransparent, true);
    img.Draw(dc, view);
    EXPECT_TRUE(pictures.transparent);
    EXPECT_EQ(pictures.wholeRect, CRect(500, 400, 1500, 1200));

    // Outside the view, or a sublayer that draws nothing: no drawing.
    pictures.extent = CMapRect(200, -10, 300, -70);
    plain.Draw(dc, view);
    img.GetSublayer(0)->m_kind = CSublayer::kHidden;
    img.Draw(dc, view);
    EXPECT_EQ(pictures.parts.size(), 2u);
    EXPECT_EQ(pictures.opened.size(), 3u);

    // A picture that does not open is told of once.
    pictures.opens = false;
    plain.Draw(dc, view);
    plain.Draw(dc, view);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1007});
}

TEST_F(LayerDrawingTest, RealPicturesLandOnTheirWorldFilePlaces)
{
    // A 20 x 10 picture, two map units a pixel, its top-left corner at (10, -10).
    WriteWholeFile(dir.File("relief.bmp"), PlainBmp(20, 10, 24));
    WriteWholeFile(dir.File("relief.wld"), "2\n0\n0\n-2\n11\n-11\n");
    CxImage decoded(dir.File("relief.bmp"), CXIMAGE_FORMAT_BMP);
    CLayer picture("Relief", dir.File("relief.bmp"), CLayer::kRaster);
    CMapRect extent;
    ASSERT_TRUE(picture.GetExtent(extent));
    EXPECT_EQ(extent, CMapRect(10, -10, 50, -30));
    picture.SetExtent(extent);

    CDC back(view.backBuffer);
    view.PrepareDCMapping(back);
    view.memoryDC = &back;
    picture.Draw(dc, view);
    for (const auto& [x, y] : {std::pair{0, 0}, {19, 9}, {7, 3}, {12, 8}}) {
        const double mx = 11 + 2 * x, my = -11 - 2 * y;
        EXPECT_EQ(Pixel(mx, my), PictureColour(decoded, x, y)) << x << ", " << y;
        EXPECT_EQ(Pixel(mx - 1, my + 1), PictureColour(decoded, x, y)) << x << ", " << y;
        EXPECT_EQ(Pixel(mx, my, true), PictureColour(decoded, x, y)) << "in the back buffer too";
    }
    EXPECT_EQ(Pixel(9, -20), kWhite);
    EXPECT_EQ(Pixel(51, -20), kWhite);
    EXPECT_EQ(Pixel(30, -31), kWhite);

    // Transparent: the picture is ANDed over what lies below.
    WriteWholeFile(dir.File("white.bmp"), PlainBmp(4, 4, 1));
    WriteWholeFile(dir.File("white.wld"), "1\n0\n0\n-1\n70.5\n-60.5\n");
    CLayer marks("Marks", dir.File("white.bmp"), CLayer::kRaster);
    marks.SetFlag(CLayer::kTransparent, true);
    ASSERT_TRUE(marks.GetExtent(extent));
    marks.SetExtent(extent);
    view.memoryDC = nullptr;
    dc.FillSolidRect(CRect(700, 600, 740, 640), kGreen);
    marks.Draw(dc, view);
    CxImage marksImage(dir.File("white.bmp"), CXIMAGE_FORMAT_BMP);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const COLORREF c = PictureColour(marksImage, x, y);
            const COLORREF expected = RGB(0, GetGValue(c) & 0xFF, 0);
            EXPECT_EQ(Pixel(70.5 + x, -60.5 - y), expected) << x << ", " << y;
        }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerDrawingTest, AStripThatCannotBeReadIsToldOnce)
{
    // One strip of 600 bytes, of which the file holds 10.
    WriteWholeFile(dir.File("foto.tif"), HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 30},
                                                       {TIFFTAG_IMAGELENGTH, 20},
                                                       {TIFFTAG_BITSPERSAMPLE, 8},
                                                       {TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK},
                                                       {TIFFTAG_STRIPOFFSETS, 0},
                                                       {TIFFTAG_ROWSPERSTRIP, 20},
                                                       {TIFFTAG_STRIPBYTECOUNTS, 600}},
                                                      std::string(10, '\x80')));
    WriteWholeFile(dir.File("foto.tfw"), "1 0 0 -1 10.5 -10.5");
    CLayer layer("Foto", dir.File("foto.tif"), CLayer::kRaster);
    CMapRect extent;
    ASSERT_TRUE(layer.GetExtent(extent));
    EXPECT_EQ(extent, CMapRect(10, -10, 40, -30));
    layer.SetExtent(extent);
    for (int pass = 0; pass < 3; ++pass)
        layer.Draw(dc, view);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1028});
}

TEST_F(LayerDrawingTest, APictureThatWillNotOpenIsDecodedOnceAndToldOnceWithItsReason)
{
    // Two bytes of data for each of 300 frames of 16 million pixels,
    // padded by a comment of 400 KB.
    WriteWholeFile(dir.File("hostile.gif"), FramesLargerThanTheirDataGif(300, 400000));
    // Pictures of 60000 x 60000 pixels, and one strip of 40000 x 40000
    // compressed pixels, which the TIFF library would decode whole.
    PngFixture png;
    png.pixel = [](int x, int y) { return std::vector<unsigned>{unsigned(x + y)}; };
    WriteWholeFile(dir.File("huge.png"), WithPngSize(WritePng(png), 60000, 60000));
    JpegFixture jpeg;
    jpeg.pixel = [](int x, int y) { return std::vector<int>{x * 8, y * 8, 0}; };
    WriteWholeFile(dir.File("huge.jpg"), WithJpegSize(WriteJpeg(jpeg), 60000, 60000));
    WriteWholeFile(dir.File("huge.tif"), HandMadeTiff({{TIFFTAG_IMAGEWIDTH, 40000},
                                                       {TIFFTAG_IMAGELENGTH, 40000},
                                                       {TIFFTAG_BITSPERSAMPLE, 8},
                                                       {TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE},
                                                       {TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK},
                                                       {TIFFTAG_STRIPOFFSETS, 0},
                                                       {TIFFTAG_ROWSPERSTRIP, 40000},
                                                       {TIFFTAG_STRIPBYTECOUNTS, 16}},
                                                      std::string(16, 'x')));
    const struct {
        const char* file;
        int format; // the decoder run once, or none for a strip raster
        unsigned message;
    } cases[] = {
        {"hostile.gif", CXIMAGE_FORMAT_GIF, 1007},
        {"huge.png", CXIMAGE_FORMAT_PNG, 1124},
        {"huge.jpg", CXIMAGE_FORMAT_JPG, 1124},
        {"huge.tif", CXIMAGE_FORMAT_UNKNOWN, 1124},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        user.messages.clear();
        const int before = CxImage::GetDecodeRuns(c.format);
        CLayer layer("Picture", dir.File(c.file), CLayer::kRaster);
        for (int pass = 0; pass < 3; ++pass) {
            CMapRect extent;
            EXPECT_FALSE(layer.GetExtent(extent));
            layer.Draw(dc, view);
        }
        if (c.format != CXIMAGE_FORMAT_UNKNOWN) {
            EXPECT_EQ(CxImage::GetDecodeRuns(c.format), before + 1) << "not again until the file changes";
        }
        ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{c.message});
        EXPECT_NE(user.messages[0].text.find(dir.File(c.file)), std::string::npos);
    }

    // Changed, the file is read again: a picture now.
    const int before = CxImage::GetDecodeRuns(CXIMAGE_FORMAT_GIF);
    WriteWholeFile(dir.File("hostile.gif"), CGifBuilder(4, 4, GifTestTable(4)).Frame(GifTestFrame(4, 4, 4)).Bytes());
    CLayer layer("Picture", dir.File("hostile.gif"), CLayer::kRaster);
    CMapRect extent;
    EXPECT_TRUE(layer.GetExtent(extent));
    EXPECT_EQ(CxImage::GetDecodeRuns(CXIMAGE_FORMAT_GIF), before + 1);
}

// A layer that draws each of its files its own way.
class CCountingLayer : public CLayer {
public:
    using CLayer::CLayer;
    void Draw(CDC& dc, IDrawingView& view) override
    {
        drawn.push_back(HasFlag(kManyFiles) ? "all" : GetPath());
        CLayer::Draw(dc, view);
    }
    std::vector<std::string> drawn;
};

TEST_F(LayerDrawingTest, LayersOfManyFilesDrawEachFileInTheView)
{
    const std::string west = MakeGdb("west", CFeatureSource::kLine, {{"5 -20, 45 -20", {"1", "West"}}});
    const std::string east = MakeGdb("east", CFeatureSource::kLine, {{"55 -20, 95 -20", {"1", "East"}}});
    CCountingLayer layer("Roads", dir.File("roads.gdb"), CLayer::kLine);
    layer.GetSublayer(0)->m_style = Pen(kRed, 10);
    layer.AddFile(west);
    layer.AddFile(east);
    const CMapRect away(500, -10, 600, -70);
    layer.AddFile(dir.File("away.gdb"), &away);
    const uint32_t flags = layer.GetFlags();
    const CMapRect extent = layer.GetExtent();

    layer.Draw(dc, view);
    EXPECT_EQ(layer.drawn, (std::vector<std::string>{"all", west, east}));
    EXPECT_EQ(Pixel(20, -20), kRed);
    EXPECT_EQ(Pixel(80, -20), kRed);
    EXPECT_TRUE(user.messages.empty()) << "the file outside the view is not opened";
    EXPECT_EQ(layer.Files()[0].extent, CMapRect(5, -20, 45, -20));
    EXPECT_EQ(layer.Files()[1].extent, CMapRect(55, -20, 95, -20));
    EXPECT_EQ(layer.GetPath(), dir.File("roads.gdb"));
    EXPECT_EQ(layer.GetFlags(), flags);
    EXPECT_EQ(layer.GetExtent(), extent);

    // Labels go file by file the same way.
    layer.GetSublayer(0)->m_labelField = "NAME";
    layer.DrawLabels(dc, view);
    EXPECT_EQ(view.quads.size(), 2u);

    // A sublayer that draws nothing draws no file, unless there are style passes.
    layer.drawn.clear();
    layer.GetSublayer(0)->m_kind = CSublayer::kHidden;
    layer.Draw(dc, view);
    EXPECT_EQ(layer.drawn, std::vector<std::string>{"all"});
    layer.StylePasses() = {{1, Pen(kGreen, 10)}};
    layer.Draw(dc, view);
    EXPECT_EQ(layer.drawn.size(), 4u);
    EXPECT_EQ(Pixel(20, -20), kGreen);
}

TEST_F(LayerDrawingTest, PointLabelsStandAtThePointOrTurnedByTheirAngle)
{
    auto points = MakeLayer(MakeGdb("points", CFeatureSource::kPoint, {{"20 -40", {"1", "Ab"}}}), CLayer::kPoint);
    CSublayer& sublayer = *points->GetSublayer(0);
    sublayer.m_labelField = "NAME";
    points->DrawLabels(dc, view);
    ASSERT_EQ(view.labels.size(), 1u);
    EXPECT_EQ(view.labels[0].rect.left, 200 + sublayer.m_labelDistance);
    EXPECT_LT(view.labels[0].rect.top, 400);
    EXPECT_GT(view.labels[0].rect.bottom, 400);
    EXPECT_EQ(view.labels[0].force, 0);
    sublayer.m_labelFlags = CSublayer::kShowAllLabels;
    points->DrawLabels(dc, view);
    EXPECT_EQ(view.labels.back().force, 1);

    // With "_Angle" the label turns about the point; a turned label that
    // would leave the view is not drawn.
    auto turned = MakeLayer(MakeGdb("turned", CFeatureSource::kPoint,
                                    {{"20 -40", {"Ab", "90"}}, {"50 -2", {"Ab", "90"}}, {"80 -40", {"Ab", "0.04"}}},
                                    {{"NAME", 'C', 20, 0}, {"_Angle", 'N', 6, 2}}),
                            CLayer::kPoint);
    turned->GetSublayer(0)->m_labelField = "NAME";
    turned->DrawLabels(dc, view);
    ASSERT_EQ(view.quads.size(), 2u);
    const auto& up = view.quads[0].corners;
    // Reading upwards: along the text is up the device, across it to the right.
    EXPECT_EQ(up[0].y, 400);
    EXPECT_LT(up[0].x, 200);
    EXPECT_LT(up[1].y, up[0].y);
    EXPECT_EQ(up[1].x, up[0].x);
    EXPECT_GT(up[3].x, 200);
    // 0.04 degrees rounds to 0 tenths: upright.
    const auto& flat = view.quads[1].corners;
    EXPECT_EQ(flat[0].x, 800);
    EXPECT_EQ(flat[0].y, flat[1].y);
    EXPECT_LT(flat[0].y, 400);
    EXPECT_GT(flat[3].y, 400);
    EXPECT_TRUE(view.labels.size() == 2u) << "no upright place is asked for with an angle field";
}

TEST_F(LayerDrawingTest, LineLabelsLieAlongTheLongestVisibleSegmentAsPlaced)
{
    auto lines = MakeLayer(MakeGdb("lines", CFeatureSource::kLine, {{"10 -10, 20 -10, 90 -40", {"1", "Ab"}}}),
                           CLayer::kLine);
    CSublayer& sublayer = *lines->GetSublayer(0);
    sublayer.m_labelField = "NAME";
    const struct {
        int placement;
        const char* where;
    } cases[] = {{24, "centred"}, {0, "top edge on the line"}, {8, "bottom edge on the line"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        view.quads.clear();
        sublayer.m_labelPlacement = static_cast<int16_t>(c.placement);
        lines->DrawLabels(dc, view);
        ASSERT_EQ(view.quads.size(), 1u);
        const auto& q = view.quads[0].corners;
        // Along the long segment: from (200, 100) down to (900, 400), centre (550, 250).
        EXPECT_LT(q[0].x, q[1].x);
        EXPECT_LT(q[0].y, q[1].y);
        const CPoint topMiddle((q[0].x + q[1].x) / 2, (q[0].y + q[1].y) / 2);
        const CPoint bottomMiddle((q[2].x + q[3].x) / 2, (q[2].y + q[3].y) / 2);
        const CPoint centre((topMiddle.x + bottomMiddle.x) / 2, (topMiddle.y + bottomMiddle.y) / 2);
        const CPoint onLine = c.placement == 0 ? topMiddle : c.placement == 8 ? bottomMiddle : centre;
        EXPECT_NEAR(onLine.x, 550, 2);
        EXPECT_NEAR(onLine.y, 250, 2);
    }

    // Where the register refuses the longest segment, the next segment that takes the label has it.
    view.quads.clear();
    sublayer.m_labelPlacement = kCentred;
    view.acceptQuad = [](const std::array<CPoint, 4>& q, int) { return std::abs((q[0].x + q[2].x) / 2 - 550) > 20; };
    lines->DrawLabels(dc, view);
    ASSERT_EQ(view.quads.size(), 2u);
    EXPECT_NEAR((view.quads[1].corners[0].y + view.quads[1].corners[2].y) / 2, 100, 2) << "along the first segment";
    view.acceptQuad = nullptr;

    // A label far longer than a bent line has no place on it.
    view.quads.clear();
    auto bent = MakeLayer(MakeGdb("bent", CFeatureSource::kLine,
                                  {{"10 -40, 14 -40, 14 -44, 18 -44, 18 -48", {"1", "Long name"}}}),
                          CLayer::kLine);
    bent->GetSublayer(0)->m_labelField = "NAME";
    bent->DrawLabels(dc, view);
    EXPECT_TRUE(view.quads.empty());
    // On a straight line as long it finds one.
    auto straight = MakeLayer(MakeGdb("straight", CFeatureSource::kLine,
                                      {{"5 -60, 15 -60, 95 -60", {"1", "Long name"}}}),
                              CLayer::kLine);
    straight->GetSublayer(0)->m_labelField = "NAME";
    straight->DrawLabels(dc, view);
    EXPECT_EQ(view.quads.size(), 1u);
}

TEST_F(LayerDrawingTest, AreaLabelsStandAtTheirInteriorPoints)
{
    auto areas = MakeLayer(MakeGdb("areas", CFeatureSource::kArea,
                                   {{"10 -10, 50 -10, 50 -50, 10 -50", {"1", "Ab"}},
                                    {"200 -10, 250 -10, 250 -50, 200 -50", {"2", "Far"}}}),
                           CLayer::kArea);
    CSublayer& sublayer = *areas->GetSublayer(0);
    sublayer.m_labelField = "NAME";
    sublayer.m_labelPlacement = 512;
    areas->DrawLabels(dc, view);
    ASSERT_EQ(view.labels.size(), 1u);
    const CRect& r = view.labels[0].rect;
    EXPECT_NEAR((r.left + r.right) / 2, 300, 10);
    EXPECT_TRUE(r.top < 300 && r.bottom > 250);

    // No labels without the field in the table.
    sublayer.m_labelField = "MISSING";
    areas->DrawLabels(dc, view);
    EXPECT_EQ(view.labels.size(), 1u);
}

TEST_F(LayerDrawingTest, AnOlderGridLayerFromAMapFileDrawsAsAPlainLayerOfItsType)
{
    const std::string areas = MakeGdb("areas", CFeatureSource::kArea, {{"20 -20, 60 -20, 60 -60, 20 -60", {"1", "A"}}});
    const std::string lines = MakeGdb("lines", CFeatureSource::kLine, {{"10 -70, 90 -70", {"1", "Upe"}}});
    CLayerArray stored;
    for (const auto& [path, type] : {std::pair{areas, CLayer::kArea}, std::pair{lines, CLayer::kLine}}) {
        auto old = std::make_unique<CGridLayer>("Senas", path, type);
        CSublayer& sublayer = *old->GetSublayer(0);
        sublayer.m_style = type == CLayer::kArea ? Fill(kRed, kBlue) : Pen(kGreen, 20);
        sublayer.m_labelField = "NAME";
        stored.Add(std::move(old));
    }
    ASSERT_TRUE(stored.WriteMapFile(dir.File("old.map")));
    CLayerArray read;
    ASSERT_TRUE(read.ReadMapFile(dir.File("old.map")));
    ASSERT_EQ(read.GetSize(), 2);

    const auto drawn = [&](CLayer& layer) {
        Clear();
        view.labels.clear();
        view.quads.clear();
        layer.Draw(dc, view);
        layer.DrawLabels(dc, view);
        dc.Flush();
        return std::pair{view.window.copy(), view.labels.size() + view.quads.size()};
    };
    for (int i = 0; i < 2; ++i) {
        CLayer& old = *read.GetAt(i);
        SCOPED_TRACE(old.GetType());
        EXPECT_EQ(old.GetRuntimeClass(), &CGridLayer::kClass);
        CLayer plain(old);
        ASSERT_EQ(plain.GetRuntimeClass(), &CLayer::kClass);
        const auto [oldPicture, oldLabels] = drawn(old);
        const auto [plainPicture, plainLabels] = drawn(plain);
        EXPECT_TRUE(oldPicture == plainPicture);
        EXPECT_EQ(oldLabels, plainLabels);
        EXPECT_EQ(oldLabels, 1u);
    }
    EXPECT_EQ(Pixel(50, -70), kGreen);
    drawn(*read.GetAt(0));
    EXPECT_EQ(Pixel(40, -40), kBlue);
    EXPECT_EQ(Pixel(20, -40), kRed);
}

TEST_F(LayerDrawingTest, EscStopsAPassAtItsNextPoll)
{
    std::vector<CObjectSpec> points, lines;
    for (int i = 0; i < 200; ++i)
        points.push_back({std::to_string(5 + i % 50) + " -" + std::to_string(30 + i / 50), {"1", "x"}});
    for (int i = 0; i < 50; ++i)
        lines.push_back({"10 -" + std::to_string(i + 1) + ", 90 -" + std::to_string(i + 1), {"1", "x"}});
    auto pointLayer = MakeLayer(MakeGdb("points", CFeatureSource::kPoint, points), CLayer::kPoint);
    pointLayer->GetSublayer(0)->m_labelField = "NAME";
    pointLayer->GetSublayer(0)->m_labelFlags = CSublayer::kShowAllLabels;
    auto lineLayer = MakeLayer(MakeGdb("lines", CFeatureSource::kLine, lines), CLayer::kLine);

    const auto pressEsc = [](CScriptedInputQueue& queue) {
        SetDrawStopFlag(0);
        queue.waiting.push_back({CWaitingInput::kKeyDown, VK_ESCAPE});
    };
    CScriptedInputQueue queue;
    pressEsc(queue);
    pointLayer->Draw(dc, view);
    EXPECT_EQ(g_symbols.size(), 64u);
    EXPECT_EQ(queue.removed, std::vector<int>{VK_ESCAPE});

    pressEsc(queue);
    lineLayer->Draw(dc, view);
    int rows = 0;
    for (int y = 1; y <= 50; ++y)
        rows += Pixel(50, -y) == kBlack;
    EXPECT_EQ(rows, 8);

    pressEsc(queue);
    pointLayer->DrawLabels(dc, view);
    EXPECT_EQ(view.labels.size(), 8u);
}

} // namespace
