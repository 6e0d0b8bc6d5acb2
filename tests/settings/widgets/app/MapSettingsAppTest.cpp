// The map sheet, the new map's units, the maps list, the page setup and
// the printer set-up in the program, through the settings installer.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/FileUtil.h"
#include "layers/LayerArray.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/PageSetup.h"
#include "mapdoc/widgets/MapPrinting.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "res/CommandIds.h"
#include "settings/widgets/MapChooserDialog.h"
#include "settings/widgets/MapPropSheet.h"
#include "settings/widgets/PageSetupService.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/mapdoc/PdfReadBack.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStandardItemModel>
#include <QPushButton>
#include <QToolButton>

namespace {

// Prints to a PDF file instead of asking for a printer.
class CPdfPrintDialogs : public IPrintDialogs {
public:
    explicit CPdfPrintDialogs(std::string path) : m_path(std::move(path)) { SetPrintDialogs(this); }
    ~CPdfPrintDialogs() override { SetPrintDialogs(nullptr); }
    bool ChoosePrinter(QPrinter& printer, int, QWidget*) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(m_path));
        return true;
    }

private:
    std::string m_path;
};

class MapSettingsAppTest : public CAppFixture {
protected:
    MapSettingsAppTest()
    {
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
    }
    ~MapSettingsAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        PageSetupService().Setup() = CPageSetup();
        SetPageSetup(nullptr);
        app.SetPrinterRefresh(nullptr);
    }
    CMapFrame* OpenDemo()
    {
        EXPECT_TRUE(Start({DemoMapPath()}));
        return frame ? dynamic_cast<CMapFrame*>(frame->ActiveChild()) : nullptr;
    }
    // The entry of a menu bar popup, found by its command id.
    QAction* MenuEntry(const char* popup, int id) const
    {
        for (QAction* top : frame->menuBar()->actions())
            if (top->menu() && top->text() == QString::fromUtf8(popup))
                for (QAction* entry : top->menu()->actions())
                    if (GetControlId(entry) == id)
                        return entry;
        return nullptr;
    }
};

TEST_F(MapSettingsAppTest, TheMapSheetEditsTheMapAndItsSettingsFileTakesIt)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    CDrelDoc& map = child->GetMapDocument();
    const int coordSystem = map.GetCoordSystem();
    QAction* entry = MenuEntry("&Žemėlapis", 30025);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), QString::fromUtf8("Redaguoti žemėlapio parametrus"));
    ASSERT_TRUE(IsEnabled(30025));

    // Cancel changes nothing.
    WithModal([this] { Run(30025); },
              [](QWidget& modal) {
                  auto* sheet = dynamic_cast<CPropSheetMap*>(&modal);
                  ASSERT_TRUE(sheet);
                  EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("Žemėlapio parametrai"));
                  SaveScreenshot(*sheet, "app-map-sheet");
                  sheet->GetCancelButton()->click();
              });
    EXPECT_FALSE(map.IsModified());

    WithModal([this] { Run(30025); },
              [](QWidget& modal) {
                  auto* sheet = dynamic_cast<CPropSheetMap*>(&modal);
                  ASSERT_TRUE(sheet);
                  ASSERT_TRUE(sheet->SetActivePage(1));
                  auto* weight = FindControl<QComboBox>(sheet->GetActivePage(), 1026);
                  ASSERT_TRUE(weight);
                  EXPECT_EQ(weight->currentText(), QStringLiteral("SVORIS"));
                  weight->setCurrentIndex(weight->findText(QStringLiteral("ILGIS")));
                  emit weight->activated(weight->currentIndex());
                  SaveScreenshot(*sheet, "app-map-sheet-routes");
                  sheet->GetOkButton()->click();
                  EXPECT_FALSE(sheet->isVisible());
              });
    EXPECT_TRUE(map.IsModified());
    EXPECT_EQ(map.Settings().weightField, "ILGIS");
    EXPECT_EQ(map.GetCoordSystem(), coordSystem) << "the units were not changed";
    // Saved elsewhere, so the demo map stays for the other tests.
    const std::string copy = dir.File("kopija.map");
    ASSERT_TRUE(map.OnSaveDocument(copy));
    const std::string settings = CDrelDoc::GetSettingsFilePath(copy);
    EXPECT_EQ(GetPrivateProfileString("Routes", "WeightField", "", settings), "ILGIS");
    EXPECT_EQ(GetPrivateProfileString("Routes", "ArcLengthField", "", settings), "ILGIS");
    EXPECT_TRUE(shown.empty());
}

TEST_F(MapSettingsAppTest, PageSetupAndPrinterSetUpReachTheirDialogs)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    ASSERT_TRUE(IsEnabled(30091));
    ASSERT_TRUE(IsEnabled(kCmdFilePrintSetup));

    // The page outline on, with wider margins: the printer refresh gives the
    // page outline the A4 sheet's area (there is no printer here).
    WithModal([this] { Run(30091); },
              [](QWidget& modal) {
                  EXPECT_EQ(GetControlId(&modal), 166);
                  FindControl<QLineEdit>(&modal, 1008)->setText("20");
                  FindControl<QLineEdit>(&modal, 1009)->setText("20");
                  FindControl<QCheckBox>(&modal, 1018)->setChecked(true);
                  FindControl<QPushButton>(&modal, IDOK)->click();
              });
    EXPECT_EQ(PageSetup().GetValues().showPageOutline, 1);
    EXPECT_EQ(PageSetup().GetValues().pageWidth, 17000);
    EXPECT_EQ(PageSetup().GetValues().pageHeight, 27700);

    WithModal([this] { Run(kCmdFilePrintSetup); },
              [](QWidget& modal) {
                  EXPECT_TRUE(qobject_cast<QPageSetupDialog*>(&modal));
                  SaveScreenshot(modal, "app-printer-setup");
              });
    EXPECT_TRUE(shown.empty());
}

TEST_F(MapSettingsAppTest, ATopCaptionPrintsInTenPointType)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    WithModal([this] { Run(30091); },
              [](QWidget& modal) {
                  FindControl<QLineEdit>(&modal, 1010)->setText(QString::fromUtf8("Antraštė"));
                  SaveScreenshot(modal, "app-page-setup");
                  FindControl<QPushButton>(&modal, IDOK)->click();
              });
    const std::string pdf = ResolvePath(dir.File("antraste.pdf"));
    CPdfPrintDialogs dialogs(pdf);
    ASSERT_TRUE(Run(kCmdFilePrint));
    const std::vector<CPdfWord> words = PdfWords(pdf, 1);
    auto caption = std::find_if(words.begin(), words.end(), [](const CPdfWord& w) { return w.text == "Antraštė"; });
    ASSERT_NE(caption, words.end());
    // pdftotext's box of a word is its font's ascent and descent: 1.1 to
    // 1.2 times the size for Arial and its stand-ins.
    const double height = caption->yMax - caption->yMin;
    EXPECT_GT(height, 10 * 1.05) << "10-point type, not 7.2";
    EXPECT_LT(height, 10 * 1.25);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MapSettingsAppTest, ANewMapAsksItsUnits)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(IsEnabled(30015));
    WithModal([this] { Run(30015); },
              [](QWidget& modal) {
                  EXPECT_EQ(GetControlId(&modal), 333);
                  FindControl<QPushButton>(&modal, IDCANCEL)->click();
              });
    EXPECT_TRUE(MapDocuments().empty());
    WithModal([this] { Run(30015); },
              [](QWidget& modal) {
                  FindControl<QComboBox>(&modal, 1012)->setCurrentIndex(1);
                  SaveScreenshot(modal, "app-map-units");
                  FindControl<QPushButton>(&modal, IDOK)->click();
              });
    ASSERT_EQ(MapDocuments().size(), 1u);
    const CDrelDoc* metric = MapDocuments()[0]->GetMapDocument();
    EXPECT_EQ(metric->Settings().mapUnits, kUnitsMetres);
    EXPECT_EQ(metric->GetCoordSystem(), 1);
    // Metres are offered for the next new map of the run.
    WithModal([this] { Run(30015); },
              [](QWidget& modal) {
                  EXPECT_EQ(FindControl<QComboBox>(&modal, 1012)->currentIndex(), 1);
                  FindControl<QComboBox>(&modal, 1012)->setCurrentIndex(0);
                  FindControl<QPushButton>(&modal, IDOK)->click();
              });
    EXPECT_EQ(MapDocuments().size(), 2u);
}

TEST_F(MapSettingsAppTest, SeveralMapLinksAtStartUpShowTheChooser)
{
    WriteLink("a.mln", "Demo", DemoMapPath());
    WriteLink("b.mln", "Kitas", dir.File("kitas.map"));
    WriteLink("c.mln", Utf8ToCp1257("Trečias"), dir.File("trecias.map"));
    CAppProfile::Instance().WriteInt("Map List", "View Type", 0);
    WithModal([this] { EXPECT_TRUE(Start()); },
              [](QWidget& modal) {
                  auto* chooser = dynamic_cast<CMapChooserDialog*>(&modal);
                  ASSERT_TRUE(chooser);
                  EXPECT_EQ(chooser->GetModel()->rowCount(), 3);
                  EXPECT_EQ(chooser->GetView(), kMapListLargeIcons);
                  FindControl<QToolButton>(chooser, 30206)->click();
                  chooser->SelectItem(0);
                  SaveScreenshot(*chooser, "app-map-chooser");
                  FindControl<QToolButton>(chooser, IDOK)->click();
              });
    ASSERT_EQ(MapDocuments().size(), 1u);
    EXPECT_TRUE(EqualPathsNoCase(MapDocuments()[0]->GetPathName(), DemoMapPath()));

    // The maps list command shows the mode chosen; it is written at close.
    ASSERT_TRUE(IsEnabled(30202));
    WithModal([this] { Run(30202); },
              [](QWidget& modal) {
                  auto* chooser = dynamic_cast<CMapChooserDialog*>(&modal);
                  ASSERT_TRUE(chooser);
                  EXPECT_EQ(chooser->GetView(), kMapListDetails);
                  FindControl<QToolButton>(chooser, 30205)->click();
                  FindControl<QToolButton>(chooser, IDCANCEL)->click();
              });
    EXPECT_EQ(MapDocuments().size(), 1u);
    EXPECT_EQ(CAppProfile::Instance().GetInt("Map List", "View Type", -1), 0);
    CloseAsUser();
    EXPECT_EQ(CAppProfile::Instance().GetInt("Map List", "View Type", -1), kMapListSmallIcons);
}

} // namespace
