#include "settings/StylePageRules.h"

#include "layers/Layer.h"
#include "layers/PointStyle.h"
#include "layers/Sublayer.h"
#include "layers/TrackStyle.h"
#include "settings/BaseScales.h"
#include "tests/settings/ParcelLayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A layer with bands at the limits, each band's pen width its index + 1,
// so a band is known by its style.
CLayer Banded(int type, const std::vector<int32_t>& limits)
{
    CLayer layer("Keliai", "keliai.gdb", type);
    for (size_t i = 1; i < limits.size(); ++i)
        layer.AddSublayer(limits[i]);
    for (int i = 0; i < layer.GetSublayerCount(); ++i) {
        CDrawStyle style = layer.GetSublayer(i)->m_style.Draw();
        style.penWidth = static_cast<uint32_t>(i + 1);
        layer.GetSublayer(i)->m_style = style;
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

std::vector<uint32_t> Widths(const CLayer& layer)
{
    std::vector<uint32_t> widths;
    for (int i = 0; i < layer.GetSublayerCount(); ++i)
        widths.push_back(layer.GetSublayer(i)->m_style.Draw().penWidth);
    return widths;
}

CThresholdChecks Checked(std::initializer_list<int32_t> scales)
{
    CThresholdChecks checked{};
    for (size_t i = 0; i < kScaleThresholds.size(); ++i)
        for (const int32_t scale : scales)
            checked[i] = checked[i] || kScaleThresholds[i].denominator == scale;
    return checked;
}

TEST(StylePageRules, BandLinesRunFromMinToMax)
{
    EXPECT_EQ(BandTexts(Banded(CLayer::kLine, {0})), (std::vector<std::string>{"1:MIN - 1:MAX"}));
    EXPECT_EQ(BandTexts(Banded(CLayer::kLine, {0, 10000, 100000})),
              (std::vector<std::string>{"1:MIN - 1:10000", "1:10000 - 1:100000", "1:100000 - 1:MAX"}));
}

TEST(StylePageRules, ThresholdsAddRemoveOrMoveBands)
{
    const struct {
        const char* what;
        std::vector<int32_t> limits;
        CThresholdChecks checked;
        std::vector<int32_t> after;
        std::vector<uint32_t> widths;
    } cases[] = {
        {"two on one band copy the band below", {0}, Checked({10000, 100000}), {0, 10000, 100000}, {1, 1, 1}},
        {"one of three unchecked", {0, 5000, 20000, 100000}, Checked({5000, 100000}), {0, 5000, 100000}, {1, 2, 4}},
        {"as many checked move the limits", {0, 5000, 20000, 100000}, Checked({1000, 50000, 200000}),
         {0, 1000, 50000, 200000}, {1, 2, 3, 4}},
        {"a new one copies the band it splits", {0, 5000, 100000}, Checked({5000, 20000, 100000, 500000}),
         {0, 5000, 20000, 100000, 500000}, {1, 2, 2, 3, 3}},
        {"none checked", {0, 5000, 100000}, Checked({}), {0}, {1}},
        {"unchanged", {0, 5000}, Checked({5000}), {0, 5000}, {1, 2}},
    };
    for (const auto& c : cases) {
        CLayer layer = Banded(CLayer::kLine, c.limits);
        ApplyThresholds(layer, c.checked);
        EXPECT_EQ(Limits(layer), c.after) << c.what;
        EXPECT_EQ(Widths(layer), c.widths) << c.what;
    }
    // The dialog checks the rows the layer has bands at; a limit of no row
    // (from an older file) checks none.
    const CThresholdChecks checked = CheckedThresholds(Banded(CLayer::kLine, {0, 5000, 15000, 100000}));
    EXPECT_EQ(checked, Checked({5000, 100000}));
}

TEST(StylePageRules, TheSymbolButtonOpensTheDialogOfTheTypeAndKind)
{
    using D = SymbolDialog;
    const struct {
        int type;
        int kind;
        SymbolDialog dialog;
    } cases[] = {
        {CLayer::kPoint, 1, D::kPointSymbols}, {CLayer::kLine, 1, D::kLineStyle}, {CLayer::kArea, 1, D::kAreaStyle},
        {CLayer::kTrack, 1, D::kSignList},     {CLayer::kLine, 0, D::kNone},      {CLayer::kPoint, 2, D::kThematic},
        {CLayer::kArea, 2, D::kThematic},      {CLayer::kRaster, 1, D::kNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SymbolDialogFor(c.type, c.kind), c.dialog) << c.type << " " << c.kind;
}

TEST(StylePageRules, TheRotationFieldIsStoredByName)
{
    CParcelLayer parcels;
    CLayer points("Taskai", parcels.dir.File("sklypai.gdb"), CLayer::kPoint);
    points.FieldAliases() = parcels.layer->FieldAliases();
    points.SetFlag(CLayer::kHasAliases, true);
    const std::vector<CFieldChoice> fields = RotationFields(points);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].name, "PLOTAS");
    EXPECT_EQ(fields[0].alias, "Plotas, ha");
    EXPECT_EQ(fields[1].name, "KAINA");

    CSublayer band(CLayer::kPoint);
    const struct {
        const char* stored;
        bool flag;
        int found;
    } cases[] = {
        {"KAINA", true, 1}, {"PLOTAS", true, 0}, {"Plotas, ha", true, 0}, // an alias as older maps hold it
        {"PLOTAS", false, -1}, {"", true, -1}, {"PAV", true, -1}, // not a number
    };
    for (const auto& c : cases) {
        band.m_rotationField = c.stored;
        band.m_labelFlags = c.flag ? uint32_t{CSublayer::kRotatedSymbols} : 0u;
        EXPECT_EQ(FindRotationField(fields, band), c.found) << c.stored;
    }
    SetRotationField(band, "PLOTAS");
    EXPECT_EQ(band.m_rotationField, "PLOTAS");
    EXPECT_TRUE(band.m_labelFlags & CSublayer::kRotatedSymbols);
    SetRotationField(band, "");
    EXPECT_EQ(band.m_rotationField, "");
    EXPECT_FALSE(band.m_labelFlags & CSublayer::kRotatedSymbols);

    CPointStyle style;
    for (const int16_t kind : {CPointStyle::kLibrary, CPointStyle::kFontCharacter, CPointStyle::kPicture}) {
        style.kind = kind;
        EXPECT_EQ(TurnsBySymbol(style), kind == CPointStyle::kFontCharacter);
    }
}

TEST(StylePageRules, ATrackKeepsSixteenBitsOfItsSymbolAndComposesItsLine)
{
    CTrackStyle style;
    style.symbol = 7;
    SetTrackSymbol(style, 0x8003);
    EXPECT_EQ(style.symbol, 0x8003);
    SetTrackSymbol(style, 0x18004);
    EXPECT_EQ(style.symbol, 0x8004);
    SetTrackSymbol(style, -1); // nothing chosen
    EXPECT_EQ(style.symbol, 0x8004);

    style.penStyle = 2;
    style.penWidth = 16;
    style.penColor = RGB(1, 2, 3);
    style.backColor = 0xFFFFFF;
    style.lineShown = 1;
    CDrawStyle line = TrackLine(style);
    EXPECT_EQ(line.penStyle, 2u);
    EXPECT_EQ(line.penWidth, 16u);
    CDrawStyle::Line first{1, 8, RGB(9, 9, 9)}, second{0, 4, RGB(8, 8, 8)};
    line.ComposeLines(first, second, true);
    SetTrackLine(style, line);
    EXPECT_EQ(static_cast<uint32_t>(style.penStyle), 0x10000001u);
    EXPECT_EQ(static_cast<uint32_t>(style.penWidth), (4u << 16) | 8u);
    EXPECT_EQ(style.penColor, RGB(9, 9, 9));
    EXPECT_EQ(style.backColor, RGB(8, 8, 8));
    EXPECT_EQ(style.symbol, 0x8004);
    EXPECT_EQ(style.lineShown, 1);
}

TEST(StylePageRules, PlacementCodesByLayerType)
{
    const int point = CLayer::kPoint, line = CLayer::kLine, area = CLayer::kArea, track = CLayer::kTrack;
    // The grid stores its code on points, areas and tracks.
    for (const int type : {point, area, track})
        for (const CPlacementRadio& radio : kPlacementRadios) {
            EXPECT_TRUE(ShowsPlacementRadio(radio.id, type));
            EXPECT_EQ(PlacementRadioFor(radio.code, type), radio.id);
            EXPECT_EQ(PlacementCodeFor(radio.id, type), radio.code);
        }
    const struct {
        int type;
        int16_t stored;
        int radio;
        int16_t written; // by that radio
    } cases[] = {
        {point, 256, 1033, 256}, {point, 512, 1033, 256}, {area, 256, 1033, 512}, {area, 512, 1033, 512},
        {track, 512, 1033, 256}, {line, 256, 1028, 30},  {line, 512, 1028, 30},  {line, 10, 1027, 14},
        {line, 26, 1028, 30},    {line, 2, 1029, 6},      {line, 8, 1027, 14},    {line, 0, 1029, 6},
        {line, 24, 1028, 30},    {point, 100, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlacementRadioFor(c.stored, c.type), c.radio) << c.type << " " << c.stored;
        if (c.radio) {
            EXPECT_EQ(PlacementCodeFor(c.radio, c.type), c.written) << c.type << " " << c.stored;
        }
    }
    // A line offers only the centre column: above, on and below it.
    for (const CPlacementRadio& radio : kPlacementRadios)
        EXPECT_EQ(ShowsPlacementRadio(radio.id, line), radio.id >= 1027 && radio.id <= 1029) << radio.id;
    EXPECT_FALSE(ShowsPlacementRadio(kAutoPlacementRadio, line));
    EXPECT_EQ(PlacementCodeFor(kAutoPlacementRadio, line), 30);
    EXPECT_EQ(PlacementCodeFor(1024, line), 14);
}

TEST(StylePageRules, LabelValuesComeAndGoByTheirFlags)
{
    SetLabelBaseScale(25000);
    CSublayer band(CLayer::kPoint);
    band.m_labelFlags = CSublayer::kLabelFrame | CSublayer::kLetterOutlines | CSublayer::kRotatedSymbols;
    band.m_labelPlacement = 14;
    band.m_labelDistance = 100;
    CLabelValues values = ReadLabelValues(band, CLayer::kPoint);
    EXPECT_EQ(values.placementRadio, 1027);
    EXPECT_TRUE(values.halo);
    EXPECT_FALSE(values.frame) << "a halo leaves no frame";
    EXPECT_EQ(values.referenceScale, 25000) << "no scale of its own proposes the base scale";
    EXPECT_EQ(values.offset, "2.5");

    // The offset shown is written back as it was; typed, it is read.
    WriteLabelValues(values, CLayer::kPoint, band);
    EXPECT_EQ(band.m_labelDistance, 100);
    EXPECT_EQ(band.m_referenceScale, 0) << "the size does not follow the scale";
    EXPECT_EQ(band.m_labelFlags, CSublayer::kLetterOutlines | CSublayer::kRotatedSymbols);
    values.offset = "2.54";
    values.scaled = true;
    values.showAll = true;
    values.referenceScale = 5000;
    values.placementRadio = kAutoPlacementRadio;
    WriteLabelValues(values, CLayer::kPoint, band);
    EXPECT_EQ(band.m_labelDistance, 100);
    EXPECT_EQ(band.m_referenceScale, 5000);
    EXPECT_EQ(band.m_labelPlacement, 256);
    EXPECT_EQ(band.m_labelFlags, CSublayer::kLetterOutlines | CSublayer::kRotatedSymbols |
                                     CSublayer::kShowAllLabels | CSublayer::kScaledLabels);
    values.offset = "-3";
    values.placementRadio = 0; // none checked keeps the code
    WriteLabelValues(values, CLayer::kPoint, band);
    EXPECT_EQ(band.m_labelDistance, 0);
    EXPECT_EQ(band.m_labelPlacement, 256);
    EXPECT_EQ(ReadLabelValues(band, CLayer::kPoint).referenceScale, 5000);
    SetLabelBaseScale(0);

    band.m_labelFrameStyle.brushColor = RGB(1, 2, 3);
    EXPECT_EQ(HaloColor(band), RGB(1, 2, 3));
}

} // namespace
