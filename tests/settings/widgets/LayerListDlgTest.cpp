// The layer list manager (385) and its settings (387) offscreen.
#include "settings/widgets/LayerListDlg.h"

#include "layers/Layer.h"
#include "layers/LayerPropertySheet.h"
#include "mapdoc/DocumentObserver.h"
#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"
#include "tests/settings/GroupedMap.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The sheet on one page group: the group it was opened on and what OK writes.
class CScriptedSheet : public ILayerPropertySheet {
public:
    CScriptedSheet() { SetLayerPropertySheet(this); }
    ~CScriptedSheet() override { SetLayerPropertySheet(nullptr); }
    bool Run(CLayer& layer, CDrelDoc*, int pageGroup) override
    {
        runs.push_back(layer.GetName() + " " + std::to_string(pageGroup));
        if (pageGroup == 2)
            layer.SetFilter("N > 5");
        if (pageGroup == 3)
            layer.SetNotes("Patikrinta");
        return ok;
    }
    Texts runs;
    bool ok = true;
};

class LayerListDlgTest : public ::testing::Test, private CWithApplication, protected CGroupedMap {
protected:
    LayerListDlgTest() { LayerListSettings() = CLayerListSettings(); }
    ~LayerListDlgTest() override
    {
        dialog.reset();
        LayerListSettings() = CLayerListSettings();
    }
    CLayerListDlg& Open(CLayer* active)
    {
        dialog = std::make_unique<CLayerListDlg>(doc, active);
        dialog->selectInLegend = [this](CLayer* entry) { selectedInLegend.push_back(entry->GetName()); };
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    Texts Names() const
    {
        Texts names;
        QTreeWidget* list = dialog->GetList();
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            names.push_back(FromQString(list->topLevelItem(row)->text(CLayerListDlg::kNameColumn)));
        return names;
    }
    QTreeWidgetItem* Row(const std::string& text) const
    {
        QTreeWidget* list = dialog->GetList();
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            if (FromQString(list->topLevelItem(row)->text(CLayerListDlg::kNameColumn)) == text)
                return list->topLevelItem(row);
        ADD_FAILURE() << text;
        return nullptr;
    }
    void Select(std::initializer_list<const char*> names)
    {
        std::vector<CLayer*> entries;
        for (const char* name : names)
            entries.push_back(L(name));
        dialog->Select(entries);
    }
    bool Enabled(int id) const { return FindControl<QPushButton>(dialog.get(), id)->isEnabled(); }
    void Click(int id) { FindControl<QPushButton>(dialog.get(), id)->click(); }
    // The enabled buttons in the dialog's order.
    Texts EnabledButtons() const
    {
        Texts enabled;
        for (const int id : {CLayerListDlg::kActivate, CLayerListDlg::kSymbol, CLayerListDlg::kLabels,
                             CLayerListDlg::kFilter, CLayerListDlg::kNotes, CLayerListDlg::kMove,
                             CLayerListDlg::kRemove, CLayerListDlg::kUp, CLayerListDlg::kDown,
                             CLayerListDlg::kSettings})
            if (Enabled(id))
                enabled.push_back(FindControl<QPushButton>(dialog.get(), id)->text().toStdString());
        return enabled;
    }

    CScriptedUserServices user;
    CFakeLayerData data;
    std::unique_ptr<CLayerListDlg> dialog;
    Texts selectedInLegend;
};

TEST_F(LayerListDlgTest, ListsOneLevelAndOpensGroupsByDoubleClick)
{
    Open(L("Pastatai"));
    EXPECT_EQ(GetControlId(dialog.get()), 385);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Sluoksnių sąrašas"));
    EXPECT_EQ(dialog->GetList(), FindControl<QTreeWidget>(dialog.get(), 1014));
    EXPECT_EQ(dialog->GetList()->columnCount(), 5);
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(dialog->GetList()->columnWidth(column), (std::array{17, 11, 7, 16})[column]);
    EXPECT_EQ(Names(), (Texts{"[..] - Miestas", "Pastatai", "[Vanduo]", "Taskai"}));
    SaveScreenshot(*dialog, "layer-list-385");

    dialog->OnDoubleClick(L("Vanduo"));
    EXPECT_EQ(Names(), (Texts{"[..] - Vanduo", "Upes", "Ezerai"}));
    dialog->OnDoubleClick(L("Upes"));
    EXPECT_EQ(Names(), (Texts{"[..] - Vanduo", "Upes", "Ezerai"}));
    dialog->OnDoubleClick(L("Vanduo"));
    dialog->OnDoubleClick(L("Miestas"));
    EXPECT_EQ(Names(), (Texts{"Keliai", "[Miestas]", "Trasa", "Ortofoto", "Reljefas"}));
}

TEST_F(LayerListDlgTest, ButtonsFollowTheSelection)
{
    Open(nullptr);
    EXPECT_EQ(EnabledButtons(), Texts{"Nustatymai..."});
    Select({"Keliai"});
    EXPECT_EQ(EnabledButtons(), (Texts{"Aktyvuoti", "Ženklas...", "Užrašai...", "Filtras...", "Pastabos...",
                                       "Perkelti...", "Pašalinti", "Žemyn", "Nustatymai..."}));
    Select({"Trasa", "Ortofoto"});
    EXPECT_EQ(EnabledButtons(), (Texts{"Ženklas...", "Užrašai...", "Filtras...", "Pastabos...", "Perkelti...",
                                       "Pašalinti", "Aukštyn", "Žemyn", "Nustatymai..."}));
    Select({"Reljefas"});
    EXPECT_FALSE(Enabled(CLayerListDlg::kDown)) << "at the end";
    Click(CLayerListDlg::kUp);
    EXPECT_EQ(Names(), (Texts{"Keliai", "[Miestas]", "Trasa", "Reljefas", "Ortofoto"}));
    EXPECT_EQ(dialog->GetSelection(), std::vector<CLayer*>{L("Reljefas")}) << "the selection moves along";
    EXPECT_TRUE(doc.IsModified());

    LayerListSettings().groups = false;
    Open(nullptr);
    Select({"Trasa"});
    EXPECT_FALSE(Enabled(CLayerListDlg::kUp));
    EXPECT_FALSE(Enabled(CLayerListDlg::kDown));
}

TEST_F(LayerListDlgTest, ActivatingMarksTheEntryAndSelectsItInTheLegend)
{
    Open(L("Keliai"));
    EXPECT_EQ(Row("Keliai")->data(2, Qt::UserRole + 1).toInt(), kImageActive);
    Select({"Trasa"});
    Click(CLayerListDlg::kActivate);
    EXPECT_EQ(selectedInLegend, Texts{"Trasa"});
    EXPECT_EQ(dialog->Manager().GetActive(), L("Trasa"));
    EXPECT_EQ(Row("Trasa")->data(2, Qt::UserRole + 1).toInt(), kImageActive);
    EXPECT_EQ(Row("Keliai")->data(2, Qt::UserRole + 1).toInt(), kImageNone);
}

TEST_F(LayerListDlgTest, AGroupsCheckShowsOrHidesItsMembers)
{
    Open(nullptr);
    QTreeWidgetItem* city = Row("[Miestas]");
    EXPECT_EQ(city->data(0, Qt::UserRole + 1).toInt(), 2) << "partly shown";
    emit dialog->GetList()->itemClicked(city, CLayerListDlg::kCheckColumn);
    for (const char* name : {"Miestas", "Pastatai", "Vanduo", "Upes", "Ezerai", "Taskai"})
        EXPECT_TRUE(L(name)->HasFlag(CLayer::kShown)) << name;
    EXPECT_EQ(Row("[Miestas]")->data(0, Qt::UserRole + 1).toInt(), 1);
    emit dialog->GetList()->itemClicked(Row("[Miestas]"), CLayerListDlg::kCheckColumn);
    for (const char* name : {"Miestas", "Pastatai", "Vanduo", "Upes", "Ezerai", "Taskai"})
        EXPECT_FALSE(L(name)->HasFlag(CLayer::kShown)) << name;
    EXPECT_TRUE(doc.IsModified());

    CHintRecorder views(doc);
    Click(IDCANCEL);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(views.hints, (std::vector<uint32_t>{kHintLegendRows, kHintRedraw}));
}

TEST_F(LayerListDlgTest, PageButtonsEditTheFirstAndCopyToTheOthers)
{
    CScriptedSheet sheet;
    Open(nullptr);
    dialog->OnDoubleClick(L("Miestas"));
    Select({"Pastatai", "Taskai"});
    Click(CLayerListDlg::kFilter);
    Click(CLayerListDlg::kSymbol);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1113});
    Click(CLayerListDlg::kNotes);
    EXPECT_EQ(sheet.runs, (Texts{"Pastatai 2", "Pastatai 3"}));
    EXPECT_EQ(L("Taskai")->GetFilter(), "N > 5");
    EXPECT_EQ(L("Taskai")->GetNotes(), "Patikrinta");
    EXPECT_EQ(Row("Taskai")->data(1, Qt::UserRole + 1).toInt(), kImageFilter);

    sheet.ok = false;
    L("Taskai")->SetNotes("");
    Click(CLayerListDlg::kNotes);
    EXPECT_EQ(L("Taskai")->GetNotes(), "") << "cancelled: nothing copied";
}

TEST_F(LayerListDlgTest, MovingAndRemovingAskTheirDialogs)
{
    Open(nullptr);
    Select({"Keliai", "Miestas"});
    WithModalWindow([&] { Click(CLayerListDlg::kMove); },
                    [&](QWidget& choice) {
                        EXPECT_EQ(GetControlId(&choice), 30810);
                        auto* tree = FindControl<QTreeWidget>(&choice, 1116);
                        EXPECT_EQ(tree->currentItem()->text(0), "[.]") << "the level shown";
                        tree->setCurrentItem(tree->topLevelItem(0)->child(0)->child(0));
                        FindControl<QPushButton>(&choice, IDOK)->click();
                    });
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1115});
    EXPECT_EQ(L("Vanduo")->GetMemberCount(), 3);
    EXPECT_EQ(Names(), (Texts{"[Miestas]", "Trasa", "Ortofoto", "Reljefas"}));

    Select({"Miestas", "Trasa"});
    WithModalWindow([&] { Click(CLayerListDlg::kRemove); },
                    [&](QWidget& question) {
                        EXPECT_EQ(GetControlId(&question), 30811);
                        EXPECT_TRUE(FindControl(&question, 1016)->isEnabled()) << "a group is selected";
                        FindControl<QCheckBox>(&question, 1016)->setChecked(true);
                        FindControl<QPushButton>(&question, IDOK)->click();
                    });
    EXPECT_EQ(LayerNames(doc), (Texts{"Ortofoto", "Reljefas"}));
    EXPECT_EQ(Names(), (Texts{"Ortofoto", "Reljefas"}));
    EXPECT_TRUE(data.deleted.empty());
}

TEST_F(LayerListDlgTest, SettingsChooseWhatIsListedAndAllTypesFollowTheSeven)
{
    Open(nullptr);
    const int kinds[] = {1016, 1065, 1069, 1095, 1107, 1018, 1019};
    WithModalWindow([&] { Click(CLayerListDlg::kSettings); },
                    [&](QWidget& settings) {
                        EXPECT_EQ(GetControlId(&settings), 387);
                        EXPECT_EQ(settings.windowTitle(), QString::fromUtf8("Sluoksnių sąrašo nustatymai"));
                        auto* all = FindControl<QCheckBox>(&settings, 1015);
                        EXPECT_EQ(all->text(), "Visi tipai");
                        EXPECT_TRUE(all->isChecked());
                        for (const int id : kinds) {
                            FindControl<QCheckBox>(&settings, id)->click();
                            EXPECT_FALSE(all->isChecked()) << id;
                        }
                        FindControl<QCheckBox>(&settings, 1065)->click();
                        EXPECT_FALSE(all->isChecked());
                        all->click();
                        for (const int id : kinds)
                            EXPECT_TRUE(FindControl<QCheckBox>(&settings, id)->isChecked()) << id;
                        all->click();
                        for (const int id : kinds)
                            EXPECT_FALSE(FindControl<QCheckBox>(&settings, id)->isChecked()) << id;
                        EXPECT_EQ(FindControl<QCheckBox>(&settings, 1019)->text(),
                                  QString::fromUtf8("Rastrinis reljefo modelis ir padengimo zonos"));
                        SaveScreenshot(settings, "layer-list-settings-387");
                        FindControl<QPushButton>(&settings, IDOK)->click();
                    });
    EXPECT_TRUE(Names().empty()) << "no kinds: nothing listed";
    EXPECT_FALSE(LayerListSettings().AllTypes());

    WithModalWindow([&] { Click(CLayerListDlg::kSettings); },
                    [&](QWidget& settings) {
                        FindControl<QCheckBox>(&settings, 1015)->click();
                        FindControl<QCheckBox>(&settings, 1123)->setChecked(false);
                        FindControl<QPushButton>(&settings, IDOK)->click();
                    });
    EXPECT_EQ(Names(), (Texts{"Keliai", "[Miestas]", "Ortofoto"})) << "shown ones and a partly shown group";
}

} // namespace
