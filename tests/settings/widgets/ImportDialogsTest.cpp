// The import dialogs offscreen, their controls found by resource id.
#include "settings/widgets/ImportDialogs.h"

#include "core/CoordConverter.h"
#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "platform/QtText.h"
#include "settings/widgets/SettingsCoordTableDialogs.h"
#include "shell/widgets/ControlIds.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/settings/GroupedMap.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class ImportDialogsTest : public ::testing::Test, private CWithApplication {
protected:
    ImportDialogsTest()
    {
        MakeTable(dir.File("points.dbf"),
                  FieldList({{"PAV", 'C', 20, 0}, {"X", 'N', 12, 6}, {"Y", 'N', 12, 6}, {"DATA", 'D', 8, 0}}), {});
        MakeTable(dir.File("dates.dbf"), FieldList({{"DATA", 'D', 8, 0}, {"YRA", 'L', 1, 0}}), {});
        EXPECT_TRUE(points.Open(dir.File("points.dbf")));
        EXPECT_TRUE(dates.Open(dir.File("dates.dbf")));
    }
    template <class Dialog>
    static void Show(Dialog& dialog)
    {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    template <class T = QWidget>
    static T* Control(QWidget& dialog, int id)
    {
        T* control = FindControl<T>(&dialog, id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    static void Click(QWidget& dialog, int id) { Control<QAbstractButton>(dialog, id)->click(); }
    static Texts Items(QComboBox* combo)
    {
        Texts items;
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(FromQString(combo->itemText(i)));
        return items;
    }
    static bool HasText(QWidget& dialog, const char* utf8)
    {
        const QString text = QString::fromUtf8(utf8);
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->text() == text)
                return true;
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            if (button->text() == text)
                return true;
        for (const QGroupBox* box : dialog.findChildren<QGroupBox*>())
            if (box->title() == text)
                return true;
        return false;
    }

    CTempDir dir;
    CScriptedUserServices user;
    CDbfTable points, dates;
};

TEST_F(ImportDialogsTest, ATableWithoutLonAndLatOffersThoseNamesToType)
{
    CSettingsCoordTableDialogs dialogs;
    ICoordTableDialogs::CFieldChoice choice;
    bool answered = false;
    WithModalWindow([&] { answered = dialogs.AskCoordinateFields(points, dir.File("points.dbf"), choice); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(GetControlId(&dialog), 178);
                        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("DBF failo importas"));
                        for (const char* text : {"Importuojamas failas:", "Koordinačių laukai", "Ilguma/X:",
                                                 "Platuma/Y:", "Konvertuoti iš DOS į ANSI (Windows) ženklų lentelę"})
                            EXPECT_TRUE(HasText(dialog, text)) << text;
                        EXPECT_EQ(FromQString(Control<QLineEdit>(dialog, 1017)->text()), dir.File("points.dbf"));
                        auto* x = Control<QComboBox>(dialog, 1012);
                        auto* y = Control<QComboBox>(dialog, 1021);
                        EXPECT_TRUE(x->isEditable());
                        EXPECT_EQ(Items(x), (Texts{"Pav", "X", "Y", "Data"}));
                        EXPECT_EQ(Items(y), Items(x));
                        EXPECT_EQ(x->currentText(), "lon");
                        EXPECT_EQ(y->currentText(), "lat");
                        SaveScreenshot(dialog, "dbf-import-178");
                        x->setCurrentIndex(1);
                        y->setEditText("Y");
                        Control<QCheckBox>(dialog, 1015)->setChecked(true);
                        Click(dialog, IDOK);
                    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(choice.xField, "X");
    EXPECT_EQ(choice.yField, "Y");
    EXPECT_TRUE(choice.dosText);
}

TEST_F(ImportDialogsTest, TheDosTableAsksItsMapDescription)
{
    CSettingsDosGdbImportDialog question;
    std::string map = dir.File("old.map");
    bool answered = false;
    WithModalWindow([&] { answered = question.AskMapFile(dir.File("taskai.gdb"), map); },
                    [&](QWidget& dialog) {
                        EXPECT_EQ(GetControlId(&dialog), 177);
                        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Drel GDB (DOS) failo importas"));
                        EXPECT_TRUE(HasText(dialog, "Žemėlapis (*.map), kuriam priklauso failas:"));
                        EXPECT_EQ(FromQString(Control<QLineEdit>(dialog, 1007)->text()), dir.File("taskai.gdb"));
                        EXPECT_EQ(FromQString(Control<QLineEdit>(dialog, 1017)->text()), dir.File("old.map"));
                        EXPECT_EQ(Control<QLineEdit>(dialog, 1017)->maxLength(), 254);
                        auto& import = dynamic_cast<CDosGdbImportDlg&>(dialog);
                        std::string filter;
                        import.chooseFile = [&](std::string& path, const std::string& f) {
                            filter = f;
                            path = "/maps/dos.map";
                            return true;
                        };
                        Click(dialog, 1055);
                        EXPECT_EQ(filter, "Drel Map (for DOS) Files (*.map)|*.map||");
                        SaveScreenshot(dialog, "dos-gdb-import-177");
                        Click(dialog, IDOK);
                    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(map, "/maps/dos.map");
}

TEST_F(ImportDialogsTest, TheLayerImportEnablesItsChoicesAndRefusesHalfOnes)
{
    CGroupedMap map;
    map.L("Upes")->SetFlag(CLayer::kObjectsEditable, false);
    for (const bool allowed : {true, false}) {
        CLayerImportDlg dialog(map.doc.Layers(), "/data/taskai.gdb", allowed);
        Show(dialog);
        EXPECT_EQ(Control(dialog, 1015)->isEnabled(), allowed);
    }
    CLayerImportDlg dialog(map.doc.Layers(), "/data/taskai.gdb");
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 194);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Sluoksnio importas"));
    auto* layers = Control<QComboBox>(dialog, 1012);
    EXPECT_EQ(Items(layers), (Texts{"Keliai", "Pastatai", "Ezerai", "Taskai", "Trasa", "Ortofoto", "Reljefas"}));
    EXPECT_EQ(layers->currentIndex(), -1);
    EXPECT_EQ(Items(Control<QComboBox>(dialog, 1021)),
              (Texts{FromQString(QString::fromUtf8("Geografinė (WGS-84)")), "LKS-94", "UTM", "LKS-92 (Latvijos)",
                     FromQString(QString::fromUtf8("Vietinė (Šiaulių)"))}));
    const int systemControls[] = {1059, 1060, 1021, 1022};
    const auto enabled = [&dialog](int id) { return FindControl(&dialog, id)->isEnabled(); };
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1024)->isChecked());
    EXPECT_FALSE(enabled(1012));
    for (const int id : systemControls)
        EXPECT_FALSE(enabled(id)) << id;

    // Attaching without a layer.
    Click(dialog, 1025);
    EXPECT_TRUE(enabled(1012));
    Click(dialog, IDOK);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1039});
    EXPECT_TRUE(dialog.isVisible());
    layers->setCurrentIndex(0);

    // Transforming without both systems.
    Click(dialog, 1015);
    for (const int id : systemControls)
        EXPECT_TRUE(enabled(id)) << id;
    Control<QComboBox>(dialog, 1021)->setCurrentIndex(0);
    user.messages.clear();
    Click(dialog, IDOK);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1040});
    EXPECT_TRUE(dialog.isVisible());
    Click(dialog, 1015);
    for (const int id : systemControls)
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_EQ(dialog.CreateCoordConverter(), nullptr) << "no transformation chosen";
    Click(dialog, 1015);
    Control<QComboBox>(dialog, 1022)->setCurrentIndex(1);
    Click(dialog, 1024);
    EXPECT_FALSE(enabled(1012));
    Click(dialog, 1025);
    SaveScreenshot(dialog, "layer-import-194");
    user.messages.clear();
    Click(dialog, IDOK);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetValues().mode, 1);
    EXPECT_EQ(dialog.GetValues().layerName, "Keliai");
    EXPECT_TRUE(dialog.GetValues().transform);
    const std::unique_ptr<CCoordConverter> converter = dialog.CreateCoordConverter();
    ASSERT_TRUE(converter);
    CMapPoint point(24.0, 55.0);
    converter->ConvertPoint(point);
    EXPECT_GT(point.x, 100000) << "degrees became LKS-94 metres";
}

TEST_F(ImportDialogsTest, TheKeyDialogOffersCharacterAndNumberFieldsAndWaitsForBoth)
{
    CImportKeysDlg dialog(points, points);
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30784);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Duomenų importas"));
    for (const char* text : {"&Raktinis laukas pradiniame sluoksnyje:", "Raktinis laukas &importuojamajame faile:"})
        EXPECT_TRUE(HasText(dialog, text)) << text;
    EXPECT_EQ(Items(Control<QComboBox>(dialog, 1012)), (Texts{"Pav", "X", "Y"}));
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    Control<QComboBox>(dialog, 1012)->setCurrentIndex(0);
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    Control<QComboBox>(dialog, 1021)->setCurrentIndex(2);
    SaveScreenshot(dialog, "import-keys-30784");
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetLayerKey(), "Pav");
    EXPECT_EQ(dialog.GetImportKey(), "Y");
    EXPECT_FALSE(dialog.GetDosText());

    CImportKeysDlg none(points, dates);
    Show(none);
    EXPECT_EQ(Control<QComboBox>(none, 1021)->count(), 0) << "only date and logical fields";
    Control<QComboBox>(none, 1012)->setCurrentIndex(0);
    Click(none, IDOK);
    EXPECT_TRUE(none.isVisible()) << "OK does nothing";
    none.close();
}

TEST_F(ImportDialogsTest, TheImportParametersNeedALayer)
{
    CGroupedMap map;
    CImportParamsDlg dialog(map.doc.Layers(), map.L("Upes"), "/data/adresai.dbf");
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 316);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Importavimo parametrai"));
    for (const char* text : {"Susiejamas sluoksnis:", "Importavimo būdas",
                             "Kiekvienam sluoksnio objektui prijungti duomenis",
                             "Kiekvienam DBF failo įrašui sukurti objektą"})
        EXPECT_TRUE(HasText(dialog, text)) << text;
    auto* layers = Control<QComboBox>(dialog, 1012);
    EXPECT_EQ(Items(layers), (Texts{"Keliai", "Pastatai", "Upes", "Ezerai", "Taskai"}));
    EXPECT_EQ(layers->currentText(), "Upes");
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1024)->isChecked());
    layers->setCurrentIndex(-1);
    Click(dialog, IDOK);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_TRUE(dialog.isVisible());
    layers->setCurrentIndex(1);
    Click(dialog, 1025);
    SaveScreenshot(dialog, "import-params-316");
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.GetLayer(), map.L("Pastatai"));
    EXPECT_EQ(dialog.GetMode(), 1);

    CImportParamsDlg noActive(map.doc.Layers(), map.L("Ortofoto"), "/data/adresai.dbf");
    EXPECT_EQ(FindControl<QComboBox>(&noActive, 1012)->currentIndex(), -1);
}

TEST_F(ImportDialogsTest, TheImportReportShowsItsTwoTexts)
{
    CImportInfoDlg dialog("2", "17\r\n23\r\n");
    Show(dialog);
    EXPECT_EQ(GetControlId(&dialog), 315);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Informacija apie importą"));
    EXPECT_TRUE(HasText(dialog, "Praleista įrašų:"));
    EXPECT_TRUE(HasText(dialog, "Nerastos reikšmės:"));
    EXPECT_EQ(Control<QLabel>(dialog, 1059)->text(), "2");
    EXPECT_EQ(Control<QPlainTextEdit>(dialog, 1017)->toPlainText(), "17\n23\n");
    SaveScreenshot(dialog, "import-info-315");
    Click(dialog, IDOK);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
