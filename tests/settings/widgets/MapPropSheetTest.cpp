// The map's property sheet on the offscreen platform, its controls found
// by their ids.
#include "settings/widgets/MapPropSheet.h"

#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"
#include "tests/settings/TownMap.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Texts = std::vector<std::string>;

constexpr int kNameEdit = 1007, kLeftEdit = 1008, kTopEdit = 1009, kRightEdit = 1010, kBottomEdit = 1011,
              kUnitsCombo = 1012, kScaleEdit = 1013, kAutoRecalcCheck = 1015, kAutoLoadCheck = 1016,
              kRecalcButton = 1055, kLayerCombo = 1012;
constexpr int kFieldCombos[] = {1021, 1022, 1024, 1025, 1026, 1027};

class MapPropSheetTest : public ::testing::Test, private CWithApplication {
protected:
    ~MapPropSheetTest() override { sheet.reset(); }

    CPropSheetMap& Open(CDrelDoc& document)
    {
        sheet = std::make_unique<CPropSheetMap>(document);
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        return *sheet;
    }
    template <class T = QWidget>
    T* Control(int id) const
    {
        T* control = FindControl<T>(sheet->GetActivePage(), id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    std::string Text(int id) const { return FromQString(Control<QLineEdit>(id)->text()); }
    void Type(int id, const char* utf8) const { Control<QLineEdit>(id)->setText(QString::fromUtf8(utf8)); }
    // A choice in a combo as the user makes it.
    void Choose(int id, int index) const
    {
        auto* combo = Control<QComboBox>(id);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static Texts Items(const QComboBox* combo)
    {
        Texts items;
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(combo->itemText(i).toStdString());
        return items;
    }
    std::vector<int> FieldSelections(int count) const
    {
        std::vector<int> selections;
        for (int f = 0; f < count; ++f)
            selections.push_back(Control<QComboBox>(kFieldCombos[f])->currentIndex());
        return selections;
    }
    bool FieldsEnabled(int count) const
    {
        bool all = true, none = true;
        for (int f = 0; f < count; ++f) {
            const bool enabled =
                Control(kFieldCombos[f])->isEnabled() && Control(1059 + f)->isEnabled();
            all = all && enabled;
            none = none && !enabled;
        }
        EXPECT_TRUE(all || none);
        return all;
    }
    bool Ok()
    {
        sheet->GetOkButton()->click();
        if (sheet->isVisible())
            return false;
        sheet->ApplyToDocument();
        return true;
    }

    CScriptedUserServices user;
    CTownMap town;
    CDrelDoc& doc = town.doc;
    std::unique_ptr<CPropSheetMap> sheet;
};

TEST_F(MapPropSheetTest, PagesAndTheirTexts)
{
    doc.Settings().name = "Miestas";
    doc.Settings().limits = CMapRect(500000, 6100000.25, 510000, 6090000);
    doc.Settings().mapUnits = kUnitsMetres;
    doc.Settings().optimScale = 25000;
    doc.Settings().autoLoad = 1;
    doc.Settings().autoRecalcMapExtent = 0;
    Open(doc);
    EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("Žemėlapio parametrai"));
    EXPECT_EQ(sheet->GetCancelButton()->text(), QString::fromUtf8("Atsisakyti"));
    const QTabBar* tabs = sheet->findChild<QTabBar*>();
    ASSERT_EQ(tabs->count(), 4);
    const char* const captions[] = {"Aprašas", "Maršrutai", "Gatvės", "Adresai"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tabs->tabText(i), QString::fromUtf8(captions[i]));

    EXPECT_EQ(Text(kNameEdit), "Miestas");
    EXPECT_EQ((Texts{Text(kLeftEdit), Text(kTopEdit), Text(kRightEdit), Text(kBottomEdit)}),
              (Texts{"500000", "6100000.25", "510000", "6090000"}));
    EXPECT_EQ(Items(Control<QComboBox>(kUnitsCombo)), (Texts{"Laipsniai", "Metrai"}));
    EXPECT_EQ(Control<QComboBox>(kUnitsCombo)->currentIndex(), 1);
    EXPECT_EQ(Text(kScaleEdit), "25000");
    EXPECT_FALSE(Control<QCheckBox>(kAutoRecalcCheck)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(kAutoLoadCheck)->isChecked());
    EXPECT_EQ(Control<QCheckBox>(kAutoRecalcCheck)->text(),
              QString::fromUtf8("Automatiškai plėsti pagal sluoksnių ribas"));
    EXPECT_EQ(Control<QCheckBox>(kAutoLoadCheck)->text(),
              QString::fromUtf8("Automatiškai pereiti prie tinkamesnio žemėlapio"));
    EXPECT_EQ(Control<QPushButton>(kRecalcButton)->text(), QString::fromUtf8("Perskaičiuoti"));
    SaveScreenshot(*sheet, "map-sheet-0-general");

    const struct {
        const char* shot;
        std::vector<const char*> labels;
    } pages[] = {
        {"map-sheet-1-routes",
         {"&Pradinis mazgas:", "&Galinis mazgas:", "&Atstumas:", "&Eismo kryptis:", "Svorio &koeficientas:",
          "&Svarbos požymis:"}},
        {"map-sheet-2-streets", {"&Pavadinimas paieškai:", "&Gatvės kodas:", "&Miesto pavadinimas:"}},
        {"map-sheet-3-addresses",
         {"&Gatvės kodas:", "&Namo numeris:", "&Raidė:", "Gatvės &kodas (2):", "N&amo numeris (2):",
          "Rai&dė (2):"}},
    };
    for (int page = 1; page <= 3; ++page) {
        ASSERT_TRUE(sheet->SetActivePage(page));
        const auto& labels = pages[page - 1].labels;
        for (size_t f = 0; f < labels.size(); ++f)
            EXPECT_EQ(Control<QLabel>(1059 + static_cast<int>(f))->text(), QString::fromUtf8(labels[f]));
        EXPECT_EQ(FindControl(sheet->GetActivePage(), 1059 + static_cast<int>(labels.size())), nullptr);
        SaveScreenshot(*sheet, pages[page - 1].shot);
    }
}

TEST_F(MapPropSheetTest, TheRoutesPageMovesItsChoicesThroughTheCombos)
{
    Open(doc);
    ASSERT_TRUE(sheet->SetActivePage(1));
    auto* layer = Control<QComboBox>(kLayerCombo);
    EXPECT_EQ(Items(layer), (Texts{"<Nėra>", "Keliai", "Gatvės"}));
    EXPECT_EQ(layer->currentIndex(), 1);
    EXPECT_EQ(Items(Control<QComboBox>(1024)),
              (Texts{"<Nėra>", "FNODE", "TNODE", "Ilgis, m", "KRYPTIS", "SVORIS", "SVARBA"}));
    EXPECT_EQ(FieldSelections(6), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(FieldsEnabled(6));

    Choose(kLayerCombo, 0);
    EXPECT_FALSE(FieldsEnabled(6));
    EXPECT_EQ(Items(Control<QComboBox>(1021)), Texts{"<Nėra>"});
    EXPECT_EQ(FieldSelections(6), (std::vector<int>(6, 0)));

    Choose(kLayerCombo, 2);
    EXPECT_TRUE(FieldsEnabled(6));
    Choose(1021, 4); // FNODE of the streets
    Choose(1027, 1); // PAV
    ASSERT_TRUE(Ok());
    const CMapSettings& s = doc.Settings();
    EXPECT_EQ(s.routesLayer, Utf8ToCp1257("Gatvės"));
    EXPECT_EQ((Texts{s.fromNodeField, s.toNodeField, s.arcLengthField, s.dirMaskField, s.weightField,
                     s.significanceField}),
              (Texts{"FNODE", "", "", "", "", "PAV"}));
    EXPECT_EQ(s.streetNameField, "PAV") << "the streets page was not visited";
}

TEST_F(MapPropSheetTest, ALayerThatIsGoneIsClearedOnlyOnAVisitedPage)
{
    doc.Settings().addressesLayer = "Senieji adresai";
    doc.Settings().streetsLayer = "Senos gatves";
    Open(doc);
    ASSERT_TRUE(sheet->SetActivePage(3));
    EXPECT_EQ(Control<QComboBox>(kLayerCombo)->currentIndex(), -1);
    EXPECT_FALSE(FieldsEnabled(6));
    ASSERT_TRUE(Ok());
    EXPECT_EQ(doc.Settings().addressesLayer, "");
    EXPECT_EQ(doc.Settings().streetCodeField, "");
    EXPECT_EQ(doc.Settings().streetsLayer, "Senos gatves");
    EXPECT_EQ(doc.Settings().streetNameField, "PAV");
}

TEST_F(MapPropSheetTest, ANumberThatDoesNotParseKeepsThePage)
{
    doc.Settings().limits = CMapRect(1, 20, 10, 2);
    doc.Settings().optimScale = 10000;
    Open(doc);
    const struct {
        int id;
        const char* text;
        const char* message;
    } cases[] = {
        {kLeftEdit, "500000,5", "Įveskite skaičių."},
        {kBottomEdit, "", "Įveskite skaičių."},
        {kScaleEdit, "0", "Įveskite skaičių nuo 1 iki 1000000000."},
        {kScaleEdit, "-25000", "Įveskite skaičių nuo 1 iki 1000000000."},
        {kScaleEdit, "abc", "Įveskite skaičių nuo 1 iki 1000000000."},
    };
    for (const auto& c : cases) {
        user.messages.clear();
        const std::string before = Text(c.id);
        Type(c.id, c.text);
        EXPECT_FALSE(sheet->SetActivePage(1)) << c.text;
        EXPECT_EQ(sheet->GetActiveIndex(), 0);
        EXPECT_FALSE(Ok()) << c.text;
        ASSERT_EQ(user.messages.size(), 2u) << c.text;
        EXPECT_EQ(user.messages[0].text, Utf8ToCp1257(c.message));
        Type(c.id, before.c_str());
    }
    Type(kScaleEdit, "5000");
    ASSERT_TRUE(Ok());
    EXPECT_EQ(doc.Settings().optimScale, 5000);
}

TEST_F(MapPropSheetTest, RecalculatingAsksAndTakesTheLayersExtent)
{
    const CMapRect stored(1, 20, 10, 2);
    doc.Settings().limits = stored;
    town.roads->SetExtent(CMapRect(100, 500, 300, 200));
    town.addresses->SetExtent(CMapRect(150, 650, 250, 250));
    for (CLayer* layer : {town.streets, doc.GetLayer(3)})
        layer->SetExtent(CMapRect(120, 400, 200, 300));
    Open(doc);
    auto limits = [this] { return Texts{Text(kLeftEdit), Text(kTopEdit), Text(kRightEdit), Text(kBottomEdit)}; };

    user.answers = {IDNO};
    Control<QPushButton>(kRecalcButton)->click();
    ASSERT_EQ(user.MessageIds(), std::vector<unsigned>{2019});
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Perskaičiuoti žemėlapio ribas pagal sluoksnio ribas?"));
    EXPECT_EQ(user.messages[0].type, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(limits(), (Texts{"1", "20", "10", "2"}));

    user.answers = {IDYES};
    Control<QPushButton>(kRecalcButton)->click();
    EXPECT_EQ(limits(), (Texts{"100", "650", "300", "200"}));
    EXPECT_EQ(doc.Settings().limits, stored) << "only OK writes";
    ASSERT_TRUE(Ok());
    EXPECT_EQ(doc.Settings().limits, CMapRect(100, 650, 300, 200));
}

TEST_F(MapPropSheetTest, RecalculatingAMapWithoutLayersLeavesTheLimits)
{
    CDrelDoc empty;
    empty.Settings().limits = CMapRect(1, 20, 10, 2);
    Open(empty);
    user.answers = {IDYES};
    Control<QPushButton>(kRecalcButton)->click();
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{2019});
    EXPECT_EQ((Texts{Text(kLeftEdit), Text(kTopEdit), Text(kRightEdit), Text(kBottomEdit)}),
              (Texts{"1", "20", "10", "2"}));
    // A field refused first asks nothing.
    Type(kLeftEdit, "x");
    Control<QPushButton>(kRecalcButton)->click();
    ASSERT_EQ(user.messages.size(), 2u);
    EXPECT_EQ(user.messages[1].text, Utf8ToCp1257("Įveskite skaičių."));
}

TEST_F(MapPropSheetTest, ANewMapWithoutExtentAndInKilometresKeepsWhatIsNotChanged)
{
    CDrelDoc fresh;
    fresh.Settings().mapUnits = kUnitsKilometres;
    fresh.SetCoordSystem(kCoordTm96);
    Open(fresh);
    EXPECT_EQ(Control<QComboBox>(kUnitsCombo)->currentIndex(), -1);
    EXPECT_EQ((Texts{Text(kLeftEdit), Text(kTopEdit), Text(kRightEdit), Text(kBottomEdit)}), (Texts{"", "", "", ""}));
    ASSERT_TRUE(Ok());
    EXPECT_EQ(fresh.Settings().mapUnits, kUnitsKilometres);
    EXPECT_EQ(fresh.GetCoordSystem(), kCoordTm96);
    EXPECT_EQ(fresh.Settings().limits, CMapRect());
    EXPECT_FALSE(fresh.IsModified()) << "the command marks the map, not the sheet";
}

TEST_F(MapPropSheetTest, CancelChangesNothing)
{
    doc.Settings().mapUnits = kUnitsMetres;
    doc.SetCoordSystem(kCoordUtm);
    const CMapSettings before = doc.Settings();
    Open(doc);
    Type(kNameEdit, "Kitas");
    Choose(kUnitsCombo, 0);
    ASSERT_TRUE(sheet->SetActivePage(1));
    Choose(kLayerCombo, 0);
    sheet->GetCancelButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(doc.Settings().name, before.name);
    EXPECT_EQ(doc.Settings().mapUnits, kUnitsMetres);
    EXPECT_EQ(doc.GetCoordSystem(), kCoordUtm);
    EXPECT_EQ(doc.Settings().routesLayer, "Keliai");
}

} // namespace
