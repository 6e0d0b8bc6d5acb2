#include "settings/LayerSheetRules.h"

#include "core/DbfFieldInfo.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "tests/settings/ParcelLayer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using P = LayerSheetPage;
using Pages = std::vector<P>;

TEST(LayerSheetRules, PagesByTypeAndGroup)
{
    const Pages vector{P::kGeneral, P::kTable, P::kSymbol, P::kLabels, P::kFilter, P::kNotes};
    const struct {
        int type;
        int group;
        Pages pages;
    } cases[] = {
        {CLayer::kRaster, -1, {P::kGeneral, P::kScale, P::kNotes}},
        {CLayer::kTrack, -1, {P::kGeneral, P::kTable, P::kSymbol, P::kLabels, P::kTrackFilter, P::kNotes}},
        {CLayer::kPoint, -1, vector},
        {CLayer::kLine, -1, vector},
        {CLayer::kArea, -1, vector},
        {CLayer::kArea, 7, vector}, // not a group: every page
        {CLayer::kArea, 0, {P::kSymbol}},
        {CLayer::kArea, 1, {P::kLabels}},
        {CLayer::kArea, 2, {P::kFilter}},
        {CLayer::kArea, 3, {P::kNotes}},
        {CLayer::kTrack, 2, {P::kTrackFilter}},
        {CLayer::kRaster, 0, {}},
        {CLayer::kRaster, 1, {P::kScale}},
        {CLayer::kRaster, 2, {}},
        {CLayer::kRaster, 3, {P::kNotes}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LayerSheetPages(c.type, c.group), c.pages) << c.type << " group " << c.group;
}

TEST(LayerSheetRules, TheSheetStartsOnThePageLeftLast)
{
    const Pages point = LayerSheetPages(CLayer::kPoint, -1);
    const Pages track = LayerSheetPages(CLayer::kTrack, -1);
    for (int last = 0; last <= 5; ++last) {
        // In a full sheet the number is the page's place.
        EXPECT_EQ(LayerSheetStartPage(point, CLayer::kPoint, last), last);
        EXPECT_EQ(LayerSheetStartPage(track, CLayer::kTrack, last), last);
        EXPECT_EQ(LayerSheetStartPage(LayerSheetPages(CLayer::kRaster, -1), CLayer::kRaster, last), 0);
    }
    EXPECT_EQ(track[4], P::kTrackFilter);
    // A sheet short of pages starts on the page left last when it has it.
    const Pages without{P::kGeneral, P::kTable, P::kFilter, P::kNotes};
    EXPECT_EQ(LayerSheetStartPage(without, CLayer::kArea, 4), 2);
    EXPECT_EQ(LayerSheetStartPage(without, CLayer::kArea, 3), 0);
    EXPECT_EQ(LayerSheetStartPage(LayerSheetPages(CLayer::kLine, 3), CLayer::kLine, 5), 0);
    EXPECT_EQ(LayerSheetStartPage({}, CLayer::kLine, 5), 0);
    EXPECT_EQ(LayerSheetPageNumber(P::kScale), -1);
}

class LayerSheetRulesTest : public ::testing::Test {
protected:
    LayerSheetRulesTest()
    {
        roads = Add("Keliai", "keliai.gdb", CLayer::kLine);
        houses = Add("Namai", "namai.shp", CLayer::kArea);
    }
    CLayer* Add(const std::string& name, const std::string& path, int type)
    {
        auto layer = std::make_unique<CLayer>(name, path, type);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return added;
    }

    CDrelDoc doc;
    CLayer* roads;
    CLayer* houses;
};

TEST_F(LayerSheetRulesTest, TheGeneralPageRefusesNoNameAnotherLayersNameAndNoFile)
{
    const struct {
        const char* name;
        const char* path;
        int message;
    } cases[] = {
        {"", "keliai.gdb", kNoLayerName},
        {"Namai", "keliai.gdb", kLayerNameTaken},
        {"Namai", "", kLayerNameTaken},
        {"namai", "keliai.gdb", 0}, // letter case counts
        {"Keliai", "keliai.gdb", 0},
        {"KELIAI", "keliai.gdb", 0}, // its own name in other letters
        {"Gatv\xEBs", "", kNoFileName},
    };
    for (const auto& c : cases) {
        CLayerDefValues values = ReadLayerDefValues(*roads);
        values.name = c.name;
        values.path = c.path;
        EXPECT_EQ(CheckLayerDefValues(values, *roads, &doc), c.message) << c.name << " " << c.path;
    }
    // Without a document only the name and the file are needed.
    CLayerDefValues values = ReadLayerDefValues(*roads);
    values.name = "Namai";
    EXPECT_EQ(CheckLayerDefValues(values, *roads, nullptr), 0);
    EXPECT_TRUE(IsLayerNameTaken("Namai", *roads, doc));
    EXPECT_FALSE(IsLayerNameTaken("Namai", *houses, doc));
    // Another layer's name in the letters of this one's is still another's;
    // a name two layers share already may be kept.
    CLayer* other = Add("keliai", "k.gdb", CLayer::kLine);
    EXPECT_TRUE(IsLayerNameTaken("keliai", *roads, doc));
    other->SetName("Keliai");
    EXPECT_FALSE(IsLayerNameTaken("Keliai", *roads, doc));
    EXPECT_TRUE(IsLayerNameTaken("Keliai", *houses, doc));
}

TEST_F(LayerSheetRulesTest, TheGeneralPageWritesBackWhatItShows)
{
    const struct {
        int type;
        uint32_t flags;
    } cases[] = {
        {CLayer::kLine, CLayer::kDynamic | CLayer::kShown | CLayer::kObjectsEditable},
        {CLayer::kLine, CLayer::kInfoEditable | CLayer::kInOverview | CLayer::kWorking | CLayer::kManyFiles},
        {CLayer::kRaster, CLayer::kTransparent | CLayer::kDynamic | CLayer::kShown},
        {CLayer::kRaster, 0},
        {CLayer::kTrack, 0x1F | CLayer::kNewestRecordOnly},
    };
    for (const auto& c : cases) {
        // What the page shows, left unchanged, leaves every flag as it was,
        // dynamic layers too.
        roads->SetType(c.type);
        roads->SetFlags(c.flags);
        roads->SetRedrawInterval(3725);
        const CLayerDefValues values = ReadLayerDefValues(*roads);
        EXPECT_EQ(values.interval, "62:05");
        EXPECT_EQ(values.dynamic, (c.flags & CLayer::kDynamic) != 0);
        WriteLayerDefValues(values, *roads);
        EXPECT_EQ(roads->GetFlags(), c.flags) << c.type;
        EXPECT_EQ(roads->GetRedrawInterval(), 3725);
    }

    // The protections are the editing flags inverted; a raster map keeps
    // them and takes its translucence instead.
    CLayerDefValues values = ReadLayerDefValues(*roads);
    values.objectsProtected = true;
    values.infoProtected = false;
    values.translucent = true;
    values.dynamic = true;
    values.interval = "abc";
    values.name = "Gatv\xEBs";
    values.idField = "PAV";
    values.type = CLayer::kTrack;
    roads->SetFlags(CLayer::kShown);
    WriteLayerDefValues(values, *roads);
    EXPECT_EQ(roads->GetFlags(), CLayer::kInfoEditable | CLayer::kDynamic | CLayer::kWorking | CLayer::kShown);
    EXPECT_EQ(roads->GetRedrawInterval(), 0);
    EXPECT_EQ(roads->GetName(), "Gatv\xEBs");
    EXPECT_EQ(roads->GetIdField(), "PAV");

    houses->SetType(CLayer::kRaster);
    houses->SetFlags(CLayer::kObjectsEditable);
    values = ReadLayerDefValues(*houses);
    values.objectsProtected = true;
    values.translucent = true;
    WriteLayerDefValues(values, *houses);
    EXPECT_EQ(houses->GetFlags(), CLayer::kObjectsEditable | CLayer::kTransparent);
}

TEST(LayerSheetRules, RedrawIntervalTexts)
{
    const struct {
        int32_t seconds;
        const char* text;
    } shown[] = {{0, "00:00"}, {59, "00:59"}, {60, "01:00"}, {3725, "62:05"}, {6000, "100:00"}};
    for (const auto& s : shown) {
        EXPECT_EQ(FormatRedrawInterval(s.seconds), s.text);
        EXPECT_EQ(ParseRedrawInterval(s.text), s.seconds);
    }
    // Whatever the stored word, it comes back through its text.
    EXPECT_EQ(ParseRedrawInterval(FormatRedrawInterval(-1)), -1);

    const struct {
        const char* text;
        int32_t seconds;
    } read[] = {
        {"abc", 0}, {"", 0}, {"5", 300}, {"1:2", 62}, {" 2: 5", 125}, {"2 :5", 120},
        {":30", 0}, {"1:x", 60}, {"-1:00", 0}, {"0:90", 90},
    };
    for (const auto& r : read)
        EXPECT_EQ(ParseRedrawInterval(r.text), r.seconds) << r.text;
}

TEST(LayerSheetRules, TypeChoices)
{
    using Types = std::vector<int>;
    EXPECT_EQ(LayerTypeChoices(CLayer::kPoint), Types{CLayer::kPoint});
    EXPECT_EQ(LayerTypeChoices(CLayer::kLine), (Types{CLayer::kLine, CLayer::kArea}));
    EXPECT_EQ(LayerTypeChoices(CLayer::kArea), (Types{CLayer::kLine, CLayer::kArea}));
    EXPECT_EQ(LayerTypeChoices(CLayer::kTrack), Types{CLayer::kTrack});
    EXPECT_EQ(LayerTypeChoices(CLayer::kRaster), Types{});
}

TEST_F(LayerSheetRulesTest, ThePlacemarksSettingFollowsARenameOfItsPointLayer)
{
    CLayer* marks = Add("Vietos", "vietos.gdb", CLayer::kPoint);
    doc.Settings().placemarksLayer = "Vietos";
    marks->SetName("Mano vietos");
    FollowPlacemarksLayerRename(doc, *marks, "Vietos");
    EXPECT_EQ(doc.Settings().placemarksLayer, "Mano vietos");
    // Not another layer's rename, nor a line layer's.
    FollowPlacemarksLayerRename(doc, *houses, "Namai");
    roads->SetName("Vietos2");
    doc.Settings().placemarksLayer = "Keliai";
    FollowPlacemarksLayerRename(doc, *roads, "Keliai");
    EXPECT_EQ(doc.Settings().placemarksLayer, "Keliai");
}

TEST(LayerSheetRules, FieldChoicesAndTableRows)
{
    CParcelLayer parcels;
    CLayer& layer = *parcels.layer;
    std::vector<std::string> chosen;
    for (const CFieldChoice& field : ChoosableFields(layer))
        chosen.push_back(field.alias + "/" + field.name + "/" + field.type);
    EXPECT_EQ(chosen, (std::vector<std::string>{"Pavadinimas/PAV/C", "Plotas, ha/PLOTAS/N", "KAINA/KAINA/F",
                                                "ARCHYV/ARCHYV/L", "DATA/DATA/D", "KODAS/KODAS/C"}));
    EXPECT_TRUE(ChoosableFields(CLayer("X", parcels.dir.File("missing.gdb"), CLayer::kArea)).empty());

    layer.HiddenFields() = {"kodas", "GONE"};
    layer.SetFlag(CLayer::kHasHiddenFields, true);
    std::vector<CDbfFieldInfo> fields;
    ASSERT_TRUE(layer.ReadFieldList(fields));
    std::vector<CFieldRow> rows = ReadFieldRows(layer, fields);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].fullName, "Pavadinimas");
    EXPECT_EQ(rows[0].field, "PAV");
    EXPECT_EQ(rows[2].fullName, "KAINA");
    EXPECT_TRUE(rows[0].shown);
    EXPECT_FALSE(rows[6].shown) << "hidden names match in any letter case";
}

TEST(LayerSheetRules, TableRowsWriteAliasesAndHiddenFields)
{
    using Row = CFieldRow;
    struct Case {
        const char* name;
        std::vector<Row> rows;
        CStringMap aliases;
        std::vector<std::string> hidden;
        uint32_t flags;
    };
    const Case cases[] = {
        {"names kept", {{"Pavadinimas", "PAV", true}, {"Plotas, ha", "PLOTAS", true}},
         {{"PAV", "Pavadinimas"}, {"PLOTAS", "Plotas, ha"}}, {}, CLayer::kHasAliases},
        {"an emptied and an equal full name remove their aliases",
         {{"", "PAV", true}, {"PLOTAS", "PLOTAS", true}}, {}, {}, 0},
        {"a new alias, a field hidden",
         {{"", "PAV", true}, {"Plotas, ha", "PLOTAS", false}, {"Kodas", "KODAS", false}},
         {{"PLOTAS", "Plotas, ha"}, {"KODAS", "Kodas"}}, {"PLOTAS", "KODAS"},
         CLayer::kHasAliases | CLayer::kHasHiddenFields},
        {"only hidden", {{"", "PAV", false}, {"", "PLOTAS", true}}, {}, {"PAV"}, CLayer::kHasHiddenFields},
    };
    for (const Case& c : cases) {
        CLayer layer("L", "l.gdb", CLayer::kPoint);
        layer.FieldAliases().SetAt("PAV", "Pavadinimas");
        layer.FieldAliases().SetAt("PLOTAS", "Plotas, ha");
        layer.HiddenFields() = {"ARCHYV"};
        layer.SetFlags(CLayer::kShown | CLayer::kHasAliases | CLayer::kHasHiddenFields);
        WriteFieldRows(c.rows, layer);
        EXPECT_EQ(layer.FieldAliases(), c.aliases) << c.name;
        EXPECT_EQ(layer.HiddenFields(), c.hidden) << c.name;
        EXPECT_EQ(layer.GetFlags(), CLayer::kShown | c.flags) << c.name;
    }
}

// The kinds of the sublayers from the first: 0 hidden, 1 drawn.
struct Bands {
    std::vector<int32_t> limits;
    std::vector<int> kinds;
    friend bool operator==(const Bands&, const Bands&) = default;
};

Bands BandsOf(const CLayer& layer)
{
    Bands bands;
    for (int i = 0; i < layer.GetSublayerCount(); ++i) {
        bands.limits.push_back(layer.GetSublayer(i)->m_lowerLimit);
        bands.kinds.push_back(layer.GetSublayer(i)->m_kind);
    }
    return bands;
}

void PrintTo(const Bands& bands, std::ostream* out)
{
    for (size_t i = 0; i < bands.limits.size(); ++i)
        *out << " [" << bands.limits[i] << " " << bands.kinds[i] << "]";
}

TEST(LayerSheetRules, TheScaleRangeOfARasterMapIsItsHiddenSublayers)
{
    const struct {
        const char* name;
        CScaleRange chosen;
        Bands bands;
        CScaleRange read;
    } cases[] = {
        {"both ends", {2000, 50000}, {{0, 2000, 50000}, {0, 1, 0}}, {2000, 50000}},
        {"ends swapped", {50000, 2000}, {{0, 2000, 50000}, {0, 1, 0}}, {2000, 50000}},
        {"1:MIN and 1:MAX", {0, 0}, {{0}, {1}}, {0, 0}},
        {"a minimum", {5000, 0}, {{0, 5000}, {0, 1}}, {5000, 0}},
        {"a maximum", {0, 10000}, {{0, 10000}, {1, 0}}, {0, 10000}},
        {"equal ends: nothing drawn", {10000, 10000}, {{0, 10000}, {0, 0}}, {10000, 10000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CLayer raster("Ortofoto", "orto.tif", CLayer::kRaster);
        raster.GetSublayer(0)->m_labelField = "own";
        SetRasterScaleRange(raster, c.chosen);
        EXPECT_EQ(BandsOf(raster), c.bands);
        const CScaleRange read = GetRasterScaleRange(raster);
        EXPECT_EQ(read.minimum, c.read.minimum);
        EXPECT_EQ(read.maximum, c.read.maximum);
        // Every band has the look of the first.
        for (int i = 0; i < raster.GetSublayerCount(); ++i)
            EXPECT_EQ(raster.GetSublayer(i)->m_labelField, "own");
    }
}

TEST(LayerSheetRules, EditsInARowLeaveTheMapDrawnBetweenItsLimits)
{
    CLayer raster("Ortofoto", "orto.tif", CLayer::kRaster);
    const CScaleRange edits[] = {{5000, 50000}, {0, 20000}, {2000, 0}, {1000, 100000}, {10000, 10000}, {0, 0}};
    for (const CScaleRange& range : edits) {
        SetRasterScaleRange(raster, range);
        const auto drawnAt = [&](double scale) {
            const CSublayer* in = raster.GetSublayerForScale(scale);
            return in && in->m_kind != CSublayer::kHidden;
        };
        for (const double scale : {500.0, 999.0, 1500.0, 3000.0, 7000.0, 15000.0, 30000.0, 70000.0, 200000.0}) {
            const bool inside = (range.minimum == 0 || scale > range.minimum) &&
                                (range.maximum == 0 || scale <= range.maximum) &&
                                !(range.minimum > 0 && range.minimum == range.maximum);
            EXPECT_EQ(drawnAt(scale), inside) << range.minimum << "-" << range.maximum << " at " << scale;
        }
    }
    EXPECT_EQ(raster.GetSublayerCount(), 1);
}

} // namespace
