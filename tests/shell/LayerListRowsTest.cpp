#include "shell/LayerListRows.h"

#include "layers/DtmLayer.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "mapdoc/LegendListOwner.h"
#include "platform/DC.h"
#include "res/BitmapTable.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>
#include <string>

namespace {

constexpr COLORREF kFace = RGB(240, 240, 240);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kHighlight = RGB(0, 120, 215);

COLORREF At(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

COLORREF ClassColour(int i)
{
    return RGB(10 * i, 200, 255 - 10 * i);
}

// An area layer whose sublayer in force is classified by n classes, each
// filled in a colour of its own, listed in the legend.
std::unique_ptr<CLayer> ClassifiedLayer(int n, const std::string& name = "Miestai")
{
    auto layer = std::make_unique<CLayer>(name, "/nowhere/miestai.gdb", CLayer::kArea);
    layer->SetFlag(CLayer::kClassesInLegend, true);
    CSublayer* sublayer = layer->GetSublayer(0);
    sublayer->m_kind = CSublayer::kClassified;
    sublayer->m_classes.SetKind(true, true);
    for (int i = 0; i < n; ++i) {
        CThemeClass* c = sublayer->m_classes.AddClass(CLayer::kArea);
        CDrawStyle style = c->m_style.Draw();
        style.brushStyle = 0;
        style.brushColor = ClassColour(i);
        style.penColor = ClassColour(i);
        c->m_style = style;
    }
    return layer;
}

struct Row {
    explicit Row(const CLayer& layer, LayerRowLook look = {}, int width = 200)
    {
        NeedGuiApplication();
        look.face = kFace;
        look.text = kText;
        look.highlight = kHighlight;
        image = QImage(width, GetLayerRowHeight(layer, look.scale), QImage::Format_RGB32);
        CDC dc(image);
        DrawLayerRow(dc, CRect(0, 0, image.width(), image.height()), layer, look);
    }
    // The leftmost and the count of dark pixels in the first line from x on.
    int InkLeft(int from) const
    {
        for (int x = from; x < image.width(); ++x)
            for (int y = 0; y < kLayerRowHeight; ++y)
                if (Dark(x, y))
                    return x;
        return -1;
    }
    int InkCount(int from) const
    {
        int n = 0;
        for (int x = from; x < image.width(); ++x)
            for (int y = 0; y < kLayerRowHeight; ++y)
                n += Dark(x, y);
        return n;
    }
    bool Dark(int x, int y) const
    {
        const COLORREF c = At(image, x, y);
        return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
    }
    // Whether the picture of the resource stands at (x, y).
    bool Shows(int id, int x, int y) const
    {
        const BitmapResource* picture = FindBitmapResource(id);
        if (!picture)
            return false;
        for (int py = 0; py < picture->height; ++py)
            for (int px = 0; px < picture->width; ++px) {
                const uint32_t argb = BitmapPixelColour(picture->rows[py][px]);
                if ((argb >> 24) == 0xFF && At(image, x + px, y + py) != RGB(argb >> 16, (argb >> 8) & 0xFF, argb & 0xFF))
                    return false;
            }
        return true;
    }
    QImage image;
};

TEST(LayerListRows, HeightsFollowTheClassesOfTheSublayerInForce)
{
    CLayer plain("Keliai", "/nowhere/keliai.gdb", CLayer::kLine);
    EXPECT_EQ(GetLayerRowHeight(plain, 0), 18);
    plain.SetFlag(CLayer::kClassesInLegend, true);
    EXPECT_EQ(GetLayerRowHeight(plain, 0), 18); // not classified

    auto three = ClassifiedLayer(3);
    EXPECT_EQ(GetLayerRowHeight(*three, 0), 18 + 3 * 16);
    three->SetFlag(CLayer::kClassesInLegend, false);
    EXPECT_EQ(GetLayerRowHeight(*three, 0), 18);
    EXPECT_EQ(GetLayerRowHeight(*ClassifiedLayer(20), 0), 255);
    EXPECT_EQ(GetLayerRowHeight(*ClassifiedLayer(14), 0), 18 + 14 * 16);

    // Classes only from 1:10000 on.
    auto scaled = ClassifiedLayer(5);
    ASSERT_TRUE(scaled->AddSublayer(10000));
    scaled->GetSublayer(0)->m_kind = CSublayer::kOneStyle;
    EXPECT_EQ(GetLayerRowHeight(*scaled, 5000), 18);
    EXPECT_EQ(GetLayerRowHeight(*scaled, 50000), 18 + 5 * 16);

    CLayer group("Grupė", "", CLayer::kPoint);
    group.SetFlags(CLayer::kGroup | CLayer::kClassesInLegend);
    EXPECT_EQ(GetLayerRowHeight(group, 0), 18);
}

TEST(LayerListRows, TextsOfGroupsAndTheOpenGroupsRow)
{
    CLayer layer("Keliai", "/nowhere/keliai.gdb", CLayer::kLine);
    EXPECT_EQ(GetLayerRowText(layer, false), "Keliai");
    layer.SetFlag(CLayer::kGroup, true);
    EXPECT_EQ(GetLayerRowText(layer, false), "[Keliai]");
    EXPECT_EQ(GetLayerRowText(layer, true), "[..] - Keliai");
}

TEST(LayerListRows, ElevationClassTexts)
{
    // Recalculated from 0 to 100 in four intervals.
    CDtmLayer relief("Reljefas", "/nowhere/reljefas.rmp");
    CThemeClassList& classes = *relief.GetHeightClasses();
    classes.SetKind(false, true);
    for (const double bound : {0.0, 25.0, 50.0, 75.0, 100.0})
        classes.InsertRangeClass(classes.GetCount(), CLayer::kElevation, -DBL_MAX, bound);
    classes.AddClass(CLayer::kElevation);
    const auto texts = [&] {
        std::vector<std::string> all;
        for (int i = 0; i < classes.GetCount(); ++i)
            all.push_back(GetLegendClassText(relief, classes, i));
        return all;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"<= 0 m", "0 - 25 m", "25 - 50 m", "50 - 75 m", "75 - 100 m", "> 100 m"}));
    relief.SetFlag(CLayer::kFieldStrength, true);
    EXPECT_EQ(texts(), (std::vector<std::string>{"<= 0 dB(uV/m)", "0 - 25", "25 - 50", "50 - 75", "75 - 100", "> 100"}));
    relief.SetFlag(CLayer::kPlainValues, true);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Matoma zona", "Nematoma zona", "Nematoma zona", "Nematoma zona",
                                                 "Nematoma zona", "Nematoma zona"}));
    relief.SetFlags(relief.GetFlags() & ~(CLayer::kPlainValues | CLayer::kFieldStrength));
    while (classes.GetCount() > 1)
        classes.RemoveClass(0);
    EXPECT_EQ(texts(), std::vector<std::string>{"Visais atvejais"});
    EXPECT_EQ(GetLegendClassText(relief, classes, 1), "");

    // Other layers show the class list's own texts.
    auto area = ClassifiedLayer(2);
    const CThemeClassList& own = area->GetSublayer(0)->m_classes;
    EXPECT_EQ(GetLegendClassText(*area, own, 1), own.GetClassText(1));
}

TEST(LayerListRows, DropKinds)
{
    using Owner = ILegendListOwner;
    struct Case {
        int from, target;
        bool group;
        int y;
        bool contents;
        int kind;
    };
    // Rows 18 pixels high: the middle third is 6 to 11.
    const Case cases[] = {
        {3, 1, false, 9, false, Owner::kDropBefore},
        {1, 3, false, 9, false, Owner::kDropAfter},
        {3, 1, true, 9, false, Owner::kDropIntoGroup},
        {3, 1, true, 2, false, Owner::kDropBefore}, // the upper third: before the group
        {3, 1, true, 15, false, Owner::kDropBefore},
        {1, 3, true, 5, false, Owner::kDropAfter},
        {1, 3, true, 6, false, Owner::kDropIntoGroup},
        {1, 3, true, 11, false, Owner::kDropIntoGroup},
        {1, 3, true, 12, false, Owner::kDropAfter},
        {2, 2, false, 9, false, -1},             // on itself
        {2, -1, false, 9, false, -1},            // outside the rows
        {0, 2, false, 9, true, -1},              // the open group's own row
        {2, 0, true, 9, true, Owner::kDropToParent},
        {3, 1, true, 9, true, Owner::kDropIntoGroup}, // a group inside the open one
        {0, 2, false, 9, false, Owner::kDropAfter},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetLayerDropKind(c.from, c.target, c.group, c.y, 18, c.contents), c.kind)
            << c.from << " on " << c.target << " at " << c.y;

    EXPECT_TRUE(CanDragLayerRow(0, false, false));
    EXPECT_FALSE(CanDragLayerRow(0, false, true));
    EXPECT_TRUE(CanDragLayerRow(1, false, true));
    EXPECT_FALSE(CanDragLayerRow(2, true, false));
    EXPECT_FALSE(CanDragLayerRow(-1, false, false));
}

TEST(LayerListRows, TwentyClassesShowFourteenAndDots)
{
    auto layer = ClassifiedLayer(20);
    const Row row(*layer);
    ASSERT_EQ(row.image.height(), 255);
    for (int i = 0; i < kMaxClassLines; ++i)
        EXPECT_EQ(At(row.image, 25, 18 + i * 16 + 8), ClassColour(i)) << i;
    // The fifteenth line: no sample, "..." from x 34.
    const int dots = 18 + 14 * 16;
    EXPECT_EQ(At(row.image, 25, dots + 8), kFace);
    bool ink = false;
    for (int y = dots; y < 255; ++y)
        for (int x = 34; x < 60; ++x)
            ink = ink || At(row.image, x, y) == kText;
    EXPECT_TRUE(ink);
}

TEST(LayerListRows, CheckStatesSamplesAndMarks)
{
    CLayer layer("Keliai", "/nowhere/keliai.gdb", CLayer::kLine);
    CDrawStyle line = layer.GetSublayer(0)->m_style.Draw();
    line.penStyle = PS_SOLID;
    line.penWidth = 0;
    line.penColor = RGB(255, 0, 0);
    layer.GetSublayer(0)->m_style = line;

    LayerRowLook look;
    EXPECT_TRUE(Row(layer, look).Shows(104, 3, 2));
    look.check = 1;
    const Row checked(layer, look);
    EXPECT_TRUE(checked.Shows(105, 3, 2));
    // The line through the middle of the sample box.
    EXPECT_EQ(At(checked.image, 34, 9), RGB(255, 0, 0));
    look.check = 2;
    EXPECT_TRUE(Row(layer, look).Shows(325, 3, 2));
    look.check = 1;
    layer.SetFlag(CLayer::kPartlyVisibleGroup, true);
    EXPECT_TRUE(Row(layer, look).Shows(325, 3, 2));
    layer.SetFlag(CLayer::kPartlyVisibleGroup, false);

    // Layer types with pictures of their own, and groups.
    struct Case {
        int type;
        uint32_t flags;
        bool openGroupRow;
        int picture;
    };
    const Case pictures[] = {
        {CLayer::kRaster, 0, false, 223},
        {CLayer::kElevation, 0, false, 244},
        {CLayer::kElevation, CLayer::kFieldStrength, false, 245},
        {CLayer::kElevation, CLayer::kPlainValues, false, 267},
        {CLayer::kPoint, CLayer::kGroup, false, 323},
        {CLayer::kPoint, CLayer::kGroup, true, 324},
    };
    for (const Case& c : pictures) {
        CLayer typed("Sluoksnis", "/nowhere/sluoksnis.gdb", c.type);
        typed.SetFlags(c.flags);
        LayerRowLook typedLook;
        typedLook.openGroupRow = c.openGroupRow;
        EXPECT_TRUE(Row(typed, typedLook).Shows(c.picture, 18, 1)) << c.picture;
    }

    // A filter mark first moves the name 13 pixels on.
    const int plainLeft = Row(layer, look).InkLeft(52);
    layer.SetFilter("PLOTAS > 10");
    const Row filtered(layer, look);
    EXPECT_TRUE(filtered.Shows(216, 52, 3));
    EXPECT_EQ(filtered.InkLeft(64), plainLeft + 13);
    layer.SetFilter("");

    // The emphasis (the member count) draws the name bold.
    const int normalInk = Row(layer, look).InkCount(52);
    layer.SetMemberCount(2);
    EXPECT_GT(Row(layer, look).InkCount(52), normalInk + normalInk / 8);
    layer.SetMemberCount(0);

    // The selection behind the name; the insertion mark on an edge.
    look.selected = true;
    EXPECT_EQ(At(Row(layer, look).image, 51, 2), kHighlight);
    look.selected = false;
    look.insertMark = -1;
    const Row above(layer, look);
    EXPECT_EQ(At(above.image, 100, 0), kText);
    EXPECT_EQ(At(above.image, 100, 17), kFace);
    look.insertMark = 1;
    const Row below(layer, look);
    EXPECT_EQ(At(below.image, 100, 17), kText);
    EXPECT_EQ(At(below.image, 100, 0), kFace);
}

} // namespace
