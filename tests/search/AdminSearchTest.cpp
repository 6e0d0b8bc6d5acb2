// The administrative address search without windows: its settings file
// section, the level lists loaded from layers written by the tests, the
// cascade of the bar's boxes (in memory), the show commands and the
// parameters dialog's rules.
#include "search/AdminSearchParams.h"
#include "search/AdminSearchSettings.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ShapeOverlay.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "shell/MainToolbars.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/search/AdminLayers.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

Texts Cp(std::initializer_list<const char*> utf8)
{
    Texts texts;
    for (const char* text : utf8)
        texts.push_back(Utf8ToCp1257(text));
    return texts;
}

// Every map gets the search's own settings.
class CAdminHost : public CAddressBoxHost {
public:
    using CAddressBoxHost::CAddressBoxHost;
    std::unique_ptr<IAdminSearchSettings> CreateAdminSearchSettings(CDrelDoc&) override
    {
        return std::make_unique<CAdminSearchSettings>();
    }
    bool HasAdminSearchBar() const override { return true; }
};

class AdminSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const CAdminLayerData& data : AdminFixtureLayers())
            ASSERT_TRUE(WriteAdminLayerFile(dir.File(data.file), data)) << data.file;
    }
    // The fixture's layers in the map, those named left out.
    void AddLayers(const std::vector<std::string>& without = {})
    {
        for (const CAdminLayerData& data : AdminFixtureLayers())
            if (std::find(without.begin(), without.end(), data.layer) == without.end())
                doc.AddLayer(MakeAdminLayer(dir.Path(), data), false);
    }
    CAdminSearchSettings& Settings() { return static_cast<CAdminSearchSettings&>(*doc.GetAdminSearchSettings()); }
    void SetUpMap()
    {
        AddLayers();
        SetAdminFixtureKeys(Settings());
    }
    // The user chooses the entry in the box; the document hears of it.
    void Choose(AdminLevel level, const char* utf8)
    {
        CFakeToolbarBox& box = bar.Box(level);
        const std::string text = Utf8ToCp1257(utf8);
        const Texts texts = box.Texts();
        const auto it = std::find(texts.begin(), texts.end(), text);
        ASSERT_NE(it, texts.end()) << utf8 << " in " << ::testing::PrintToString(texts);
        box.SetCurSel(static_cast<int>(it - texts.begin()));
        doc.OnAdminComboSelChange(box.GetId());
    }
    std::string Selected(AdminLevel level) { return bar.Box(level).GetItemText(bar.Box(level).GetCurSel()); }

    CTempDir dir;
    CScriptedUserServices user;
    CCallLog log;
    CAdminHost host{log};
    CAdminBar bar;
    CDrelDoc doc;
};

// ------------------------------------------------------------ settings file

constexpr const char* kSavedOrder[] = {
    "ApskLayer",       "SavLayer",         "SenLayer",        "PlaceLayer",        "StreetLayer",     "AddressLayer",
    "ApskCodeField",   "SavCodeField",     "SenCodeField",    "PlaceCodeField",    "StreetCodeField", "SavApskCodeField",
    "SenSavCodeField", "PlaceSavCodeField", "PlaceSenCodeField", "StreetPlaceCodeField",
};

TEST_F(AdminSearch, SaveWritesTheLayerAndCodeKeysInOrderAndKeepsTheRest)
{
    const std::string ini = dir.File("map.ini");
    WriteWholeFile(ini, "[Map]\r\nScale=5000\r\n[AdminSearch]\r\nAddrNumField=NR\r\nAddrStreetCodeField=GATKOD\r\n"
                        "[Streets]\r\nLayer=Gatves\r\n");
    CAdminSearchSettings settings;
    for (int key = 0; key < kAdminKeyCount; ++key)
        settings.Set(static_cast<AdminKey>(key), "v" + std::to_string(key));
    ASSERT_TRUE(settings.Save(ini));

    CIniFile saved(ini);
    ASSERT_TRUE(saved.Load());
    std::vector<std::string> expected = {"AddrNumField", "AddrStreetCodeField"};
    expected.insert(expected.end(), std::begin(kSavedOrder), std::end(kSavedOrder));
    EXPECT_EQ(saved.KeyNames("AdminSearch"), expected);
    for (int key = 0; key < kAdminSavedKeyCount; ++key)
        EXPECT_EQ(saved.GetString("AdminSearch", kSavedOrder[key]), "v" + std::to_string(key));
    // The address keys are read, never written: the hand-written ones stay.
    EXPECT_EQ(saved.GetString("AdminSearch", "AddrNumField"), "NR");
    EXPECT_EQ(saved.GetString("AdminSearch", "AddrStreetCodeField"), "GATKOD");
    EXPECT_EQ(saved.GetString("Map", "Scale"), "5000");
    EXPECT_EQ(saved.GetString("Streets", "Layer"), "Gatves");

    // A new file holds the sixteen in order.
    const std::string fresh = dir.File("fresh.ini");
    ASSERT_TRUE(settings.Save(fresh));
    CIniFile written(fresh);
    ASSERT_TRUE(written.Load());
    EXPECT_EQ(written.KeyNames("AdminSearch"), std::vector<std::string>(std::begin(kSavedOrder), std::end(kSavedOrder)));
}

TEST_F(AdminSearch, SaveRefusesAFileItCannotRead)
{
    const std::string folder = dir.File("folder.ini");
    std::filesystem::create_directory(folder);
    CAdminSearchSettings settings;
    EXPECT_FALSE(settings.Save(folder));
}

TEST_F(AdminSearch, LoadReadsEveryKeyAnAbsentOneKeepsItsValue)
{
    const std::string ini = dir.File("map.ini");
    const std::string longValue(300, 'x');
    WriteWholeFile(ini, "[AdminSearch]\r\nSavLayer=Savivaldybes\r\nAddrNumField2=NR2\r\nApskLayer=" + longValue +
                            "\r\nStreetLayer=\r\n[Other]\r\nPlaceLayer=kita\r\n");
    CAdminSearchSettings settings;
    for (int key = 0; key < kAdminKeyCount; ++key)
        settings.Set(static_cast<AdminKey>(key), "held");
    settings.Load(ini);
    EXPECT_EQ(settings.Get(kSavLayer), "Savivaldybes");
    EXPECT_EQ(settings.Get(kAddrNumField2), "NR2");
    EXPECT_EQ(settings.Get(kApskLayer), std::string(99, 'x'));
    EXPECT_EQ(settings.Get(kStreetLayer), ""); // present, empty
    for (const AdminKey key : {kSenLayer, kPlaceLayer, kAddressLayer, kApskCodeField, kStreetPlaceCodeField,
                               kAddrStreetCodeField, kAddrStreetCodeField2, kAddrNumField})
        EXPECT_EQ(settings.Get(key), "held") << AdminKeyName(key);
    // A missing file changes nothing.
    settings.Load(dir.File("none.ini"));
    EXPECT_EQ(settings.Get(kSavLayer), "Savivaldybes");
}

// ------------------------------------------------------------ levels

TEST(AdminCodes, ReadAsUnsignedIntegersLettersAreNoCode)
{
    const struct {
        const char* text;
        int64_t code;
    } cases[] = {
        {"13", 13},         {"  0042", 42},        {"7b", 7},         {"4294967295", 4294967295LL},
        {"", kNoCode},      {"   ", kNoCode},      {"ab", kNoCode},   {"-5", kNoCode},
        {"4294967296", kNoCode}, {"99999999999999999999", kNoCode},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadAdminCode(c.text), c.code) << c.text;
}

TEST_F(AdminSearch, LevelsListNamedRecordsWithTheirCodes)
{
    SetUpMap();
    ASSERT_TRUE(Settings().LoadLevels(doc));
    const CAdminLevelLists& counties = Settings().Lists(kCountyLevel);
    EXPECT_EQ(counties.names, Cp({"Vilniaus apskr.", "Kauno apskr.", "Alytaus apskr."}));
    EXPECT_EQ(counties.records, (std::vector<int32_t>{0, 1, 3}));
    // Right-aligned in ten places, yet each county has its own code.
    EXPECT_EQ(counties.textCodes, (Texts{"1", "2", "4"}));

    const CAdminLevelLists& municipalities = Settings().Lists(kMunicipalityLevel);
    EXPECT_EQ(municipalities.codes[0], (std::vector<int64_t>{13, 41, 19, 52, 11}));
    EXPECT_EQ(municipalities.textCodes, (Texts{"1", "1", "2", "2", "4"}));
    const CAdminLevelLists& wards = Settings().Lists(kWardLevel);
    EXPECT_EQ(wards.codes[0], (std::vector<int64_t>{1301, 1302, 4101, 1901}));
    EXPECT_EQ(wards.codes[1], (std::vector<int64_t>{13, 13, 41, 19}));
    const CAdminLevelLists& settlements = Settings().Lists(kSettlementLevel);
    EXPECT_EQ(settlements.codes[0], (std::vector<int64_t>{100, 101, 102, 200, 300, 400}));
    EXPECT_EQ(settlements.codes[1], (std::vector<int64_t>{13, 13, 13, 41, 19, 52}));
    EXPECT_EQ(settlements.codes[2], (std::vector<int64_t>{1301, 1302, 1302, 4101, 1901, kNoCode}));
    // Streets wait for the first street fill.
    EXPECT_TRUE(Settings().Lists(kStreetLevel).names.empty());
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(AdminSearch, TextCodesAreTheirFirstEightCharacters)
{
    CAdminLayerData counties{"Ilgos", "ilgos.gdb", CLayer::kArea,
                             {{"NAME", 'C', 30, 0}, {"KODAS", 'C', 12, 0}},
                             {{"Pirma", "  ABCDEFGHIJ"}, {"Antra", "12345678"}}};
    ASSERT_TRUE(WriteAdminLayerFile(dir.File(counties.file), counties));
    const auto layer = MakeAdminLayer(dir.Path(), counties);
    Settings().Set(kApskCodeField, "KODAS");
    ASSERT_TRUE(Settings().LoadLevel(kCountyLevel, *layer));
    EXPECT_EQ(Settings().Lists(kCountyLevel).textCodes, (Texts{"ABCDEFGH", "12345678"}));
}

TEST_F(AdminSearch, AMissingNameFieldLeavesTheLevelAsItWas)
{
    SetUpMap();
    ASSERT_TRUE(Settings().LoadLevels(doc));
    const Texts before = Settings().Lists(kWardLevel).names;
    doc.Layers().FindByName(Utf8ToCp1257("Seniūnijos"))->SetIdField("PAVADINIMAS");
    EXPECT_FALSE(Settings().LoadLevels(doc));
    EXPECT_EQ(Settings().Lists(kWardLevel).names, before);
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(AdminSearch, WhichMissingLayersFailTheLevels)
{
    const struct {
        const char* without;
        bool loads;
    } cases[] = {
        {"Apskritys", false},
        {"Savivaldybės", false},
        {"Seniūnijos", true},
        {"Gyvenvietės", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.without);
        CDrelDoc map;
        CAdminSearchSettings settings;
        SetAdminFixtureKeys(settings);
        for (const CAdminLayerData& data : AdminFixtureLayers())
            if (data.layer != c.without)
                map.AddLayer(MakeAdminLayer(dir.Path(), data), false);
        EXPECT_EQ(settings.LoadLevels(map), c.loads);
        if (c.loads) {
            EXPECT_EQ(settings.Lists(kMunicipalityLevel).size(), 5u);
        }
    }
    // A ward layer that is there but does not open fails them.
    CDrelDoc map;
    CAdminSearchSettings settings;
    SetAdminFixtureKeys(settings);
    for (const CAdminLayerData& data : AdminFixtureLayers())
        map.AddLayer(MakeAdminLayer(dir.Path(), data), false);
    map.Layers().FindByName(Utf8ToCp1257("Seniūnijos"))->SetPath(dir.File("nera.gdb"));
    EXPECT_FALSE(settings.LoadLevels(map));
}

// ------------------------------------------------------------ the cascade

struct CascadeStep {
    AdminLevel level; // the box chosen in; kAdminLevelCount fills the counties
    const char* choice;
    Texts municipalities;
    Texts wards;
    Texts settlements;
    const char* settlement; // the entry selected
    Texts streets;
};

TEST_F(AdminSearch, EachChoiceNarrowsTheLevelsAfterIt)
{
    SetUpMap();
    const Texts allMunicipalities = Cp({" <Savivaldybė>", "Alytaus m. sav.", "Kauno m. sav.", "Kauno r. sav.",
                                        "Vilniaus m. sav.", "Vilniaus r. sav."});
    const CascadeStep steps[] = {
        {kAdminLevelCount, "", allMunicipalities, Cp({" <Seniūnija>"}), Cp({" <Gyvenvietė>"}), " <Gyvenvietė>", {}},
        {kCountyLevel, "Vilniaus apskr.", Cp({" <Savivaldybė>", "Vilniaus m. sav.", "Vilniaus r. sav."}),
         Cp({" <Seniūnija>"}), Cp({" <Gyvenvietė>"}), " <Gyvenvietė>", {}},
        // The placeholder settlement lists the streets of every settlement listed.
        {kMunicipalityLevel, "Vilniaus m. sav.", Cp({" <Savivaldybė>", "Vilniaus m. sav.", "Vilniaus r. sav."}),
         Cp({" <Seniūnija>", "Antakalnio sen.", "Žirmūnų sen."}),
         Cp({" <Gyvenvietė>", "Naujoji Vilnia", "Pavilnys", "Vilnius"}), " <Gyvenvietė>",
         Cp({"Gedimino pr.", "Lauko g.", "Pylimo g.", "Pylimo g.", "Vilniaus g.", "Vilniaus g."})},
        {kWardLevel, "Žirmūnų sen.", Cp({" <Savivaldybė>", "Vilniaus m. sav.", "Vilniaus r. sav."}),
         Cp({" <Seniūnija>", "Antakalnio sen.", "Žirmūnų sen."}), Cp({" <Gyvenvietė>", "Naujoji Vilnia", "Pavilnys"}),
         " <Gyvenvietė>", Cp({"Lauko g.", "Vilniaus g.", "Vilniaus g."})},
        {kSettlementLevel, "Pavilnys", Cp({" <Savivaldybė>", "Vilniaus m. sav.", "Vilniaus r. sav."}),
         Cp({" <Seniūnija>", "Antakalnio sen.", "Žirmūnų sen."}), Cp({" <Gyvenvietė>", "Naujoji Vilnia", "Pavilnys"}),
         "Pavilnys", Cp({"Lauko g.", "Vilniaus g."})},
        // One settlement in the ward is the choice at once.
        {kWardLevel, "Antakalnio sen.", Cp({" <Savivaldybė>", "Vilniaus m. sav.", "Vilniaus r. sav."}),
         Cp({" <Seniūnija>", "Antakalnio sen.", "Žirmūnų sen."}), Cp({" <Gyvenvietė>", "Vilnius"}), "Vilnius",
         Cp({"Gedimino pr.", "Pylimo g.", "Pylimo g."})},
        {kCountyLevel, "Kauno apskr.", Cp({" <Savivaldybė>", "Kauno m. sav.", "Kauno r. sav."}),
         Cp({" <Seniūnija>"}), Cp({" <Gyvenvietė>"}), " <Gyvenvietė>", {}},
        // A municipality without wards lists its settlements; this one has no streets.
        {kMunicipalityLevel, "Kauno r. sav.", Cp({" <Savivaldybė>", "Kauno m. sav.", "Kauno r. sav."}),
         Cp({" <Seniūnija>"}), Cp({" <Gyvenvietė>", "Garliava"}), "Garliava", {}},
        {kCountyLevel, " <Apskritis>", allMunicipalities, Cp({" <Seniūnija>"}), Cp({" <Gyvenvietė>"}),
         " <Gyvenvietė>", {}},
    };
    for (const CascadeStep& step : steps) {
        SCOPED_TRACE(std::to_string(step.level) + " " + step.choice);
        if (step.level == kAdminLevelCount)
            Settings().FillCounties(doc);
        else
            Choose(step.level, step.choice);
        EXPECT_EQ(bar.Box(kMunicipalityLevel).Texts(), step.municipalities);
        EXPECT_EQ(bar.Box(kWardLevel).Texts(), step.wards);
        EXPECT_EQ(bar.Box(kSettlementLevel).Texts(), step.settlements);
        EXPECT_EQ(Selected(kSettlementLevel), Utf8ToCp1257(step.settlement));
        EXPECT_EQ(bar.Box(kStreetLevel).Texts(), step.streets);
        // Boxes with no more than their placeholder stay disabled.
        EXPECT_EQ(bar.Box(kWardLevel).IsEnabled(), step.wards.size() > 1);
        EXPECT_EQ(bar.Box(kSettlementLevel).IsEnabled(), step.settlements.size() > 1);
        EXPECT_EQ(bar.Box(kStreetLevel).IsEnabled(), !step.streets.empty());
        EXPECT_EQ(bar.Box(kStreetLevel).text, Utf8ToCp1257(" <Gatvė>"));
        // Every entry's item data is its index in the level's lists, the placeholder's -1.
        for (const AdminLevel level : {kMunicipalityLevel, kWardLevel, kSettlementLevel, kStreetLevel})
            for (const auto& [text, data] : bar.Box(level).items) {
                if (data == -1)
                    EXPECT_EQ(text.substr(0, 2), " <");
                else
                    EXPECT_EQ(text, Settings().Lists(level).names.at(data));
            }
    }
    EXPECT_EQ(bar.Box(kCountyLevel).Texts(), Cp({" <Apskritis>", "Alytaus apskr.", "Kauno apskr.", "Vilniaus apskr."}));
    EXPECT_TRUE(bar.Box(kCountyLevel).IsEnabled());
    EXPECT_EQ(host.barSettings, &Settings());
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(AdminSearch, StreetsLoadOnceAtTheFirstStreetFill)
{
    SetUpMap();
    Settings().FillCounties(doc);
    Choose(kCountyLevel, "Kauno apskr.");
    EXPECT_EQ(Settings().Lists(kStreetLevel).size(), 8u);
    // Gone from the map, yet the list loaded stays.
    std::filesystem::remove(dir.File("gatves.gdb"));
    Choose(kMunicipalityLevel, "Kauno m. sav.");
    EXPECT_EQ(bar.Box(kStreetLevel).Texts(), Cp({"Laisvės al."}));
}

TEST_F(AdminSearch, TheHouseNumberBoxFollowsTheAddressLayer)
{
    SetUpMap();
    Settings().FillCounties(doc);
    EXPECT_FALSE(bar.House().IsEnabled());
    Settings().Set(kAddressLayer, "Adresai");
    Settings().FillCounties(doc);
    EXPECT_TRUE(bar.House().IsEnabled());
}

TEST_F(AdminSearch, NothingHappensWithoutTheBar)
{
    SetUpMap();
    SetMainToolbars(nullptr);
    Settings().FillCounties(doc);
    Settings().FillStreets(doc);
    EXPECT_TRUE(Settings().Lists(kCountyLevel).names.empty());
    EXPECT_TRUE(Settings().Lists(kStreetLevel).names.empty());
    EXPECT_EQ(host.barSettings, nullptr);
    SetMainToolbars(&bar);
}

TEST_F(AdminSearch, ActivatingAnotherMapFillsTheBarFromItsSettings)
{
    SetUpMap();
    doc.OnMapFrameActivate(true);
    EXPECT_EQ(host.barSettings, &Settings());
    CDrelDoc other;
    auto& otherSettings = static_cast<CAdminSearchSettings&>(*other.GetAdminSearchSettings());
    other.OnMapFrameActivate(true);
    EXPECT_EQ(host.barSettings, &otherSettings);
    EXPECT_EQ(bar.Box(kCountyLevel).Texts(), Cp({" <Apskritis>"}));
    EXPECT_FALSE(bar.Box(kCountyLevel).IsEnabled());
    doc.OnMapFrameActivate(true);
    EXPECT_EQ(bar.Box(kCountyLevel).GetCount(), 4);
}

TEST_F(AdminSearch, BadSettingsLeaveListsEmptyOrPartialWithoutMessages)
{
    CAdminLayerData lettered{"Raidės", "raides.gdb", CLayer::kArea,
                             {{"NAME", 'C', 30, 0}, {"SKODAS", 'C', 6, 0}, {"AKODAS", 'C', 10, 0}},
                             {{"Pirmoji", "ab", "1"}, {"Antroji", "cd", "1"}}};
    ASSERT_TRUE(WriteAdminLayerFile(dir.File(lettered.file), lettered));
    CAdminLayerData letteredWards{"RaidžiųSen", "raidsen.gdb", CLayer::kArea,
                                  {{"NAME", 'C', 30, 0}, {"SENKOD", 'C', 8, 0}, {"SKODAS", 'C', 6, 0}},
                                  {{"Viena", "x", "ab"}, {"Kita", "y", "zz"}}};
    ASSERT_TRUE(WriteAdminLayerFile(dir.File(letteredWards.file), letteredWards));
    AddLayers();
    doc.AddLayer(MakeAdminLayer(dir.Path(), lettered), false);
    doc.AddLayer(MakeAdminLayer(dir.Path(), letteredWards), false);
    const std::string ini = dir.File("map.ini");
    const std::string tooLong(300, 'q');
    const struct {
        const char* name;
        std::string section;
        size_t counties;
        size_t municipalities;
    } cases[] = {
        {"values of 300 characters",
         "ApskLayer=" + tooLong + "\r\nSavLayer=" + tooLong + "\r\nApskCodeField=" + tooLong, 0, 0},
        {"layers that are not there", "ApskLayer=Nera\r\nSavLayer=Taip pat nera", 0, 0},
        {"fields that are not there",
         "ApskLayer=Apskritys\r\nSavLayer=Savivaldyb\xEBs\r\nApskCodeField=NERA\r\nSavApskCodeField=NERA2\r\n"
         "SavCodeField=NERA3",
         3, 5},
        {"codes of letters",
         "ApskLayer=Apskritys\r\nSavLayer=Raid\xEBs\r\nSenLayer=Raid\xFEi\xF8Sen\r\nApskCodeField=AKODAS\r\n"
         "SavApskCodeField=AKODAS\r\nSavCodeField=SKODAS\r\nSenCodeField=SENKOD\r\nSenSavCodeField=SKODAS",
         3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDrelDoc map;
        for (int i = 0; i < doc.GetLayerCount(); ++i)
            map.AddLayer(std::make_unique<CLayer>(*doc.GetLayer(i)), false);
        WriteWholeFile(ini, "[Map]\r\nScale=5000\r\n[AdminSearch]\r\n" + c.section + "\r\n[Places]\r\nA=1\r\n");
        auto& settings = static_cast<CAdminSearchSettings&>(*map.GetAdminSearchSettings());
        settings.Load(ini);
        settings.FillCounties(map);
        EXPECT_EQ(settings.Lists(kCountyLevel).size(), c.counties);
        EXPECT_EQ(settings.Lists(kMunicipalityLevel).size(), c.municipalities);
        EXPECT_EQ(bar.Box(kCountyLevel).IsEnabled(), c.counties > 0);
        // Whatever a municipality is chosen, codes that are no numbers tie nothing to it.
        if (bar.Box(kMunicipalityLevel).GetCount() > 1) {
            bar.Box(kMunicipalityLevel).SetCurSel(1);
            map.OnAdminComboSelChange(AdminLevelBox(kMunicipalityLevel));
        }
        EXPECT_EQ(bar.Box(kWardLevel).GetCount(), 1);
        EXPECT_FALSE(bar.Box(kWardLevel).IsEnabled());
        EXPECT_FALSE(bar.Box(kSettlementLevel).IsEnabled());
        EXPECT_FALSE(bar.Box(kStreetLevel).IsEnabled());
        ASSERT_TRUE(settings.Save(ini));
        CIniFile saved(ini);
        ASSERT_TRUE(saved.Load());
        EXPECT_EQ(saved.GetString("Map", "Scale"), "5000");
        EXPECT_EQ(saved.GetString("Places", "A"), "1");
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(AdminSearch, NewParametersModifyTheMapAndRefillFromTheCounties)
{
    SetUpMap();
    Settings().FillCounties(doc);
    Choose(kCountyLevel, "Vilniaus apskr.");
    doc.SetModifiedFlag(false);
    Settings().Set(kApskLayer, "");
    Settings().OnParametersChanged(doc);
    EXPECT_TRUE(doc.IsModified());
    // Without a county layer nothing loads: the lists were emptied.
    EXPECT_TRUE(Settings().Lists(kCountyLevel).names.empty());
    EXPECT_TRUE(Settings().Lists(kMunicipalityLevel).names.empty());
    EXPECT_EQ(bar.Box(kCountyLevel).Texts(), Cp({" <Apskritis>"}));
    EXPECT_EQ(bar.Box(kMunicipalityLevel).Texts(), Cp({" <Savivaldybė>"}));
    Settings().Set(kApskLayer, "Apskritys");
    Settings().OnParametersChanged(doc);
    EXPECT_EQ(bar.Box(kCountyLevel).GetCount(), 4);
    EXPECT_EQ(bar.Box(kMunicipalityLevel).GetCount(), 6);
}

// ------------------------------------------------------------ show commands

class AdminShow : public AdminSearch {
protected:
    void SetUp() override
    {
        AdminSearch::SetUp();
        NeedGuiApplication();
        ShowTestMap(doc, view, window);
        SetUpMap();
        Settings().FillCounties(doc);
    }
    // The point of the marker or the first point of the marked shape.
    CMapPoint Marked()
    {
        if (view.GetOverlayCount() != 1)
            return {-1, -1};
        if (auto* marker = dynamic_cast<CPointOverlay*>(view.GetOverlay(0)))
            return marker->GetPoint();
        if (auto* shape = dynamic_cast<CShapeOverlay*>(view.GetOverlay(0)))
            return shape->GetShape().GetPoint(0);
        return {-2, -2};
    }

    CRecordingViewHost viewHost;
    CRecordingWindow window;
    CDrelView view{doc};
    CScriptedSearchDialogs dialogs;
};

TEST_F(AdminShow, AChosenUnitIsMarkedAndNothingWithoutAChoice)
{
    Settings().ShowUnit(kCountyLevel, view); // the placeholder
    EXPECT_EQ(view.GetOverlayCount(), 0);
    Choose(kCountyLevel, "Alytaus apskr.");
    Settings().ShowUnit(kCountyLevel, view);
    EXPECT_EQ(Marked(), CMapPoint(30, 0)); // its record is the fourth
    Choose(kCountyLevel, "Vilniaus apskr.");
    Choose(kMunicipalityLevel, "Vilniaus m. sav.");
    Settings().ShowUnit(kSettlementLevel, view); // the placeholder settlement
    EXPECT_EQ(Marked(), CMapPoint(30, 0));
    Choose(kSettlementLevel, "Pavilnys");
    Settings().ShowUnit(kSettlementLevel, view);
    EXPECT_EQ(Marked(), CMapPoint(20, 0));
    // A layer the map no longer has: nothing, and no message.
    Choose(kWardLevel, "Žirmūnų sen.");
    Settings().Set(kSenLayer, "Nera");
    Settings().ShowUnit(kWardLevel, view);
    EXPECT_EQ(Marked(), CMapPoint(20, 0));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(AdminShow, AStreetIsChosenTypedOrAskedFor)
{
    Choose(kMunicipalityLevel, "Vilniaus m. sav.");
    CFakeToolbarBox& streets = bar.Box(kStreetLevel);
    const struct {
        const char* typed;
        int answer;
        size_t offered;
        CMapPoint marked;
        const char* textAfter;
    } cases[] = {
        {"Lauko g.", -1, 0, {40, 0}, "Lauko g."},      // exact: not asked
        {"gedimino", 0, 1, {0, 0}, "Gedimino pr."},     // one match is still asked for
        {"VILNIAUS", 1, 2, {50, 0}, "Vilniaus g."},     // two records of one name
        {"pylimo", -1, 2, {-1, -1}, "pylimo"},          // cancelled
        {"Žvaigždžių", 0, 0, {-1, -1}, "Žvaigždžių"},   // nothing matches
        {" <Gatvė>", 0, 0, {-1, -1}, " <Gatvė>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        view.ClearOverlays();
        dialogs.choices.clear();
        dialogs.chosenText = c.answer;
        streets.SetCurSel(-1);
        streets.SetText(Utf8ToCp1257(c.typed));
        Settings().ShowStreet(view);
        ASSERT_EQ(dialogs.choices.size(), c.offered ? 1u : 0u);
        if (c.offered) {
            EXPECT_EQ(dialogs.choices[0].size(), c.offered);
        }
        EXPECT_EQ(Marked(), c.marked);
        EXPECT_EQ(streets.text, Utf8ToCp1257(c.textAfter));
    }
    // A chosen entry needs no text.
    view.ClearOverlays();
    streets.SetCurSel(0);
    streets.SetText("");
    Settings().ShowStreet(view);
    EXPECT_EQ(Marked(), CMapPoint(0, 0));
    EXPECT_TRUE(user.messages.empty());
}

// ------------------------------------------------------------ parameters dialog

TEST_F(AdminSearch, LayerListsOfferTheLayersOfTheirTypesSorted)
{
    AddLayers();
    auto group = std::make_unique<CLayer>("Grupe", "", CLayer::kArea);
    group->SetFlag(CLayer::kGroup, true);
    doc.AddLayer(std::move(group), false);
    doc.AddLayer(std::make_unique<CLayer>("Adresai", dir.File("adresai.gdb"), CLayer::kPoint), false);
    doc.AddLayer(std::make_unique<CLayer>(Utf8ToCp1257("Ąžuolai"), dir.File("azuolai.gdb"), CLayer::kArea), false);
    const std::string none = Utf8ToCp1257("<Nėra>");
    Texts expected[] = {
        Cp({"<Nėra>", "Apskritys", "Ąžuolai", "Savivaldybės", "Seniūnijos"}),
        Cp({"<Nėra>", "Apskritys", "Ąžuolai", "Savivaldybės", "Seniūnijos"}),
        Cp({"<Nėra>", "Apskritys", "Ąžuolai", "Savivaldybės", "Seniūnijos"}),
        Cp({"<Nėra>", "Adresai", "Apskritys", "Ąžuolai", "Gyvenvietės", "Savivaldybės", "Seniūnijos"}),
        Cp({"<Nėra>", "Gatvių ašys"}),
        Cp({"<Nėra>", "Adresai", "Gyvenvietės"}),
    };
    const auto rows = AdminLayerRows();
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(AdminLayerChoices(doc, rows[i]), expected[i]) << rows[i].comboId;

    const Texts& choices = expected[0];
    EXPECT_EQ(AdminChoiceIndex(choices, Utf8ToCp1257("Savivaldybės")), 3);
    EXPECT_EQ(AdminChoiceIndex(choices, ""), 0);
    EXPECT_EQ(AdminChoiceIndex(choices, "Nera"), 0);
    EXPECT_EQ(AdminStoredName(none), "");
    EXPECT_EQ(AdminStoredName(""), "");
    EXPECT_EQ(AdminStoredName("Apskritys"), "Apskritys");

    const CLayer& wards = *doc.Layers().FindByName(Utf8ToCp1257("Seniūnijos"));
    EXPECT_EQ(AdminFieldChoices(wards), (Texts{none, "NAME", "SENKOD", "SKODAS"}));
    EXPECT_EQ(AdminFieldChoices(*doc.Layers().FindByName("Adresai")), Texts{none});
}

} // namespace
