// Streets and cities for the address toolbar, and houses found by number,
// over street and address layers written by the tests.
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/AddressSearch.h"
#include "mapdoc/AddressTable.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/NameFolding.h"
#include "mapdoc/TextOverlay.h"
#include "platform/VirtualKeys.h"
#include "tests/core/FieldLists.h"
#include "tests/mapdoc/AddressBoxes.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// ------------------------------------------------------------ address table

CAddressEntry Entry(uint32_t code, const char* number, double x, double y)
{
    CAddressEntry e;
    e.streetCode = code;
    EXPECT_TRUE(ParseHouseNumber(number, e.key)) << number;
    e.point = CMapPoint(x, y);
    return e;
}

struct FindCase {
    uint32_t street;
    const char* text;
    int status;
    double x, y;
    const char* foundText;
    const char* upperText;
};

TEST(AddressTable, FindsHousesExactlyNearestOrBetween)
{
    CAddressTable table = {
        // Street 3 lies before and street 9 after, so the bisection may land anywhere in street 7.
        Entry(3, "1", -5, -5),
        Entry(5, "10", 0, 50),  Entry(5, "16", 60, 50),
        Entry(7, "10", 0, 0),   Entry(7, "16", 60, 0),  Entry(7, "30", 90, 90), Entry(7, "31", 7, 7),
        Entry(8, "12", 0, 100), Entry(8, "14", 32, 100), Entry(8, "15b", 1, 1),
        Entry(9, "1", 1, 1),    Entry(9, "4097", 5, 5),
    };
    SortAddressTable(table);
    const FindCase cases[] = {
        {7, "12", 2, 20, 0, "10", "16"},      // a third of the way from 10 to 16
        {7, "11", 1, 7, 7, "31", ""},          // the odd side holds only 31
        {7, "13", 1, 7, 7, "31", ""},
        {7, "10", 0, 0, 0, "10", ""},          // the first house of the street
        {7, "32", 1, 90, 90, "30", ""},
        {8, "12a", 2, 1, 100, "12", "14"},     // key 193 between 192 and 224
        {8, "12 A", 2, 1, 100, "12", "14"},
        {8, "15B", 0, 1, 1, "15b", ""},
        {8, "15", 1, 1, 1, "15b", ""},         // 15b is the only odd house, just above
        {9, "4097", 0, 5, 5, "4097", ""},      // beyond what a 16-bit key held
        {9, "1", 0, 1, 1, "1", ""},
        {5, "11", -1, 0, 0, "", ""},           // a street without odd numbers
        {5, "12", 2, 20, 50, "10", "16"},
        {7, "a", -1, 0, 0, "", ""},            // no number
        {7, "", -1, 0, 0, "", ""},
        {7, "-12", -1, 0, 0, "", ""},
        {7, "999999999999", -1, 0, 0, "", ""},
        {4, "12", -1, 0, 0, "", ""},           // no such street
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.street) + " " + c.text);
        CAddressResult result;
        EXPECT_EQ(FindAddress(table, c.street, c.text, result), c.status >= 0);
        EXPECT_EQ(result.status, c.status);
        if (c.status < 0)
            continue;
        EXPECT_DOUBLE_EQ(result.point.x, c.x);
        EXPECT_DOUBLE_EQ(result.point.y, c.y);
        EXPECT_EQ(result.text, c.foundText);
        EXPECT_EQ(result.upperText, c.upperText);
    }
}

TEST(AddressTable, KeysAndTexts)
{
    uint32_t key = 0;
    ASSERT_TRUE(ParseHouseNumber("12a", key));
    EXPECT_EQ(key, 193u);
    EXPECT_EQ(HouseNumberText(key), "12a");
    ASSERT_TRUE(ParseHouseNumber("  15 Bis", key));
    EXPECT_EQ(key, 15u * 16 + 2);
    ASSERT_TRUE(ParseHouseNumber("7-p", key)); // any other letter counts as none
    EXPECT_EQ(HouseNumberText(key), "7");
    ASSERT_TRUE(ParseHouseNumber("15z", key));
    EXPECT_EQ(key, 15u * 16);
    EXPECT_TRUE(ParseHouseNumber("268435455", key));
    EXPECT_FALSE(ParseHouseNumber("268435456", key));
    EXPECT_EQ(HouseLetterIndex('O'), 15);
    EXPECT_EQ(HouseLetterIndex('p'), 0);
}

// ------------------------------------------------------------ layers of a map

struct StreetRow {
    const char* name;
    const char* city;
    int code;
};

struct AddressRow {
    int code;
    const char* number;
    const char* letter;
    int code2;
    const char* number2;
    double x, y;
};

class StreetLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        CMapSettings& s = doc.Settings();
        s.streetsLayer = "Gatves";
        s.cityNameField = "CITY";
        s.codeField = "CODE";
        s.addressesLayer = "Adresai";
        s.streetCodeField = "CODE";
        s.numField = "NUM";
        s.letterField = "LET";
        s.streetCodeField2 = "CODE2";
        s.numField2 = "NUM2";
        s.letterField2 = "LET2";
    }

    void AddStreets(const std::vector<StreetRow>& rows, const std::string& idField = "NAME")
    {
        const std::string path = dir.File("gatves.gdb");
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kLine,
                                  FieldList({{"NAME", 'C', 30, 0}, {"CITY", 'C', 20, 0}, {"CODE", 'N', 8, 0}}).data()));
        double y = 0;
        for (const StreetRow& row : rows) {
            CShape line;
            line.SetPoints(2, std::vector<CMapPoint>{{0, y}, {100, y}}.data());
            y += 10;
            ASSERT_TRUE(source.AppendShape(line, false));
            CDbfTable& table = source.GetTable();
            table.SetField(0, Cp(row.name));
            table.SetField(1, Cp(row.city));
            table.SetFieldLong(2, row.code);
            ASSERT_TRUE(table.WriteRecord());
        }
        auto layer = std::make_unique<CLayer>("Gatves", path, CLayer::kLine);
        layer->SetIdField(idField);
        doc.AddLayer(std::move(layer), false);
    }

    void AddAddresses(const std::vector<AddressRow>& rows)
    {
        const std::string path = dir.File("adresai.gdb");
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint,
                                  FieldList({{"CODE", 'N', 8, 0},
                                             {"NUM", 'C', 6, 0},
                                             {"LET", 'C', 2, 0},
                                             {"CODE2", 'N', 8, 0},
                                             {"NUM2", 'C', 6, 0},
                                             {"LET2", 'C', 2, 0}})
                                      .data()));
        for (const AddressRow& row : rows) {
            ASSERT_TRUE(source.AppendPoint(CMapPoint(row.x, row.y), false));
            CDbfTable& table = source.GetTable();
            table.SetFieldLong(0, row.code);
            table.SetField(1, row.number);
            table.SetField(2, row.letter);
            if (row.code2)
                table.SetFieldLong(3, row.code2);
            table.SetField(4, row.number2);
            ASSERT_TRUE(table.WriteRecord());
        }
        doc.AddLayer(std::make_unique<CLayer>("Adresai", path, CLayer::kPoint), false);
    }

    void AddCityStreets()
    {
        AddStreets({
            {"VILNIAUS G.", "Kaunas", 1},
            {"", "Kaunas", 2},             // nameless: skipped
            {"Vilniaus pl.", "KAUNAS", 3}, // the same city in other letters
            {"Pylimo g.", "Vilnius", 4},
            {"Pylimo g.", "Vilnius", 5}, // one street in two records
            {"Žalgirio g.", "kaunas", 6},
        });
    }

    CTempDir dir;
    CScriptedUserServices user;
    CCallLog log;
    CAddressBoxHost host{log};
    CDrelDoc doc;
};

TEST_F(StreetLookup, CitiesOnceStreetsWithTheirCities)
{
    AddCityStreets();
    ASSERT_TRUE(doc.LoadStreetNames());
    const CStreetLists& lists = doc.Streets().Lists();
    EXPECT_EQ(lists.cities, (std::vector<std::string>{"Kaunas", "Vilnius"}));
    EXPECT_EQ(lists.streetRecords, (std::vector<int32_t>{0, 2, 3, 4, 5}));
    EXPECT_EQ(lists.streetCities, (std::vector<int32_t>{0, 0, 1, 1, 0}));
    EXPECT_EQ(lists.streetNames[4], Cp("Žalgirio g."));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(StreetLookup, AChosenCityListsItsStreetsEqualNamesMerged)
{
    AddCityStreets();
    AddAddresses({});
    ASSERT_TRUE(doc.FillCityStreetCombos(false));
    EXPECT_EQ(host.city.Texts(), (std::vector<std::string>{"Kaunas", "Vilnius"}));
    EXPECT_EQ(host.city.GetCurSel(), 0);
    EXPECT_TRUE(host.city.enabled);
    EXPECT_EQ(host.city.owner, &doc);
    EXPECT_EQ(host.street.owner, &doc);
    EXPECT_EQ(host.street.Texts(), (std::vector<std::string>{"VILNIAUS G.", "Vilniaus pl.", Cp("Žalgirio g.")}));
    EXPECT_EQ(host.street.text, Cp("Įveskite gatvę..."));
    EXPECT_TRUE(host.house.enabled);

    host.city.SetCurSel(1);
    ASSERT_TRUE(doc.FillCityStreetCombos(true));
    ASSERT_EQ(host.street.Texts(), (std::vector<std::string>{"Pylimo g."}));
    EXPECT_EQ(host.street.items[0].second, 3);
    EXPECT_EQ(doc.Streets().Lists().merged.kept, (std::vector<int32_t>{3}));
    EXPECT_EQ(doc.Streets().Lists().merged.removed, (std::vector<int32_t>{4}));
}

TEST_F(StreetLookup, WithoutCityFieldEveryNamedRecord)
{
    doc.Settings().cityNameField.clear();
    doc.Settings().addressesLayer.clear();
    AddStreets({{"B g.", "", 1}, {"A g.", "", 2}, {"", "", 3}, {"A g.", "", 4}, {"A g.", "", 5}});
    ASSERT_TRUE(doc.FillCityStreetCombos(false));
    EXPECT_FALSE(host.city.enabled);
    EXPECT_TRUE(host.street.enabled);
    EXPECT_FALSE(host.house.enabled); // no addresses layer named
    EXPECT_EQ(host.street.Texts(), (std::vector<std::string>{"A g.", "B g."}));
    EXPECT_EQ(host.street.items[0].second, 1);
    // Three equal names: each later one goes, the pairs chain them.
    EXPECT_EQ(doc.Streets().Lists().merged.kept, (std::vector<int32_t>{3, 1}));
    EXPECT_EQ(doc.Streets().Lists().merged.removed, (std::vector<int32_t>{4, 3}));
}

TEST_F(StreetLookup, NoNameFieldIsReported)
{
    AddStreets({{"A g.", "X", 1}}, "PAVAD");
    EXPECT_FALSE(doc.LoadStreetNames());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1004});
    doc.Settings().cityNameField.clear();
    user.messages.clear();
    EXPECT_FALSE(doc.FillCityStreetCombos(false));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1004});
}

TEST_F(StreetLookup, OpeningAMapFillsTheBoxesActivatingAnotherRefills)
{
    AddCityStreets();
    const std::string mapPath = dir.File("miestas.map");
    ASSERT_TRUE(doc.OnSaveDocument(mapPath));
    host.street.ResetContent();
    host.street.owner = nullptr;

    CDrelDoc opened;
    ASSERT_TRUE(opened.OnOpenDocument(mapPath));
    EXPECT_EQ(host.street.owner, &opened);
    EXPECT_EQ(host.street.GetCount(), 3);

    // The box belongs to the opened map: activating the first one fills it for the first.
    doc.Settings().cityNameField.clear();
    doc.OnMapFrameActivate(true);
    EXPECT_EQ(host.street.owner, &doc);
    EXPECT_EQ(host.street.GetCount(), 4); // every named street, Pylimo g. once
    const int resets = host.street.resets;
    doc.OnMapFrameActivate(true); // its own already
    EXPECT_EQ(host.street.resets, resets);
    opened.OnMapFrameActivate(true);
    EXPECT_EQ(host.street.owner, &opened);
    EXPECT_EQ(host.street.GetCount(), 3);
}

TEST_F(StreetLookup, AddressTablesOfTheLayer)
{
    AddStreets({{"A g.", "X", 1}});
    AddAddresses({
        {1, "10", "", 0, "", 0, 0},
        {1, "16", "", 0, "", 60, 0},
        {2, "3", "", 1, "20", 100, 100}, // a corner house of streets 2 and 1
        {1, "15", "b", 0, "", 7, 7},
        {0, "5", "", 0, "", 9, 9}, // no street
    });
    CAddressTable all;
    ASSERT_TRUE(doc.LoadAddressTable(all, 0));
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].key, 160u);
    EXPECT_EQ(all[1].key, 15u * 16 + 2);
    EXPECT_EQ(all[3].key, 320u);
    EXPECT_EQ(all[4].streetCode, 2u);
    EXPECT_EQ(all[3].point, all[4].point);

    // Only street 1: the corner's other street stays out.
    CAddressTable one;
    ASSERT_TRUE(doc.LoadAddressTable(one, 1));
    ASSERT_EQ(one.size(), 4u);
    for (const CAddressEntry& e : one)
        EXPECT_EQ(e.streetCode, 1u);

    CAddressResult result;
    ASSERT_TRUE(doc.CollectStreetAddresses(1, "12", result));
    EXPECT_EQ(result.status, 2);
    EXPECT_DOUBLE_EQ(result.point.x, 20);
    ASSERT_TRUE(doc.CollectStreetAddresses(2, "3", result));
    EXPECT_EQ(result.status, 0);
    EXPECT_FALSE(doc.CollectStreetAddresses(1, "x", result));
    EXPECT_EQ(result.status, -1);
}

TEST_F(StreetLookup, NumberTextEndsWithTheLetterWithoutLetterField)
{
    doc.Settings().letterField.clear();
    AddAddresses({{4, "15B", "c", 0, "", 1, 2}, {4, "9", "", 0, "", 3, 3}});
    CAddressTable table;
    ASSERT_TRUE(doc.LoadAddressTable(table, 4));
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].key, 15u * 16 + 2);
    EXPECT_EQ(table[0].key, 9u * 16);
}

TEST_F(StreetLookup, WithoutAddressesLayerNothingIsFound)
{
    doc.Settings().addressesLayer.clear();
    CAddressResult result;
    result.status = 2;
    EXPECT_FALSE(doc.CollectStreetAddresses(1, "12", result));
    EXPECT_EQ(result.status, -1);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(StreetLookup, StreetCodesAndHouseLabels)
{
    AddCityStreets();
    AddAddresses({
        {1, "10", "", 0, "", 0, 0},
        {2, "3", "", 1, "20", 100, 100},
        {1, "15", "b", 0, "", 7, 7},
        {3, "1", "", 0, "", 9, 9},
    });
    EXPECT_EQ(doc.GetStreetCode(2), 3);
    EXPECT_EQ(doc.GetStreetCode(99), 0);

    CDrelView view(doc);
    doc.LabelStreetAddresses(1, view);
    std::vector<std::string> labels;
    for (int i = 0; i < view.GetOverlayCount(); ++i)
        labels.push_back(static_cast<CTextOverlay*>(view.GetOverlay(i))->GetText());
    EXPECT_EQ(labels, (std::vector<std::string>{"10", "20", "15b"}));
    EXPECT_TRUE(user.messages.empty());

    doc.Settings().codeField = "KODAS";
    EXPECT_EQ(doc.GetStreetCode(2), 0);
    doc.Settings().numField = "NR";
    doc.LabelStreetAddresses(1, view);
    doc.Settings().numField.clear();
    doc.LabelStreetAddresses(1, view);
    ASSERT_EQ(user.messages.size(), 3u);
    EXPECT_EQ(user.messages[0].text, Cp("Sluoksnyje \"Gatves\" nėra lauko \"KODAS\"."));
    EXPECT_EQ(user.messages[1].text, Cp("Sluoksnyje \"Adresai\" nėra lauko \"NR\"."));
    EXPECT_EQ(user.messages[2].helpId, 1012u);
}

TEST_F(StreetLookup, StreetInformationLabelsTheHousesOfTheClickedStreet)
{
    // One street across the test map; the click goes to the tool of the mode.
    AddStreets({{"Sodo g.", "Kaunas", 7}});
    AddAddresses({{7, "4", "", 0, "", 0, 0}, {7, "6", "a", 0, "", 50, 0}, {8, "9", "", 0, "", 20, 0}});
    doc.Settings().streetNameField = "NAME";
    CSurfaceWindow window;
    CDrelView view(doc);
    ShowTestMap(doc, view, window);
    const int savedMode = MapToolMode;
    view.SetToolMode(kModeStreetInfo);
    const CPoint click = view.MapToClient(CMapPoint(50, 2));
    view.OnLButtonDown(MK_LBUTTON, click.x, click.y);
    std::vector<std::string> labels;
    for (int i = 0; i < view.GetOverlayCount(); ++i)
        if (auto* text = dynamic_cast<CTextOverlay*>(view.GetOverlay(i)))
            labels.push_back(text->GetText());
    // The houses of street 7, then the street's name at the click.
    EXPECT_EQ(labels, (std::vector<std::string>{"4", "6a", "Sodo g."}));
    view.SetToolMode(savedMode);
}

// ------------------------------------------------------------ find address

TEST(AddressSearch, CandidatesIgnoreCaseAndLithuanianLetters)
{
    const std::vector<std::string> streets = {"VILNIAUS G.", "Vilniaus pl.", "Kauno g.", Cp("Žalgirio g.")};
    EXPECT_EQ(FindNameCandidates(streets, "vilniaus"), (std::vector<int>{0, 1}));
    EXPECT_EQ(FindNameCandidates(streets, Cp("žalg")), std::vector<int>{3});
    EXPECT_EQ(FindNameCandidates(streets, "zalg"), std::vector<int>{3});
    EXPECT_TRUE(FindNameCandidates(streets, "").empty());
}

class FindAddressFromToolbar : public StreetLookup {
protected:
    void SetUp() override
    {
        StreetLookup::SetUp();
        NeedGuiApplication();
        doc.Settings().mapUnits = kUnitsMetres;
        doc.Settings().limits = CMapRect(0, 1000, 2000, 0);
        AddCityStreets();
        AddAddresses({
            {1, "10", "", 0, "", 0, 0},
            {1, "16", "", 0, "", 60, 0},
            {1, "31", "", 0, "", 7, 7},
        });
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
        ASSERT_TRUE(doc.FillCityStreetCombos(false)); // Kaunas: VILNIAUS G., Vilniaus pl., Žalgirio g.
    }
    void Type(const char* street, const char* house)
    {
        host.street.SetCurSel(-1);
        host.street.text = Cp(street);
        host.house.text = house;
    }

    CRecordingViewHost viewHost;
    CScriptedSearchDialogs dialogs;
    CDrelView view{doc};
};

TEST_F(FindAddressFromToolbar, TwoCandidatesGoToTheChoice)
{
    Type("vilniaus", "");
    EXPECT_FALSE(FindToolbarAddress(view)); // the choice cancelled
    ASSERT_EQ(dialogs.choices.size(), 1u);
    EXPECT_EQ(dialogs.choices[0], (std::vector<std::string>{"VILNIAUS G.", "Vilniaus pl."}));

    dialogs.chosenText = 1;
    EXPECT_TRUE(FindToolbarAddress(view));
    EXPECT_GE(view.GetOverlayCount(), 1); // the street marked
    EXPECT_EQ(viewHost.messageTexts.back(), "vilniaus");

    Type("Nera", "");
    EXPECT_FALSE(FindToolbarAddress(view));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1107});
}

TEST_F(FindAddressFromToolbar, AHouseExactOrBetweenIsShownTheNearestAfterAsking)
{
    Type("VILNIAUS G.", "12");
    ASSERT_TRUE(FindToolbarAddress(view));
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(viewHost.messageTexts.back(), "VILNIAUS G. 12");
    ASSERT_EQ(view.GetOverlayCount(), 2);
    EXPECT_EQ(static_cast<CTextOverlay*>(view.GetOverlay(0))->GetText(), "12");

    Type("VILNIAUS G.", "13"); // only 31 on the odd side
    user.answers = {IDNO};
    EXPECT_FALSE(FindToolbarAddress(view));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{2001});
    user.messages.clear();
    user.answers = {IDYES};
    EXPECT_TRUE(FindToolbarAddress(view));
    EXPECT_EQ(static_cast<CTextOverlay*>(view.GetOverlay(0))->GetText(), "31");

    // No house on Vilniaus pl.: the street instead, after asking.
    user.messages.clear();
    Type("Vilniaus pl.", "5");
    user.answers = {IDNO};
    EXPECT_FALSE(FindToolbarAddress(view));
    user.answers = {IDYES};
    EXPECT_TRUE(FindToolbarAddress(view));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2002, 2002}));
    EXPECT_EQ(viewHost.messageTexts.back(), "Vilniaus pl.");
}

} // namespace
