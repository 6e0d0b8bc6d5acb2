#include "settings/MapSheetRules.h"

#include "mapdoc/DocumentObserver.h"
#include "shell/FieldText.h"
#include "tests/settings/TownMap.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

const std::string kNone = Utf8ToCp1257("<Nėra>");

std::vector<int> Selections(const CMapLayerChoice& choice)
{
    std::vector<int> selections;
    for (int f = 0; f < MapLayerPageFieldCount(choice.GetPage()); ++f)
        selections.push_back(choice.GetFieldSelection(f));
    return selections;
}

// What a page does when it is shown and left without a change.
Texts VisitAndLeave(CMapLayerChoice& choice)
{
    choice.Fill();
    choice.Leave();
    Texts stored = {choice.GetLayer()};
    stored.insert(stored.end(), choice.GetFields().begin(), choice.GetFields().end());
    return stored;
}

class MapSheetRulesTest : public ::testing::Test {
protected:
    CTownMap town;
    CDrelDoc& doc = town.doc;
};

TEST_F(MapSheetRulesTest, EachPageListsTheLayersOfItsTypeAfterNone)
{
    const struct {
        MapLayerPage page;
        Texts layers;
        int fields;
    } cases[] = {
        {MapLayerPage::kRoutes, {kNone, "Keliai", Utf8ToCp1257("Gatvės")}, 6},
        {MapLayerPage::kStreets, {kNone, "Keliai", Utf8ToCp1257("Gatvės")}, 3},
        {MapLayerPage::kAddresses, {kNone, "Adresai"}, 6},
    };
    for (const auto& c : cases) {
        CMapLayerChoice choice(c.page, doc);
        choice.Fill();
        EXPECT_EQ(choice.GetLayerItems(), c.layers) << static_cast<int>(c.page);
        EXPECT_EQ(MapLayerPageFieldCount(c.page), c.fields);
    }
}

TEST_F(MapSheetRulesTest, FieldsAreShownByAliasAndStoredByName)
{
    CMapLayerChoice routes(MapLayerPage::kRoutes, doc);
    routes.Fill();
    EXPECT_EQ(routes.GetLayerSelection(), 1);
    EXPECT_TRUE(routes.FieldsEnabled());
    // The memo field is no field to choose.
    EXPECT_EQ(routes.GetFieldItems(), (Texts{kNone, "FNODE", "TNODE", "Ilgis, m", "KRYPTIS", "SVORIS", "SVARBA"}));
    EXPECT_EQ(Selections(routes), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    routes.ChooseField(0, 2);
    routes.Leave();
    EXPECT_EQ(routes.GetFields(), (Texts{"TNODE", "TNODE", "ILGIS", "KRYPTIS", "SVORIS", "SVARBA"}));
    routes.Apply(doc);
    EXPECT_EQ(doc.Settings().fromNodeField, "TNODE");
    EXPECT_EQ(doc.Settings().arcLengthField, "ILGIS");
}

TEST_F(MapSheetRulesTest, StoredNamesAreFoundWhateverTheirLetterCase)
{
    doc.Settings().routesLayer = "KELIAI";
    doc.Settings().fromNodeField = "fnode";
    CMapLayerChoice routes(MapLayerPage::kRoutes, doc);
    EXPECT_EQ(VisitAndLeave(routes), (Texts{"Keliai", "FNODE", "TNODE", "ILGIS", "KRYPTIS", "SVORIS", "SVARBA"}));
}

TEST_F(MapSheetRulesTest, NoLayerDisablesTheFieldsWithNoneOnly)
{
    doc.Settings().streetsLayer.clear();
    CMapLayerChoice streets(MapLayerPage::kStreets, doc);
    streets.Fill();
    EXPECT_EQ(streets.GetLayerSelection(), 0);
    EXPECT_FALSE(streets.FieldsEnabled());
    EXPECT_EQ(streets.GetFieldItems(), Texts{kNone});
    EXPECT_EQ(Selections(streets), (std::vector<int>{0, 0, 0}));
    streets.ChooseLayer(2);
    EXPECT_TRUE(streets.FieldsEnabled());
    streets.ChooseLayer(0);
    EXPECT_FALSE(streets.FieldsEnabled());
    streets.Leave();
    EXPECT_EQ(streets.GetLayer(), "");
    EXPECT_EQ(streets.GetFields(), (Texts{"", "", ""}));
}

TEST_F(MapSheetRulesTest, ANewRoutingLayerClearsTheFieldsItLacks)
{
    CMapLayerChoice routes(MapLayerPage::kRoutes, doc);
    routes.Fill();
    routes.ChooseLayer(2); // the streets: only FNODE of the six
    EXPECT_EQ(routes.GetFieldItems(), (Texts{kNone, "PAV", "KODAS", "MIESTAS", "FNODE"}));
    EXPECT_EQ(Selections(routes), (std::vector<int>{4, 0, 0, 0, 0, 0}));
    routes.ChooseLayer(1); // back: what the streets cleared stays cleared
    EXPECT_EQ(Selections(routes), (std::vector<int>{1, 0, 0, 0, 0, 0}));
    routes.ChooseLayer(2);
    routes.Leave();
    routes.Apply(doc);
    const CMapSettings& s = doc.Settings();
    EXPECT_EQ(s.routesLayer, Utf8ToCp1257("Gatvės"));
    EXPECT_EQ((Texts{s.fromNodeField, s.toNodeField, s.arcLengthField, s.dirMaskField, s.weightField,
                     s.significanceField}),
              (Texts{"FNODE", "", "", "", "", ""}));
}

TEST_F(MapSheetRulesTest, WhatIsGoneShowsNoSelectionAndIsClearedOnlyByAVisit)
{
    doc.Settings().addressesLayer = "Senieji adresai";
    doc.Settings().codeField = "SENAS_KODAS";
    // A page never shown gives back what it was given.
    CMapLayerChoice unseen(MapLayerPage::kAddresses, doc);
    CMapLayerChoice unseenStreets(MapLayerPage::kStreets, doc);
    unseen.Apply(doc);
    unseenStreets.Apply(doc);
    EXPECT_EQ(doc.Settings().addressesLayer, "Senieji adresai");
    EXPECT_EQ(doc.Settings().streetCodeField, "GKODAS");
    EXPECT_EQ(doc.Settings().codeField, "SENAS_KODAS");

    CMapLayerChoice addresses(MapLayerPage::kAddresses, doc);
    addresses.Fill();
    EXPECT_EQ(addresses.GetLayerSelection(), -1);
    EXPECT_FALSE(addresses.FieldsEnabled());
    EXPECT_EQ(VisitAndLeave(addresses), (Texts{"", "", "", "", "", "", ""}));

    CMapLayerChoice streets(MapLayerPage::kStreets, doc);
    streets.Fill();
    EXPECT_EQ(Selections(streets), (std::vector<int>{1, -1, 0}));
    EXPECT_EQ(VisitAndLeave(streets), (Texts{Utf8ToCp1257("Gatvės"), "PAV", "", ""}));
}

TEST_F(MapSheetRulesTest, AMapWithoutLineLayersOffersNoneOnly)
{
    CDrelDoc empty;
    empty.Settings().routesLayer = "Keliai";
    CMapLayerChoice routes(MapLayerPage::kRoutes, empty);
    routes.Fill();
    EXPECT_EQ(routes.GetLayerItems(), Texts{kNone});
    routes.ChooseLayer(0);
    routes.Leave();
    routes.Apply(empty);
    EXPECT_EQ(empty.Settings().routesLayer, "");
}

// ------------------------------------------------------------ general page

// Records the hints the document sends.
struct CHints : IDocumentObserver {
    explicit CHints(CDrelDoc& doc) : doc(doc) { doc.AddObserver(this); }
    ~CHints() override { doc.RemoveObserver(this); }
    void OnUpdate(CDrelDoc&, uint32_t hint) override { hints.push_back(hint); }
    CDrelDoc& doc;
    std::vector<uint32_t> hints;
};

TEST_F(MapSheetRulesTest, UnitsAndTheCoordinateSystemChangeOnlyWhenAnotherUnitIsChosen)
{
    const struct {
        int units;
        int coordSystem;
        int shown;  // the combo's selection
        int chosen; // -1: nothing chosen
        int unitsAfter;
        int coordSystemAfter;
    } cases[] = {
        {kUnitsMetres, kCoordUtm, 1, 1, kUnitsMetres, kCoordUtm},     // kept in UTM
        {kUnitsMetres, kCoordTm96, 1, 1, kUnitsMetres, kCoordTm96},   // kept in LKS-92
        {kUnitsMetres, kCoordLocal, 1, 1, kUnitsMetres, kCoordLocal}, // kept in the local grid
        {kUnitsDegrees, 0, 0, 1, kUnitsMetres, kCoordTm},
        {kUnitsMetres, kCoordUtm, 1, 0, kUnitsDegrees, 0},
        {kUnitsKilometres, kCoordTm96, -1, -1, kUnitsKilometres, kCoordTm96},
        {kUnitsNauticalMiles, kCoordTm, -1, -1, kUnitsNauticalMiles, kCoordTm},
        {kUnitsKilometres, kCoordTm96, -1, 1, kUnitsMetres, kCoordTm},
        {kUnitsNauticalMiles, kCoordTm, -1, 0, kUnitsDegrees, 0},
    };
    for (const auto& c : cases) {
        doc.Settings().mapUnits = c.units;
        doc.SetCoordSystem(c.coordSystem);
        CMapDefValues values = ReadMapDefValues(doc);
        EXPECT_EQ(values.units, c.shown) << c.units;
        values.units = c.chosen;
        WriteMapDefValues(values, doc);
        EXPECT_EQ(doc.Settings().mapUnits, c.unitsAfter) << c.units << " " << c.chosen;
        EXPECT_EQ(doc.GetCoordSystem(), c.coordSystemAfter) << c.units << " " << c.chosen;
    }
}

// The values as the page's fields show them and read them back; the
// empty extent's sides show as empty fields, which keep them.
CMapDefValues ThroughTheFields(CMapDefValues values)
{
    for (double* v : {&values.limits.left, &values.limits.top, &values.limits.right, &values.limits.bottom,
                      &values.optimScale})
        if (IsLimitShown(*v)) {
            EXPECT_TRUE(ParseRealField(FormatRealField(*v), *v));
        }
    return values;
}

TEST_F(MapSheetRulesTest, UnchangedValuesStayExactlyAsStored)
{
    const CMapRect limits(582345.1234567890123, 6061234.987654321, 583999.00000000012, 6059000.1);
    for (const CMapRect& stored : {limits, CMapRect()}) {
        doc.Settings().limits = stored;
        doc.Settings().optimScale = 12345.678901234567;
        CHints hints(doc);
        WriteMapDefValues(ThroughTheFields(ReadMapDefValues(doc)), doc);
        EXPECT_EQ(doc.Settings().limits, stored);
        EXPECT_EQ(doc.Settings().optimScale, 12345.678901234567);
        EXPECT_TRUE(hints.hints.empty());
    }
    EXPECT_EQ(doc.Settings().limits.left, DBL_MAX) << "the empty extent stays empty";
    EXPECT_FALSE(IsLimitShown(DBL_MAX));
    EXPECT_FALSE(IsLimitShown(-DBL_MAX));
    EXPECT_TRUE(IsLimitShown(1e300));
}

TEST_F(MapSheetRulesTest, AChangedExtentGoesToTheViews)
{
    CHints hints(doc);
    CMapDefValues values = ReadMapDefValues(doc);
    values.name = "Miestas";
    values.limits = CMapRect(1, 20, 10, 2);
    values.optimScale = 5000;
    values.autoLoad = 1;
    values.autoRecalcMapExtent = 0;
    WriteMapDefValues(values, doc);
    const CMapSettings& s = doc.Settings();
    EXPECT_EQ(s.name, "Miestas");
    EXPECT_EQ(s.limits, CMapRect(1, 20, 10, 2));
    EXPECT_EQ(s.optimScale, 5000);
    EXPECT_EQ(s.autoLoad, 1);
    EXPECT_EQ(s.autoRecalcMapExtent, 0);
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{kHintOverview});
}

TEST_F(MapSheetRulesTest, RecalculatingTakesTheLayersExtentWhenThereIsOne)
{
    CMapRect limits(1, 2, 3, 4);
    CDrelDoc empty;
    EXPECT_FALSE(RecalcMapLimits(empty, limits));
    EXPECT_EQ(limits, CMapRect(1, 2, 3, 4));

    town.roads->SetExtent(CMapRect(100, 500, 300, 200));
    town.addresses->SetExtent(CMapRect(150, 650, 250, 250));
    for (CLayer* layer : {town.streets, doc.GetLayer(3)})
        layer->SetExtent(CMapRect(120, 400, 200, 300));
    EXPECT_TRUE(RecalcMapLimits(doc, limits));
    EXPECT_EQ(limits, CMapRect(100, 650, 300, 200));
}

TEST(NewMapUnits, TheLastChoiceOfTheRunIsOfferedAgain)
{
    EXPECT_EQ(GetNewMapUnits(), kUnitsDegrees);
    SetNewMapUnits(kUnitsMetres);
    EXPECT_EQ(GetNewMapUnits(), kUnitsMetres);
    SetNewMapUnits(kUnitsDegrees);
}

} // namespace
