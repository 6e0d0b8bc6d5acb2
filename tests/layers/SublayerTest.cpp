#include "tests/layers/LayerTestSupport.h"

#include "layers/Layer.h"
#include "layers/Sublayer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A line layer with sublayers at the given limits, each marked by its pen width.
std::unique_ptr<CLayer> LayerWithLimits(std::initializer_list<int32_t> limits)
{
    auto layer = std::make_unique<CLayer>("L", "a.gdb", CLayer::kLine);
    layer->RemoveAllSublayers();
    for (int32_t limit : limits) {
        auto sublayer = std::make_unique<CSublayer>(CLayer::kLine);
        sublayer->m_lowerLimit = limit;
        CDrawStyle style;
        style.penWidth = static_cast<uint32_t>(limit);
        sublayer->m_style = style;
        layer->AppendSublayer(std::move(sublayer));
    }
    return layer;
}

std::vector<int32_t> Limits(const CLayer& layer)
{
    std::vector<int32_t> limits;
    for (int i = 0; i < layer.GetSublayerCount(); ++i)
        limits.push_back(layer.GetSublayer(i)->m_lowerLimit);
    return limits;
}

} // namespace

TEST(Sublayer, TheSublayerInForceFollowsTheRoundedScale)
{
    auto layer = LayerWithLimits({0, 10000, 50000});
    const std::pair<double, int> cases[] = {
        {10000.4, 0}, {10000.5, 1}, {50000, 1}, {50001, 2}, {0.2, 0}, {0, 0},
        {1e300, 2},   {-5, -1},     {NAN, 0},
    };
    for (const auto& [scale, index] : cases) {
        EXPECT_EQ(layer->GetSublayerIndexForScale(scale), index) << scale;
        EXPECT_EQ(layer->GetSublayerForScale(scale), layer->GetSublayer(index)) << scale;
    }

    auto high = LayerWithLimits({5000});
    EXPECT_EQ(high->GetSublayerForScale(5000), nullptr);
    EXPECT_EQ(high->GetSublayerIndexForScale(5000.5), 0);

    // Out of range the layer's reset style stands in.
    CStyleRecord style;
    EXPECT_FALSE(high->GetStyleForScale(100, style));
    EXPECT_EQ(style, CStyleRecord(CDrawStyle::ResetLine()));
    EXPECT_TRUE(high->GetStyleForScale(6000, style));
    EXPECT_EQ(style.Draw().penWidth, 5000u);
}

TEST(Sublayer, AddFindAndRemoveKeepTheLimitsSorted)
{
    CScriptedStyleSource styles;
    auto layer = LayerWithLimits({1000, 50000});
    styles.lineColors = {0x112233};

    EXPECT_FALSE(layer->AddSublayer(1000));
    EXPECT_EQ(Limits(*layer), (std::vector<int32_t>{1000, 50000}));

    // Below all: a default sublayer of the type; between: a copy of the one below.
    EXPECT_TRUE(layer->AddSublayer(0));
    EXPECT_EQ(layer->GetSublayer(0)->m_style.Draw().penColor, 0x112233u);
    EXPECT_EQ(layer->GetSublayer(0)->m_style.Draw().penWidth, 4u);
    layer->GetSublayer(1)->m_labelField = "PAV";
    EXPECT_TRUE(layer->AddSublayer(20000));
    EXPECT_TRUE(layer->AddSublayer(90000));
    EXPECT_EQ(Limits(*layer), (std::vector<int32_t>{0, 1000, 20000, 50000, 90000}));
    EXPECT_EQ(layer->GetSublayer(2)->m_style.Draw().penWidth, 1000u);
    EXPECT_EQ(layer->GetSublayer(2)->m_labelField, "PAV");
    EXPECT_EQ(layer->GetSublayer(4)->m_style.Draw().penWidth, 50000u);

    EXPECT_EQ(layer->FindSublayer(20000), 2);
    EXPECT_EQ(layer->FindSublayer(20001), -1);

    // A hidden neighbour below takes over the removed look and keeps its own limit.
    EXPECT_FALSE(layer->RemoveSublayer(12345));
    layer->GetSublayer(3)->m_kind = CSublayer::kHidden;
    EXPECT_TRUE(layer->RemoveSublayer(90000));
    EXPECT_EQ(layer->GetSublayer(3)->m_lowerLimit, 50000);
    EXPECT_EQ(layer->GetSublayer(3)->m_kind, CSublayer::kOneStyle);
    EXPECT_EQ(layer->GetSublayer(3)->m_style.Draw().penWidth, 50000u);
    // A visible neighbour keeps its own look.
    EXPECT_TRUE(layer->RemoveSublayer(1000));
    EXPECT_EQ(Limits(*layer), (std::vector<int32_t>{0, 20000, 50000}));
    EXPECT_EQ(layer->GetSublayer(0)->m_style.Draw().penColor, 0x112233u);
}

TEST(Sublayer, DefaultStylesComeFromTheStyleSource)
{
    CScriptedStyleSource styles;
    styles.randoms = {29, 47};
    styles.lineColors = {0xFFFFFF, 0x0000FF, 0x00FF00};
    styles.areaColors = {0xD0FFD0};

    CSublayer point(CLayer::kPoint);
    EXPECT_EQ(point.m_style, CStyleRecord([] {
                  CPointStyle style;
                  style.symbol = 29 % 24;
                  return style;
              }()));
    EXPECT_EQ(point.m_labelDistance, 79);

    CSublayer line(CLayer::kLine);
    const CDrawStyle lineStyle = line.m_style.Draw();
    EXPECT_EQ(lineStyle.penColor, 0x0000FFu); // white is drawn again
    EXPECT_EQ(lineStyle.penWidth, 4u);
    EXPECT_EQ(lineStyle.backColor, 0xFFFFFFu);
    EXPECT_EQ(lineStyle.brushStyle, 1);
    EXPECT_EQ(lineStyle.brushColor, 0xFFFFFFu);
    EXPECT_EQ(lineStyle.backMode, 1);
    EXPECT_EQ(line.m_labelDistance, 0);

    CSublayer area(CLayer::kArea);
    const CDrawStyle areaStyle = area.m_style.Draw();
    EXPECT_EQ(areaStyle.penColor, 0u);
    EXPECT_EQ(areaStyle.brushStyle, 0);
    EXPECT_EQ(areaStyle.brushColor, 0xD0FFD0u);

    CSublayer track(CLayer::kTrack);
    const CTrackStyle trackStyle = track.m_style.Track();
    EXPECT_EQ(trackStyle.symbol, 47 % 24);
    EXPECT_EQ(trackStyle.lineShown, 1);
    EXPECT_EQ(trackStyle.penWidth, 4);
    EXPECT_EQ(trackStyle.penColor, 0x00FF00u);
    EXPECT_EQ(trackStyle.backColor, 0xFFFFFFu);
    EXPECT_EQ(track.m_labelDistance, 79);

    EXPECT_EQ(CSublayer(CLayer::kRaster).m_style, CStyleRecord());
    EXPECT_EQ(styles.lineCalls, 3);
    EXPECT_EQ(styles.areaCalls, 1);

    // The rest of a new sublayer.
    EXPECT_EQ(line.m_kind, CSublayer::kOneStyle);
    EXPECT_EQ(line.m_labelPlacement, 24);
    EXPECT_EQ(line.m_labelStyle.GetFaceName(), "Arial");
    EXPECT_EQ(line.m_labelStyle.font.lfHeight, -8);
    EXPECT_EQ(line.m_labelStyle.font.lfCharSet, 186);
    EXPECT_EQ(line.m_labelFrameStyle, CDrawStyle::DefaultLabelFrame());
    EXPECT_EQ(line.m_labelFrameStyle.backColor, 0xFFFFFFu);

    // A source that only gives white cannot hang a new line style.
    styles.lineColors.assign(200, 0xFFFFFF);
    EXPECT_EQ(CDrawStyle::DefaultLine().penColor, 0u);
}

TEST(Sublayer, RecordStoresTheFrameAndNamesOnlyWhenTheyCount)
{
    CSublayer plain(CLayer::kLine);
    const size_t size = StoreObject(plain).size();
    const std::pair<uint32_t, size_t> frames[] = {{0x02, 32}, {0x20, 32}, {0x08, 0}, {0, 0}};
    for (const auto& [flags, extra] : frames) {
        CSublayer sublayer(CLayer::kLine);
        sublayer.m_labelFlags = flags;
        EXPECT_EQ(StoreObject(sublayer).size(), size + extra) << flags;
    }

    // Two fonts named in different case share one name; the record holds no name reference.
    CSublayer font(CLayer::kPoint);
    CPointStyle style;
    style.kind = CPointStyle::kFontCharacter;
    style.SetName("Sublayer Test Font");
    CPointStyle other;
    other.kind = CPointStyle::kFontCharacter;
    other.SetName("SUBLAYER TEST FONT");
    EXPECT_EQ(other.nameRef, style.nameRef);
    EXPECT_EQ(other.GetName(), "Sublayer Test Font");
    font.m_style = other;
    const std::vector<unsigned char> bytes = StoreObject(font);
    const size_t record = 2 + 2 + 2 + 9 + 64; // new class tag, schema, name length, "CSublayer", label style
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + record + 4, bytes.begin() + record + 8),
              (std::vector<unsigned char>{0, 0, 0, 0}));
    EXPECT_EQ(bytes[record + 32], 18); // the name follows the record
    auto back = LoadObject<CSublayer>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_style, font.m_style);
}

TEST(Sublayer, CopiesBetweenLayers)
{
    auto from = LayerWithLimits({0, 25000});
    CSublayer& first = *from->GetSublayer(0);
    first.m_labelFlags = 0xFF;
    first.m_labelField = "PAV";
    first.m_spareLabelText = "spare";
    first.m_referenceScale = 10000;
    first.m_labelPlacement = 256;
    first.m_labelDistance = 40;
    first.m_labelStyle.color = 0x0000FF;
    first.m_kind = CSublayer::kClassified;
    first.m_classField = "TIPAS";
    first.m_rotationField = "KAMPAS";
    first.m_classes.SetKind(true, false);
    first.m_classes.InsertTextClass(0, 1, "A");

    // The copy constructor takes everything but the spare text.
    CSublayer copy(first);
    EXPECT_EQ(copy.m_labelField, "PAV");
    EXPECT_EQ(copy.m_spareLabelText, "");
    EXPECT_EQ(copy.m_classes.GetCount(), 1);
    EXPECT_NE(copy.m_classes.GetClass(0), first.m_classes.GetClass(0));

    auto to = LayerWithLimits({0, 10000});
    to->GetSublayer(0)->m_labelFlags = 0x80 | 0x01;
    EXPECT_FALSE(from->SublayerScalesMatch(*to));
    from->CopySublayerLabels(*to);
    const CSublayer& labels = *to->GetSublayer(0);
    EXPECT_EQ(labels.m_labelFlags, 0x80u | 0x01u | 0x6Au);
    EXPECT_EQ(labels.m_labelField, "PAV");
    EXPECT_EQ(labels.m_spareLabelText, "spare");
    EXPECT_EQ(labels.m_referenceScale, 10000);
    EXPECT_EQ(labels.m_labelStyle.color, 0x0000FFu);
    EXPECT_EQ(labels.m_kind, CSublayer::kOneStyle); // the look stays
    EXPECT_TRUE(from->SublayerScalesMatch(*to));

    from->CopySublayers(*to);
    EXPECT_EQ(to->GetSublayer(0)->m_kind, CSublayer::kClassified);
    EXPECT_EQ(to->GetSublayer(0)->m_classField, "TIPAS");
    EXPECT_EQ(to->GetSublayer(0)->m_classes.GetCount(), 1);
    EXPECT_EQ(to->GetSublayer(0)->m_style.Draw().penWidth, 0u);

    // Counts that differ: the other's list is made like this one's first.
    auto three = LayerWithLimits({0, 1, 2});
    from->CopySublayerLabels(*three);
    EXPECT_EQ(three->GetSublayer(0)->m_labelField, "");
    from->CopySublayers(*three);
    EXPECT_EQ(Limits(*three), (std::vector<int32_t>{0, 25000}));
}
