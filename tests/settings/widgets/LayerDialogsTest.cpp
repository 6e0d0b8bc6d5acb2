// The small layer dialogs offscreen, their controls found by resource id.
#include "settings/widgets/GroupDialogs.h"
#include "settings/widgets/LayerChoiceDialogs.h"
#include "settings/widgets/LayerFileListDlg.h"
#include "settings/widgets/NewLayerDlg.h"
#include "settings/widgets/RemoveLayerDialogs.h"

#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Path.h"
#include "platform/QtText.h"
#include "settings/LayerDialogRules.h"
#include "shell/widgets/ControlIds.h"
#include "tests/settings/GroupedMap.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class LayerDialogsTest : public ::testing::Test, private CWithApplication {
protected:
    LayerDialogsTest()
    {
        doc.SetPathName(dir.File("town.map"));
        doc.AddLayer(std::make_unique<CLayer>("Keliai", dir.File("keliai.gdb"), CLayer::kLine), false);
    }
    // Shown as the modal run shows it, active, so the focus can be seen.
    template <class Dialog>
    static void Show(Dialog& dialog)
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        QCoreApplication::processEvents();
    }
    template <class T = QWidget>
    static T* Control(QWidget& dialog, int id)
    {
        T* control = FindControl<T>(&dialog, id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    static void Click(QWidget& dialog, int id) { Control<QPushButton>(dialog, id)->click(); }
    static QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
    static std::vector<QString> LabelTexts(QWidget& dialog)
    {
        std::vector<QString> texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts.push_back(label->text());
        return texts;
    }
    static bool HasLabel(QWidget& dialog, const char* utf8)
    {
        const std::vector<QString> texts = LabelTexts(dialog);
        return std::find(texts.begin(), texts.end(), Text(utf8)) != texts.end();
    }

    CTempDir dir;
    CScriptedUserServices user;
    CDrelDoc doc;
};

// ------------------------------------------------------------ 102, 30772

TEST_F(LayerDialogsTest, NewLayerOkWaitsForBothTextsAndTheTypeFollowsTheCaller)
{
    for (const bool typeChoice : {true, false}) {
        CNewLayerOptions options;
        options.typeChoice = typeChoice;
        CNewLayerDlg dialog(doc, options);
        dialog.SetNames("Layer1", "Layer1.gdb");
        dialog.SetType(CLayer::kArea);
        Show(dialog);
        EXPECT_EQ(GetControlId(&dialog), 102);
        EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnio kūrimas"));
        auto* types = Control<QComboBox>(dialog, 1007);
        ASSERT_EQ(types->count(), 3);
        EXPECT_EQ(types->itemText(0), Text("Taškas"));
        EXPECT_EQ(types->itemText(1), Text("Linija"));
        EXPECT_EQ(types->itemText(2), Text("Sritis"));
        EXPECT_EQ(types->currentIndex(), 2);
        EXPECT_EQ(types->isEnabled(), typeChoice);
        EXPECT_EQ(Control<QPushButton>(dialog, 1006)->text(), Text("F&ailai..."));
        EXPECT_TRUE(HasLabel(dialog, "&Sluoksnio vardas:"));
        EXPECT_TRUE(HasLabel(dialog, "&Failo vardas:"));
        EXPECT_TRUE(HasLabel(dialog, "Sluoksnio &tipas:"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1004)->maxLength(), 80);
        EXPECT_EQ(Control<QLineEdit>(dialog, 1005)->maxLength(), 260);

        auto* ok = Control<QPushButton>(dialog, IDOK);
        const struct {
            const char* name;
            const char* file;
            bool enabled;
        } states[] = {{"Layer1", "", false}, {"", "", false}, {"", "a.gdb", false}, {"A", "a.gdb", true}};
        for (const auto& s : states) {
            Control<QLineEdit>(dialog, 1004)->setText(s.name);
            Control<QLineEdit>(dialog, 1005)->setText(s.file);
            EXPECT_EQ(ok->isEnabled(), s.enabled) << s.name << "|" << s.file;
        }
        if (typeChoice)
            types->setCurrentIndex(1);
        if (!typeChoice)
            SaveScreenshot(dialog, "new-layer-102");
        ok->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), IDOK);
        EXPECT_EQ(dialog.GetName(), "A");
        EXPECT_EQ(dialog.GetPath(), dir.File("a.gdb")) << "absolute against the map's folder";
        EXPECT_EQ(dialog.GetType(), typeChoice ? CLayer::kLine : CLayer::kArea);
        EXPECT_FALSE(dialog.IsReplaceConfirmed());
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LayerDialogsTest, FilesOfferTheTypesOfTheMaskAndOfTheThreeLayerFileForms)
{
    const auto offered = [](CLayerNamesDlg& dialog, const char* chosen) {
        std::string filter, proposal;
        dialog.chooseFile = [&](std::string& path, const std::string& f) {
            proposal = path;
            filter = f;
            if (chosen)
                path = chosen;
            return chosen != nullptr;
        };
        Click(dialog, 1006);
        return std::make_pair(filter, proposal);
    };
    for (const int mask : {1, 3, 9, 15}) {
        CNewLayerOptions options;
        options.fileTypes = mask;
        CNewLayerDlg dialog(doc, options);
        dialog.SetNames("L", "/maps/l.gdb");
        Show(dialog);
        const auto [filter, proposal] = offered(dialog, "/maps/chosen.shp");
        EXPECT_EQ(filter, NewLayerFileFilter(mask));
        EXPECT_EQ(proposal, "/maps/l.gdb");
        EXPECT_EQ(Control<QLineEdit>(dialog, 1005)->text(), "/maps/chosen.shp");
    }
    EXPECT_TRUE(NewLayerFileFilter(9).starts_with("Drel GDB Files (*.gdb)|*.gdb|ESRI Shapefiles"));

    const struct {
        bool vector, elevation;
        const char* first;
    } forms[] = {{true, false, "Drel GDB Files"}, {false, true, "Drel Elevation Model Files"}, {false, false, "DBF Files"}};
    for (const auto& f : forms) {
        CLayerFileOptions options;
        options.vectorFiles = f.vector;
        options.elevationFiles = f.elevation;
        CLayerFileDlg dialog(doc, options);
        dialog.SetNames("L", "l.dbf");
        Show(dialog);
        EXPECT_EQ(GetControlId(&dialog), 30772);
        EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnio kūrimas"));
        EXPECT_FALSE(FindControl(&dialog, 1007)) << "no type";
        const auto [filter, proposal] = offered(dialog, nullptr);
        EXPECT_EQ(filter, LayerFileFilter(options));
        EXPECT_TRUE(filter.starts_with(f.first)) << filter;
        EXPECT_EQ(Control<QLineEdit>(dialog, 1005)->text(), "l.dbf") << "a cancelled choice leaves the file";
        if (f.elevation)
            SaveScreenshot(dialog, "layer-file-30772");
    }
}

TEST_F(LayerDialogsTest, OkRefusesATakenNameAnOpenMapsFileAndAFileNotToBeReplaced)
{
    WriteWholeFile(dir.File("old.gdb"), "old");
    struct Case {
        const char* name;
        const char* file;
        std::vector<int> answers;
        std::vector<unsigned> messages;
        int focus; // the edit with the focus after a refusal; 0 closed
    };
    const Case cases[] = {
        {"Keliai", "new.gdb", {}, {1001}, 1004},
        {"Naujas", "KELIAI.dbf", {}, {1074}, 1005}, // refused before any question
        {"Naujas", "old.gdb", {IDNO}, {2000}, 1005},
        {"Naujas", "old.gdb", {IDYES}, {2000}, 0},
    };
    for (const Case& c : cases) {
        user.messages.clear();
        user.answers.assign(c.answers.begin(), c.answers.end());
        CNewLayerDlg dialog(doc, CNewLayerOptions());
        dialog.SetNames(c.name, c.file);
        Show(dialog);
        Click(dialog, IDOK);
        EXPECT_EQ(user.MessageIds(), c.messages) << c.name << " " << c.file;
        EXPECT_EQ(dialog.isVisible(), c.focus != 0) << c.file;
        if (c.focus) {
            EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, c.focus)) << c.name << " " << c.file;
        } else {
            EXPECT_TRUE(dialog.IsReplaceConfirmed());
            EXPECT_EQ(dialog.GetPath(), dir.File("old.gdb"));
        }
    }
    EXPECT_EQ(ReadWholeFile(dir.File("old.gdb")), "old");
}

TEST_F(LayerDialogsTest, TheHooksHandTheChoiceAndTheYesBack)
{
    WriteWholeFile(dir.File("old.dbf"), "old");
    std::string name = "Waypoints", path = dir.File("Waypoints.dbf");
    CLayerFileOptions options;
    options.replaceConfirmed = true;
    user.answers = {IDYES};
    bool ran = false;
    WithModalWindow([&] { ran = RunLayerFileDialog(doc, name, path, options); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(GetControlId(&dialog), 30772);
                        EXPECT_EQ(Control<QLineEdit>(dialog, 1004)->text(), "Waypoints");
                        Control<QLineEdit>(dialog, 1005)->setText("old.dbf");
                        Click(dialog, IDOK);
                    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(path, dir.File("old.dbf"));
    EXPECT_TRUE(options.replaceConfirmed);

    int type = CLayer::kPoint;
    CNewLayerOptions layerOptions;
    layerOptions.replaceConfirmed = true;
    WithModalWindow([&] { ran = RunNewLayerDialog(doc, name, path, type, layerOptions); },
                    [&](QWidget& dialog) { Click(dialog, IDCANCEL); });
    EXPECT_FALSE(ran);
    EXPECT_FALSE(layerOptions.replaceConfirmed) << "no yes from a cancelled dialog";
    EXPECT_EQ(path, dir.File("old.dbf"));
}

// ------------------------------------------------------------ groups

TEST_F(LayerDialogsTest, GroupNamesAreRefusedWhenTakenAndTheGroupKeepsItsOwn)
{
    CGroupedMap map;
    {
        CGroupNameDlg dialog(map.doc, "Group");
        Show(dialog);
        EXPECT_EQ(GetControlId(&dialog), 30788);
        EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnių grupės sukūrimas"));
        Control<QLineEdit>(dialog, 1004)->setText("Vanduo");
        Click(dialog, IDOK);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1001});
        EXPECT_EQ(dialog.focusWidget(), FindControl(&dialog, 1004));
        Control<QLineEdit>(dialog, 1004)->setText("Parkai");
        SaveScreenshot(dialog, "group-name-30788");
        Click(dialog, IDOK);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.GetName(), "Parkai");
    }
    user.messages.clear();
    CGroupPropsDlg dialog(map.doc, *map.L("Vanduo"), "Vanduo", true);
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30787);
    EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnių grupės parametrai"));
    EXPECT_TRUE(Control<QCheckBox>(dialog, 1025)->isChecked());
    EXPECT_EQ(Control<QCheckBox>(dialog, 1025)->text(), Text("&Darbinė sluoksnių grupė"));
    EXPECT_EQ(Control<QLineEdit>(dialog, 1004)->maxLength(), 80);
    Control<QLineEdit>(dialog, 1004)->setText("Miestas");
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1001});
    Control<QLineEdit>(dialog, 1004)->setText("Vanduo");
    Control<QCheckBox>(dialog, 1025)->setChecked(false);
    SaveScreenshot(dialog, "group-props-30787");
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.isVisible()) << "its own name";
    EXPECT_FALSE(dialog.IsWorking());
}

Texts TreeLines(QTreeWidgetItem* item, int depth = 0)
{
    Texts lines{std::string(static_cast<size_t>(depth) * 2, ' ') + item->text(0).toStdString() +
                (item->isExpanded() || item->childCount() == 0 ? "" : " (closed)")};
    for (int i = 0; i < item->childCount(); ++i)
        for (std::string& line : TreeLines(item->child(i), depth + 1))
            lines.push_back(std::move(line));
    return lines;
}

TEST_F(LayerDialogsTest, TheGroupTreeShowsNestedGroupsAllOpenWithTheGivenOneSelected)
{
    CGroupedMap map;
    CGroupChoiceDlg dialog(map.doc, map.L("Vanduo"));
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30810);
    EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnių grupės pasirinkimas"));
    EXPECT_TRUE(HasLabel(dialog, "Pasirinkite sluoksnių grupę:"));
    QTreeWidget* tree = dialog.GetTree();
    ASSERT_EQ(tree, FindControl<QTreeWidget>(&dialog, 1116));
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(TreeLines(tree->topLevelItem(0)), (Texts{"[.]", "  [Miestas]", "    [Vanduo]"}));
    EXPECT_EQ(tree->currentItem()->text(0), "[Vanduo]");
    SaveScreenshot(dialog, "group-choice-30810");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.GetGroup(), map.L("Vanduo"));

    CGroupChoiceDlg root(map.doc, map.L("Miestas"));
    Show(root);
    root.GetTree()->setCurrentItem(root.GetTree()->topLevelItem(0));
    Click(root, IDOK);
    EXPECT_EQ(root.GetGroup(), nullptr) << "the root is no group";

    CGroupChoiceDlg plain(doc, nullptr);
    ASSERT_EQ(plain.GetTree()->topLevelItemCount(), 1);
    EXPECT_EQ(TreeLines(plain.GetTree()->topLevelItem(0)), Texts{"[.]"});
    EXPECT_EQ(plain.GetTree()->currentItem()->text(0), "[.]");
}

// ------------------------------------------------------------ small ones

TEST_F(LayerDialogsTest, OverviewLayersSetAndClearTheFlagOfEveryListedLayer)
{
    CGroupedMap map;
    map.L("Keliai")->SetFlag(CLayer::kInOverview, true);
    COverviewLayersDlg dialog(map.doc);
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 132);
    EXPECT_EQ(dialog.windowTitle(), Text("Konteksto lango sluoksniai"));
    QListWidget* list = Control<QListWidget>(dialog, 1014);
    Texts listed;
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        listed.push_back(item->text().toStdString() + (item->checkState() == Qt::Checked ? "+" : ""));
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    EXPECT_EQ(listed, (Texts{"Keliai+", "Pastatai+", "Upes", "Ezerai", "Taskai", "Trasa", "Ortofoto", "Reljefas"}));
    SaveScreenshot(dialog, "overview-layers-132");
    Click(dialog, IDOK);
    EXPECT_FALSE(map.L("Keliai")->HasFlag(CLayer::kInOverview));
    EXPECT_FALSE(map.L("Pastatai")->HasFlag(CLayer::kInOverview));
    EXPECT_TRUE(map.L("Reljefas")->HasFlag(CLayer::kInOverview));
    EXPECT_FALSE(map.L("Vanduo")->HasFlag(CLayer::kInOverview)) << "groups are not listed";
}

TEST_F(LayerDialogsTest, TheLayerChoiceOffersLineLayersAndWithoutAMapCloses)
{
    CGroupedMap map;
    CLayerChoiceDlg dialog(&map.doc);
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30799);
    EXPECT_EQ(dialog.windowTitle(), Text("Sluoksniai"));
    EXPECT_TRUE(HasLabel(dialog, "Pasirinkite sluoksnį:"));
    auto* combo = Control<QComboBox>(dialog, 1012);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Keliai");
    EXPECT_EQ(combo->itemText(1), "Upes");
    combo->setCurrentIndex(1);
    SaveScreenshot(dialog, "layer-choice-30799");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.GetLayer(), map.L("Upes"));

    CDrelDoc plain;
    CLayerChoiceDlg empty(&plain);
    Show(empty);
    Click(empty, IDOK);
    EXPECT_TRUE(empty.isVisible()) << "nothing happens without a layer";
    empty.close();

    CLayerChoiceDlg none(nullptr);
    EXPECT_EQ(none.DoModal(), IDCANCEL);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1316});
}

TEST_F(LayerDialogsTest, TheLayerFilesDialogSetsTheCurrentFile)
{
    CLayer tiles("Tiles", "/maps/t1.gdb", CLayer::kArea);
    for (const char* file : {"/maps/t1.gdb", "/maps/t2.gdb", "/maps/t3.gdb"})
        tiles.AddFile(file);
    CLayerFilesDlg dialog(tiles);
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30765);
    EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnio failų sąrašas"));
    EXPECT_TRUE(HasLabel(dialog, "&Pasirinkite vieną failą:"));
    ASSERT_EQ(dialog.GetList()->count(), 3);
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible()) << "no selection";
    dialog.GetList()->setCurrentRow(1);
    SaveScreenshot(dialog, "layer-files-30765");
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(tiles.GetPath(), "/maps/t2.gdb");
    EXPECT_TRUE(tiles.HasFlag(CLayer::kManyFiles));
}

TEST_F(LayerDialogsTest, TheLegendEditDialogOffersItsIntervalCounts)
{
    CLegendEditDlg dialog(10, 250.5, "5");
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30761);
    EXPECT_EQ(dialog.windowTitle(), Text("Redaguoti legendą"));
    for (const char* label : {"Minimali reikšmė:", "Maksimali reikšmė:", "Intervalų skaičius:"})
        EXPECT_TRUE(HasLabel(dialog, label)) << label;
    auto* intervals = Control<QComboBox>(dialog, 1012);
    Texts items;
    for (int i = 0; i < intervals->count(); ++i)
        items.push_back(intervals->itemText(i).toStdString());
    EXPECT_EQ(items, (Texts{"0", "1", "2", "5", "10"}));
    EXPECT_EQ(intervals->currentText(), "5");
    EXPECT_EQ(Control<QLineEdit>(dialog, 1017)->text(), "10");
    EXPECT_EQ(Control<QLineEdit>(dialog, 1007)->text(), "250.5");
    EXPECT_EQ(intervals->lineEdit()->maxLength(), 2);
    Control<QLineEdit>(dialog, 1017)->setText("-3.25");
    intervals->setCurrentIndex(4);
    SaveScreenshot(dialog, "legend-edit-30761");
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetMinimum(), -3.25);
    EXPECT_EQ(dialog.GetMaximum(), 250.5);
    EXPECT_EQ(dialog.GetIntervals(), "10");
}

TEST_F(LayerDialogsTest, TheRemovalDialogsHandBackTheirChoices)
{
    CLayer roads("Keliai", "/maps/keliai.gdb", CLayer::kLine);
    for (const bool files : {false, true}) {
        bool deleteFiles = !files, answered = false;
        WithModalWindow([&] { answered = AskRemoveLayer(roads, deleteFiles); },
                        [&](QWidget& dialog) {
                            EXPECT_EQ(GetControlId(&dialog), 242);
                            EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnio šalinimas"));
                            EXPECT_EQ(Control<QLabel>(dialog, 1059)->text(), "Keliai");
                            EXPECT_TRUE(HasLabel(dialog, "Jūs tikrai norite pašalinti ši sluoksnį?"));
                            EXPECT_EQ(Control<QPushButton>(dialog, IDOK)->text(), Text("Pašalinti"));
                            auto* check = Control<QCheckBox>(dialog, 1015);
                            EXPECT_FALSE(check->isChecked());
                            check->setChecked(files);
                            if (files)
                                SaveScreenshot(dialog, "remove-layer-242");
                            Click(dialog, IDOK);
                        });
        EXPECT_TRUE(answered);
        EXPECT_EQ(deleteFiles, files);
    }
    bool deleteFiles = false;
    bool answered = true;
    WithModalWindow([&] { answered = AskRemoveLayer(roads, deleteFiles); },
                    [&](QWidget& dialog) { Click(dialog, IDCANCEL); });
    EXPECT_FALSE(answered);

    for (const int choice : {0, 1, 2, -1}) {
        int answer = -2;
        WithModalWindow([&] { answer = AskRemoveGroup(roads); },
                        [&](QWidget& dialog) {
                            EXPECT_EQ(GetControlId(&dialog), 328);
                            EXPECT_EQ(dialog.windowTitle(), Text("Sluoknių grupės šalinimas"));
                            EXPECT_TRUE(Control<QRadioButton>(dialog, 1024)->isChecked());
                            if (choice < 0) {
                                Click(dialog, IDCANCEL);
                                return;
                            }
                            Control<QRadioButton>(dialog, 1024 + choice)->setChecked(true);
                            if (choice == 2)
                                SaveScreenshot(dialog, "remove-group-328");
                            Click(dialog, IDOK);
                        });
        EXPECT_EQ(answer, choice);
    }

    for (const bool group : {false, true}) {
        CRemoveLayersDlg dialog(group);
        Show(dialog);
        EXPECT_EQ(GetControlId(&dialog), 30811);
        EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnių šalinimas"));
        EXPECT_TRUE(HasLabel(dialog, "Jūs tikrai norite pašalinti pasirinktus sluoksnius (grupes)?"));
        EXPECT_EQ(Control(dialog, 1016)->isEnabled(), group);
        EXPECT_FALSE(Control<QCheckBox>(dialog, 1016)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(dialog, 1015)->isChecked());
        if (group) {
            Control<QCheckBox>(dialog, 1016)->setChecked(true);
            SaveScreenshot(dialog, "remove-layers-30811");
        }
        Click(dialog, IDOK);
        EXPECT_EQ(dialog.GetWithMembers(), group);
        EXPECT_FALSE(dialog.GetDeleteFiles());
    }
}

// ------------------------------------------------------------ 261, 259

TEST_F(LayerDialogsTest, DescribingAddsTheMatchingFilesOfAFolderTreeAndEnds)
{
    namespace fs = std::filesystem;
    CTempDir tree;
    for (const char* folder : {"a", "a/b", ".svn"})
        ASSERT_TRUE(MakeFolders(tree.File(folder)));
    for (const char* file : {"t1.gdb", "T2.GDB", "x.shp", "a/t3.gdb", "a/b/t4.Gdb", ".svn/t5.gdb"})
        WriteWholeFile(tree.File(file), "x");
    fs::create_directory_symlink(ResolvePath(tree.Path()), ResolvePath(tree.File("a/b/up")));

    CLayer tiles("Tiles", tree.File("t1.gdb"), CLayer::kArea);
    tiles.AddFile(tree.File("t1.gdb"));
    CLayerFileListDlg dialog(&tiles);
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 261);
    EXPECT_EQ(dialog.windowTitle(), Text("Sluoksnio failų sąrašas"));
    EXPECT_TRUE(HasLabel(dialog, "&Failai:"));
    const std::pair<int, const char*> buttons[] = {
        {1055, "&Pridėti..."}, {1056, "Pašalinti"}, {1089, "Pašalinti &visus"}, {1019, "&Aprašyti"}};
    for (const auto& [id, text] : buttons)
        EXPECT_EQ(Control<QPushButton>(dialog, id)->text(), Text(text)) << id;

    WithModalWindow([&] { Click(dialog, 1019); },
                    [&](QWidget& search) {
                        EXPECT_EQ(GetControlId(&search), 259);
                        EXPECT_EQ(search.windowTitle(), Text("Failų įtraukimas"));
                        EXPECT_EQ(Control<QLineEdit>(search, 1017)->text(), "*.gdb");
                        EXPECT_FALSE(Control<QLineEdit>(search, 1007)->text().isEmpty()) << "the current folder";
                        EXPECT_TRUE(Control<QCheckBox>(search, 1015)->isChecked());
                        EXPECT_EQ(Control<QCheckBox>(search, 1015)->text(), Text("Į&traukti pakatalogius"));
                        Control<QLineEdit>(search, 1007)->setText(ToQString(tree.Path()));
                        SaveScreenshot(search, "add-files-259");
                        Click(search, IDOK);
                    });
    EXPECT_EQ(dialog.GetFiles(), (Texts{tree.File("t1.gdb"), tree.File("T2.GDB"), tree.File("a/t3.gdb"),
                                        tree.File("a/b/t4.Gdb")}));
    EXPECT_EQ(dialog.GetListBox()->count(), 4);
    SaveScreenshot(dialog, "layer-file-list-261");

    // "Pridėti..." over the layer's extension.
    std::string filter;
    dialog.chooseFiles = [&](const std::string& f, std::vector<std::string>& paths) {
        filter = f;
        paths = {tree.File("x.shp")};
        return true;
    };
    Click(dialog, 1055);
    EXPECT_EQ(filter, "Files (*.gdb)|*.gdb||");
    EXPECT_EQ(dialog.GetFiles().back(), tree.File("x.shp"));

    // Emptied, OK changes nothing.
    dialog.GetListBox()->item(0)->setSelected(true);
    Click(dialog, 1056);
    EXPECT_EQ(dialog.GetFiles().front(), tree.File("T2.GDB"));
    Click(dialog, 1089);
    EXPECT_EQ(dialog.GetListBox()->count(), 0);
    Click(dialog, IDOK);
    EXPECT_EQ(tiles.GetFileCount(), 1);
    EXPECT_EQ(tiles.Files()[0].path, tree.File("t1.gdb"));
    dialog.close();
}

} // namespace
