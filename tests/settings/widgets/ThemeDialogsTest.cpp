// The thematic dialog with its value and classification dialogs, and the
// elevation layer's sheet, shown offscreen and worked by their controls' ids.
#include "settings/widgets/DtmLayerSheet.h"
#include "settings/widgets/ThemeDialogs.h"

#include "layers/ClassEditDialogs.h"
#include "layers/DtmLayer.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/ThemeDialogRules.h"
#include "settings/widgets/LayerChoiceDialogs.h"
#include "settings/widgets/ThemeClassListBox.h"
#include "shell/widgets/ControlIds.h"
#include "tests/layers/GridTestSupport.h"
#include "tests/settings/ParcelLayer.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <deque>

namespace {

template <class T = QWidget> T* Control(const QWidget& root, int id)
{
    T* control = FindControl<T>(&root, id);
    EXPECT_TRUE(control) << id;
    return control;
}

void Type(const QWidget& root, int id, const char* text)
{
    // Letters outside ASCII cannot be typed as keys.
    Control<QLineEdit>(root, id)->setText(QString::fromUtf8(text));
}

void Click(const QWidget& root, int id)
{
    Control<QPushButton>(root, id)->click();
}

bool Enabled(const QWidget& root, int id)
{
    return Control(root, id)->isEnabled();
}

void Choose(const QWidget& root, int id, const char* text)
{
    auto* combo = Control<QComboBox>(root, id);
    const int index = combo->findText(QString::fromUtf8(text));
    ASSERT_GE(index, 0) << text;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

std::vector<std::string> Items(const QWidget& root, int id)
{
    std::vector<std::string> items;
    auto* list = Control<QListWidget>(root, id);
    for (int i = 0; i < list->count(); ++i)
        items.push_back(FromQString(list->item(i)->text()));
    return items;
}

void Select(const QWidget& root, int id, int row)
{
    Control<QListWidget>(root, id)->setCurrentRow(row);
}

// Value dialogs that answer from a script, and count the style dialogs.
class CScriptedClassDialogs : public IClassEditDialogs {
public:
    CScriptedClassDialogs() { SetClassEditDialogs(this); }
    ~CScriptedClassDialogs() override { SetClassEditDialogs(nullptr); }

    bool EditFieldValue(std::string& value) override
    {
        ++valueDialogs;
        if (values.empty())
            return false;
        value = values.front();
        values.pop_front();
        return true;
    }
    bool EditAreaStyle(CDrawStyle& style) override
    {
        ++styleDialogs;
        style.brushColor = RGB(1, 2, 3);
        return true;
    }

    std::deque<std::string> values;
    int valueDialogs = 0;
    int styleDialogs = 0;
};

class ThemeDialogsTest : public ::testing::Test, private CWithApplication {
protected:
    ThemeDialogsTest()
    {
        band = parcels.layer->GetSublayer(0);
        band->m_kind = CSublayer::kClassified;
        RememberedClassification() = ClassificationChoice();
    }
    ~ThemeDialogsTest() override { RememberedClassification() = ClassificationChoice(); }

    CThemeDlg& Open()
    {
        dialog = std::make_unique<CThemeDlg>(*parcels.layer, *band);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    std::vector<std::string> Classes() const { return Items(*dialog, CThemeDlg::kClassList); }

    CScriptedUserServices user;
    CScriptedClassDialogs classDialogs;
    CParcelLayer parcels;
    CSublayer* band;
    std::unique_ptr<CThemeDlg> dialog;
};

TEST_F(ThemeDialogsTest, AddingToAnEmptyListAsksTheNewClassAndAddsTheOtherValues)
{
    CThemeDlg& d = Open();
    EXPECT_FALSE(Enabled(d, CThemeDlg::kAddButton)); // no field yet
    Choose(d, CThemeDlg::kFieldCombo, "Pavadinimas");
    EXPECT_EQ(d.GetField(), "PAV");
    classDialogs.values = {"Beržynas"};
    Click(d, CThemeDlg::kAddButton);
    EXPECT_EQ(classDialogs.valueDialogs, 1);
    EXPECT_EQ(Classes(), (std::vector<std::string>{"Beržynas", "<Kitais atvejais>"}));
    EXPECT_EQ(Control<QListWidget>(d, CThemeDlg::kClassList)->currentRow(), 0);

    // A cancelled value keeps the class with its default value.
    Select(d, CThemeDlg::kClassList, 1);
    Click(d, CThemeDlg::kAddButton);
    EXPECT_EQ(Classes(), (std::vector<std::string>{"Beržynas", "", "<Kitais atvejais>"}));
}

TEST_F(ThemeDialogsTest, TheClassOfOtherValuesTakesOnlyAStyle)
{
    band->m_classField = "PAV";
    band->m_classes.SetKind(true, false);
    band->m_classes.InsertTextClass(0, CLayer::kArea, "A");
    band->m_classes.AddClass(CLayer::kArea);
    CThemeDlg& d = Open();
    EXPECT_EQ(Control<QComboBox>(d, CThemeDlg::kFieldCombo)->currentText(), QString::fromUtf8("Pavadinimas"));
    EXPECT_EQ(Control<QComboBox>(d, CThemeDlg::kTypeCombo)->currentText(), QString::fromUtf8("Reikšmė"));

    Select(d, CThemeDlg::kClassList, 1);
    EXPECT_FALSE(Enabled(d, CThemeDlg::kEditButton));
    EXPECT_FALSE(Enabled(d, CThemeDlg::kRemoveButton));
    EXPECT_TRUE(Enabled(d, CThemeDlg::kStyleButton));
    Click(d, CThemeDlg::kStyleButton);
    EXPECT_EQ(classDialogs.styleDialogs, 1);
    EXPECT_EQ(d.GetClasses().GetClass(1)->m_style.Draw().brushColor, RGB(1, 2, 3));

    Select(d, CThemeDlg::kClassList, 0);
    EXPECT_TRUE(Enabled(d, CThemeDlg::kEditButton));
    EXPECT_TRUE(Enabled(d, CThemeDlg::kRemoveButton));
    Click(d, CThemeDlg::kRemoveButton);
    EXPECT_EQ(Classes(), (std::vector<std::string>{"<Kitais atvejais>"}));
}

TEST_F(ThemeDialogsTest, ChangingFieldOrTypeEmptiesTheList)
{
    band->m_classField = "PAV";
    band->m_classes.SetKind(true, false);
    band->m_classes.InsertTextClass(0, CLayer::kArea, "A");
    band->m_classes.AddClass(CLayer::kArea);
    CThemeDlg& d = Open();
    Choose(d, CThemeDlg::kFieldCombo, "Plotas, ha");
    EXPECT_TRUE(Classes().empty());
    EXPECT_TRUE(d.GetClasses().IsNumeric());
    EXPECT_EQ(d.GetField(), "PLOTAS");

    classDialogs.values = {"5"};
    Click(d, CThemeDlg::kAddButton);
    Choose(d, CThemeDlg::kTypeCombo, "Intervalas");
    EXPECT_TRUE(Classes().empty());
    EXPECT_EQ(d.GetClasses().GetKind(), CThemeClassList::kNumberRanges);
}

TEST_F(ThemeDialogsTest, OkGivesTheBandTheListAndFieldAndCancelNothing)
{
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        band->m_classField.clear();
        band->m_classes.SetKind(true, false);
        CThemeDlg& d = Open();
        Choose(d, CThemeDlg::kFieldCombo, "KODAS");
        Click(d, CThemeDlg::kFillButton); // single values: no dialog 140
        EXPECT_EQ(Classes(), (std::vector<std::string>{"A1", "A2", "B1", "C3", "<Kitais atvejais>"}));
        Click(d, ok ? IDOK : IDCANCEL);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(band->m_classField, ok ? "KODAS" : "");
        EXPECT_EQ(band->m_classes.GetCount(), ok ? 5 : 0);
    }
}

TEST_F(ThemeDialogsTest, RangeFillProposesOneClassFewerAndRemembersTheChoice)
{
    band->m_classField = "PLOTAS";
    band->m_classes.SetKind(false, true);
    for (int i = 0; i < 5; ++i)
        band->m_classes.AddClass(CLayer::kArea);
    CThemeDlg& d = Open();
    WithModalWindow([&] { Click(d, CThemeDlg::kFillButton); },
                    [&](QWidget& classify) {
                        EXPECT_EQ(GetControlId(&classify), CClassifyDlg::kDialogId);
                        EXPECT_EQ(Control<QLineEdit>(classify, CClassifyDlg::kCountEdit)->text(), "4");
                        EXPECT_TRUE(Enabled(classify, CClassifyDlg::kEqualIntervalRadio));
                        SaveScreenshot(classify, "classification-dialog");
                        Type(classify, CClassifyDlg::kCountEdit, "2");
                        Control<QRadioButton>(classify, CClassifyDlg::kEqualIntervalRadio)->setChecked(true);
                        Click(classify, IDOK);
                    });
    EXPECT_EQ(RememberedClassification().count, 2);
    EXPECT_EQ(RememberedClassification().method, 1);
    EXPECT_EQ(d.GetClasses().GetCount(), 3);
    EXPECT_EQ(Classes().back(), "<Kitais atvejais>");

    // Cancel in dialog 140 keeps the list.
    WithModalWindow([&] { Click(d, CThemeDlg::kFillButton); }, [&](QWidget& classify) { Click(classify, IDCANCEL); });
    EXPECT_EQ(d.GetClasses().GetCount(), 3);
}

TEST_F(ThemeDialogsTest, TheClassCountKeepsToOneToSixtyFour)
{
    struct Case {
        const char* typed;
        bool taken;
    };
    for (const Case& c : {Case{"65", false}, Case{"abc", false}, Case{"0", false}, Case{"1", true}, Case{"64", true}}) {
        SCOPED_TRACE(c.typed);
        CClassifyDlg classify(4, 1, false);
        classify.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&classify));
        EXPECT_FALSE(Enabled(classify, CClassifyDlg::kEqualIntervalRadio)); // a text field
        EXPECT_TRUE(Control<QRadioButton>(classify, CClassifyDlg::kEqualCountRadio)->isChecked());
        Type(classify, CClassifyDlg::kCountEdit, c.typed);
        user.messages.clear();
        Click(classify, IDOK);
        EXPECT_EQ(classify.isVisible(), !c.taken);
        EXPECT_EQ(user.messages.empty(), c.taken);
        if (c.taken) {
            EXPECT_EQ(classify.GetCount(), std::atoi(c.typed));
        }
    }
}

TEST_F(ThemeDialogsTest, FailedFillKeepsTheListAndTheBoxInStep)
{
    band->m_classField = "PLOTAS";
    band->m_classes.SetKind(false, true);
    band->m_classes.InsertRangeClass(0, CLayer::kArea, 0, 10);
    band->m_classes.AddClass(CLayer::kArea);
    CThemeDlg& d = Open();
    ASSERT_TRUE(Enabled(d, CThemeDlg::kFillButton));
    // The table goes while the dialog is open: the classification fails.
    ASSERT_EQ(std::remove(parcels.dir.File("sklypai.dbf").c_str()), 0);
    WithModalWindow([&] { Click(d, CThemeDlg::kFillButton); },
                    [&](QWidget& classify) {
                        Type(classify, CClassifyDlg::kCountEdit, "3");
                        Click(classify, IDOK);
                    });
    EXPECT_EQ(d.GetClasses().GetCount(), 2);
    EXPECT_EQ(Classes(), (std::vector<std::string>{"0 - 10", "<Kitais atvejais>"}));
}

TEST_F(ThemeDialogsTest, ValueDialogsKeepTheirTexts)
{
    CFieldValueDlg value("senas");
    value.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&value));
    EXPECT_EQ(value.windowTitle(), QString::fromUtf8("Lauko reikšmė"));
    EXPECT_EQ(Control<QLineEdit>(value, CFieldValueDlg::kValueEdit)->maxLength(), 254);
    Type(value, CFieldValueDlg::kValueEdit, "Ąžuolynas");
    Click(value, IDOK);
    EXPECT_EQ(value.GetValue(), "\xC0\xFEuolynas");

    CFieldRangeDlg range("1", "2");
    range.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&range));
    EXPECT_EQ(Control<QLineEdit>(range, CFieldRangeDlg::kFromEdit)->text(), "1");
    Type(range, CFieldRangeDlg::kToEdit, "20");
    Click(range, IDOK);
    EXPECT_EQ(range.GetFrom(), "1");
    EXPECT_EQ(range.GetTo(), "20");
}

TEST_F(ThemeDialogsTest, Screenshot)
{
    band->m_classField = "PAV";
    band->m_classes.SetKind(true, false);
    CThemeDlg& d = Open();
    Click(d, CThemeDlg::kFillButton);
    Select(d, CThemeDlg::kClassList, 1);
    SaveScreenshot(d, "thematic-dialog");
}

// ------------------------------------------------------------ elevation sheet

class DtmSheetTest : public ::testing::Test, private CWithApplication {
protected:
    DtmSheetTest()
    {
        auto owned = std::make_unique<CDtmLayer>("Reljefas", dir.File("reljefas.dtm"));
        layer = owned.get();
        SetBounds({100, 200, 300});
        doc.AddLayer(std::move(owned), false);
        doc.AddLayer(std::make_unique<CLayer>("Keliai", dir.File("keliai.shp"), CLayer::kLine), false);
    }
    void SetBounds(const std::vector<double>& bounds)
    {
        CThemeClassList& classes = *layer->GetHeightClasses();
        classes.SetKind(false, true);
        for (double bound : bounds)
            classes.InsertRangeClass(classes.GetCount(), CLayer::kElevation, -DBL_MAX, bound);
        classes.AddClass(CLayer::kElevation);
    }
    CDtmLayerPropertySheet& Open(int group = -1)
    {
        sheet = std::make_unique<CDtmLayerPropertySheet>();
        sheet->SetLayer(*layer, &doc, group);
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        return *sheet;
    }
    std::vector<std::string> Tabs() const
    {
        std::vector<std::string> tabs;
        const QTabBar* bar = sheet->findChild<QTabBar*>();
        for (int i = 0; i < bar->count(); ++i)
            tabs.push_back(FromQString(bar->tabText(i)));
        return tabs;
    }
    QWidget& Page() const { return *sheet->GetActivePage(); }
    std::string WriteGrid(const std::string& name, const std::vector<unsigned char>& bytes) const
    {
        WriteWholeFile(dir.File(name), std::string(bytes.begin(), bytes.end()));
        return dir.File(name);
    }

    CScriptedUserServices user;
    CTempDir dir;
    CDrelDoc doc;
    CDtmLayer* layer;
    std::unique_ptr<CDtmLayerPropertySheet> sheet;
};

TEST_F(DtmSheetTest, OpensOnTheLegendWithTheHeightRanges)
{
    CDtmLayerPropertySheet& s = Open();
    EXPECT_EQ(FromQString(s.windowTitle()), "Sluoksnio parametrai");
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Apra\xF0"
                                                "as",
                                                "Legenda", "Pastabos"}));
    EXPECT_EQ(s.GetActivePage(), &s.LegendPage());
    EXPECT_EQ(FromQString(s.GetCancelButton()->text()), "Atsisakyti");
    EXPECT_EQ(Items(Page(), CDtmLayerLegendPage::kClassList),
              (std::vector<std::string>{"<= 100 m", "100 - 200 m", "200 - 300 m", "> 300 m"}));
    SaveScreenshot(s, "elevation-sheet-legend");
}

TEST_F(DtmSheetTest, PageGroupsLeaveOnePage)
{
    Open(0);
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Legenda"}));
    Open(3);
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Pastabos"}));
}

TEST_F(DtmSheetTest, OnlyInnerClassesAreEditedOrRemovedButAllRecoloured)
{
    CDtmLayerPropertySheet& s = Open();
    QWidget& page = Page();
    s.LegendPage().chooseColour = [](COLORREF& colour, QWidget*) {
        colour = RGB(10, 20, 30);
        return true;
    };
    for (int row : {0, 3}) {
        Select(page, CDtmLayerLegendPage::kClassList, row);
        EXPECT_FALSE(Enabled(page, CDtmLayerLegendPage::kEditButton));
        EXPECT_FALSE(Enabled(page, CDtmLayerLegendPage::kRemoveButton));
        EXPECT_TRUE(Enabled(page, CDtmLayerLegendPage::kColourButton));
        Click(page, CDtmLayerLegendPage::kColourButton);
        EXPECT_EQ(GetLegendColour(s.GetWorkingLayer().GetSublayer(0)->m_classes, row), RGB(10, 20, 30));
    }
    Select(page, CDtmLayerLegendPage::kClassList, 1);
    EXPECT_TRUE(Enabled(page, CDtmLayerLegendPage::kEditButton));
    WithModalWindow([&] { Click(page, CDtmLayerLegendPage::kEditButton); },
                    [&](QWidget& value) {
                        EXPECT_EQ(GetControlId(&value), CLegendValueDlg::kDialogId);
                        EXPECT_EQ(Control<QLineEdit>(value, CLegendValueDlg::kValueEdit)->text(), "200");
                        Type(value, CLegendValueDlg::kValueEdit, "250");
                        Click(value, IDOK);
                    });
    EXPECT_EQ(Items(page, CDtmLayerLegendPage::kClassList),
              (std::vector<std::string>{"<= 100 m", "100 - 250 m", "250 - 300 m", "> 300 m"}));
    Select(page, CDtmLayerLegendPage::kClassList, 2);
    Click(page, CDtmLayerLegendPage::kRemoveButton);
    EXPECT_EQ(Items(page, CDtmLayerLegendPage::kClassList),
              (std::vector<std::string>{"<= 100 m", "100 - 250 m", "> 250 m"}));
    // The layer itself is untouched until OK.
    EXPECT_EQ(layer->GetHeightClasses()->GetCount(), 4);
}

TEST_F(DtmSheetTest, AddedValueAsksDialog231AndGoesToItsPlace)
{
    Open();
    QWidget& page = Page();
    WithModalWindow([&] { Click(page, CDtmLayerLegendPage::kAddButton); },
                    [&](QWidget& value) {
                        EXPECT_EQ(FromQString(value.windowTitle()), "Redaguoti legend\xE0");
                        EXPECT_EQ(Control<QLineEdit>(value, CLegendValueDlg::kValueEdit)->text(), "-1");
                        Type(value, CLegendValueDlg::kValueEdit, "150");
                        Click(value, IDOK);
                    });
    EXPECT_EQ(Items(page, CDtmLayerLegendPage::kClassList),
              (std::vector<std::string>{"<= 100 m", "100 - 150 m", "150 - 200 m", "200 - 300 m", "> 300 m"}));
    EXPECT_EQ(Control<QListWidget>(page, CDtmLayerLegendPage::kClassList)->currentRow(), 1);
}

TEST_F(DtmSheetTest, RecalculationThroughTheLegendDialog)
{
    Open();
    QWidget& page = Page();
    WithModalWindow([&] { Click(page, CDtmLayerLegendPage::kRecalculateButton); },
                    [&](QWidget& legend) {
                        EXPECT_EQ(Control<QComboBox>(legend, CLegendEditDlg::kIntervalsCombo)->currentText(), "2");
                        Type(legend, CLegendEditDlg::kMinimumEdit, "0");
                        Type(legend, CLegendEditDlg::kMaximumEdit, "100");
                        Control<QComboBox>(legend, CLegendEditDlg::kIntervalsCombo)->setEditText("4");
                        Click(legend, IDOK);
                    });
    EXPECT_EQ(Items(page, CDtmLayerLegendPage::kClassList),
              (std::vector<std::string>{"<= 0 m", "0 - 25 m", "25 - 50 m", "50 - 75 m", "75 - 100 m", "> 100 m"}));
}

TEST_F(DtmSheetTest, InterpolationAndVisibilityZones)
{
    layer->SetFlag(CLayer::kPlainValues, true);
    layer->GetSublayer(0)->m_labelFlags |= CSublayer::kInterpolateGrid;
    CDtmLayerPropertySheet& s = Open();
    QWidget& page = Page();
    EXPECT_FALSE(Enabled(page, CDtmLayerLegendPage::kRecalculateButton));
    EXPECT_EQ(Items(page, CDtmLayerLegendPage::kClassList),
              (std::vector<std::string>{"Matoma zona", "Nematoma zona", "Nematoma zona", "Nematoma zona"}));
    auto* interpolate = Control<QCheckBox>(page, CDtmLayerLegendPage::kInterpolateCheck);
    EXPECT_TRUE(interpolate->isChecked());
    interpolate->click();
    EXPECT_EQ(s.GetWorkingLayer().GetSublayer(0)->m_labelFlags & CSublayer::kInterpolateGrid, 0u);
}

TEST_F(DtmSheetTest, GridFilesAddedAtOnceAndTheBrokenOnesSkipped)
{
    const GridBytes grid = NorthFirstGrid(CGridFile::kInt16, 2, 2, {1, 2, 3, 4});
    std::vector<unsigned char> cut = grid.Bytes();
    cut.resize(30);
    const std::vector<std::string> paths = {WriteGrid("a.rmp", grid.Bytes()), WriteGrid("b.rmp", grid.Bytes()),
                                            WriteGrid("kirptas.rmp", cut), WriteGrid("c.rmp", grid.Bytes())};
    CDtmLayerPropertySheet& s = Open();
    s.SetActivePage(0);
    QWidget& page = Page();
    std::string filter;
    s.DefPage().chooseFiles = [&](const std::string& asked, std::vector<std::string>& chosen) {
        filter = asked;
        chosen = paths;
        return true;
    };
    Click(page, CDtmLayerDefPage::kAddButton);
    EXPECT_EQ(filter, "Drel Elevation Model Files (*.rmp)|*.rmp||");
    EXPECT_EQ(Items(page, CDtmLayerDefPage::kFileList), (std::vector<std::string>{paths[0], paths[1], paths[3]}));
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1028}));
    EXPECT_EQ(s.GetWorkingLayer().GetFileCount(), 3);

    Select(page, CDtmLayerDefPage::kFileList, 1);
    WithModalWindow([&] { Click(page, CDtmLayerDefPage::kInfoButton); },
                    [&](QWidget& info) {
                        EXPECT_EQ(GetControlId(&info), CDtmFileInfoDlg::kDialogId);
                        EXPECT_EQ(FromQString(Control<QLabel>(info, CDtmFileInfoDlg::kNameText)->text()), paths[1]);
                        EXPECT_EQ(FromQString(Control<QLabel>(info, CDtmFileInfoDlg::kGridSizeText)->text()), "2 x 2");
                        EXPECT_EQ(FromQString(Control<QLabel>(info, CDtmFileInfoDlg::kCellSizeText)->text()),
                                  "3.6e+03\" x 3.6e+03\"");
                        SaveScreenshot(info, "grid-file-info");
                    });
    Click(page, CDtmLayerDefPage::kRemoveButton);
    EXPECT_EQ(Items(page, CDtmLayerDefPage::kFileList), (std::vector<std::string>{paths[0], paths[3]}));
    Click(page, CDtmLayerDefPage::kRemoveAllButton);
    EXPECT_TRUE(Items(page, CDtmLayerDefPage::kFileList).empty());
    EXPECT_EQ(s.GetWorkingLayer().GetFileCount(), 0);
    SaveScreenshot(s, "elevation-sheet-files");
}

TEST_F(DtmSheetTest, ATakenNameKeepsTheDefinitionPage)
{
    CDtmLayerPropertySheet& s = Open();
    s.SetActivePage(0);
    QWidget& page = Page();
    EXPECT_EQ(Control<QLineEdit>(page, CDtmLayerDefPage::kNameEdit)->text(), "Reljefas");
    EXPECT_TRUE(Control<QCheckBox>(page, CDtmLayerDefPage::kMapCheck)->isChecked());
    Type(page, CDtmLayerDefPage::kNameEdit, "Keliai");
    s.GetOkButton()->click();
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{1001}));

    Type(page, CDtmLayerDefPage::kNameEdit, "Aukščiai");
    Control<QCheckBox>(page, CDtmLayerDefPage::kWorkingCheck)->setChecked(true);
    s.GetOkButton()->click();
    ASSERT_FALSE(s.isVisible());
    s.ApplyToLayer(*layer);
    EXPECT_EQ(layer->GetName(), "Auk\xF0\xE8iai");
    EXPECT_TRUE(layer->HasFlag(CLayer::kWorking));
}

} // namespace
