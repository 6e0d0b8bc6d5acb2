// The point symbol sheet and the sign list in the program, through the
// settings installer, on the demo map.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/ClassEditDialogs.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerPropertySheet.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "render/SymbolLibrary.h"
#include "settings/BaseScales.h"
#include "settings/widgets/DlgSymbols.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/LayerSymbolPage.h"
#include "settings/widgets/SettingsInstall.h"
#include "settings/widgets/SymbolListBox.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "shell/widgets/SymbolChoice.h"

#include <QAbstractButton>
#include <QPushButton>

#include <cmath>
#include <filesystem>

namespace {

constexpr int kLayerProperties = 30066;
constexpr int kSymbolButton = 1020;

class PointSymbolAppTest : public CAppFixture {
protected:
    PointSymbolAppTest()
    {
        // The program's icon library beside it, read afresh.
        MakeFolder(ProgramFile("Vexil"));
        const std::string icons = TestDataFolder() + "../../res/Vexil/";
        for (const auto& entry : std::filesystem::directory_iterator(icons))
            WriteWholeFile(ProgramFile("Vexil/") + entry.path().filename().string(),
                           ReadWholeFile(icons + entry.path().filename().string()));
        SymbolLibrary().Release();
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
    }
    ~PointSymbolAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        SetLayerPropertySheet(nullptr);
        SetClassEditDialogs(nullptr);
        LayerSheetHooks() = CLayerSheetHooks();
        SymbolPageHooks() = CSymbolPageHooks();
        SymbolListDialog() = nullptr;
        SetLastLayerSheetPage(0);
        SymbolLibrary().Release();
    }
    CMapFrame* OpenDemo()
    {
        EXPECT_TRUE(Start({DemoMapPath()}));
        return frame ? dynamic_cast<CMapFrame*>(frame->ActiveChild()) : nullptr;
    }
    CLayer* Layer(CMapFrame& child, const char* utf8Name)
    {
        return child.GetMapDocument().Layers().FindByName(Utf8ToCp1257(utf8Name));
    }
    static CPropertyPage* SymbolPage(CPropertySheet& sheet)
    {
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            if (sheet.GetPage(i)->GetCaption() == Utf8ToCp1257("Ženklas"))
                return sheet.SetActivePage(i) ? sheet.GetPage(i) : nullptr;
        return nullptr;
    }
    // The symbol page's "Ž&enklas..." of the layer's sheet, with what it opens looked at.
    void OnSymbolButton(CLayer& layer, CMapFrame& child, const std::function<void(QWidget&)>& look)
    {
        child.GetLegend()->SelectLayer(&layer);
        ASSERT_TRUE(IsEnabled(kLayerProperties));
        bool looked = false;
        WithModal([this] { Run(kLayerProperties); },
                  [&](QWidget& modal) {
                      auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                      ASSERT_TRUE(sheet);
                      CPropertyPage* page = SymbolPage(*sheet);
                      ASSERT_TRUE(page);
                      auto* symbol = FindControl<QAbstractButton>(page, kSymbolButton);
                      ASSERT_TRUE(symbol && symbol->isEnabled());
                      WithModalWindow([&] { symbol->click(); },
                                      [&](QWidget& dialog) {
                                          look(dialog);
                                          looked = true;
                                      });
                      sheet->GetOkButton()->click();
                  });
        EXPECT_TRUE(looked);
    }
};

TEST_F(PointSymbolAppTest, AnIconChosenForTheSightsIsTheLayersSymbolInTheLegend)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    CLayer* sights = Layer(*child, "Lankytinos vietos");
    ASSERT_TRUE(sights);
    const int band = sights->GetSublayerIndexForScale(std::round(child->GetMapView()->GetScaleDenominator()));
    ASSERT_GE(band, 0);
    child->GetLegend()->SelectLayer(sights);
    CDragCheckListBox& legend = *child->GetLegendList();
    const auto row = [&] { return legend.visualItemRect(legend.item(legend.FindLayer(sights))); };
    const QImage before = legend.grab(row()).toImage();
    const int chosen = 2; // a green square, where the demo has a red disc
    ASSERT_NE(sights->GetSublayer(band)->m_style.Point().symbol, chosen);

    OnSymbolButton(*sights, *child, [&](QWidget& dialog) {
        auto* sheet = dynamic_cast<CDlgSymbols*>(&dialog);
        ASSERT_TRUE(sheet) << "the real sheet";
        EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("Sutartinis ženklas"));
        EXPECT_EQ(sheet->GetActivePage(), &sheet->m_iconPage);
        auto* list = FindControl<CSymbolListBox>(&sheet->m_iconPage, 1072);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->GetSelectedSymbol(), 16);
        list->setCurrentRow(list->count() > chosen ? chosen : 0);
        ASSERT_EQ(list->GetSelectedSymbol(), chosen);
        for (int page = 0; page < sheet->GetPageCount(); ++page) {
            ASSERT_TRUE(sheet->SetActivePage(page));
            SaveScreenshot(*sheet, ("app-point-symbol-sheet-" + std::to_string(page)).c_str());
        }
        ASSERT_TRUE(sheet->SetActivePage(0));
        sheet->GetOkButton()->click();
    });
    EXPECT_EQ(sights->GetSublayer(band)->m_style.Point().symbol, chosen);
    EXPECT_EQ(sights->GetSublayer(band)->m_style.Point().kind, CPointStyle::kLibrary);
    EXPECT_TRUE(child->GetMapDocument().IsModified());
    QCoreApplication::processEvents();
    const QImage after = legend.grab(row()).toImage();
    EXPECT_NE(after, before);
    SaveScreenshotImage(after, "app-sights-legend-row");
    EXPECT_TRUE(shown.empty());
}

TEST_F(PointSymbolAppTest, TheTrackLayersSymbolComesFromTheSignList)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    CLayer* track = Layer(*child, "GPS trasa");
    ASSERT_TRUE(track);
    const int band = track->GetSublayerIndexForScale(std::round(child->GetMapView()->GetScaleDenominator()));
    ASSERT_GE(band, 0);
    OnSymbolButton(*track, *child, [&](QWidget& dialog) {
        EXPECT_EQ(GetControlId(&dialog), 159);
        auto* list = FindControl<CSymbolListBox>(&dialog, 1072);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->GetSelectedSymbol(), 20);
        list->setCurrentRow(5);
        FindControl<QPushButton>(&dialog, IDOK)->click();
    });
    EXPECT_EQ(track->GetSublayer(band)->m_style.Track().symbol, 5);
}

TEST_F(PointSymbolAppTest, ClassStylesOfPointsOpenTheSheet)
{
    ASSERT_TRUE(Start());
    CPointStyle style;
    style.symbol = 4;
    bool result = false;
    WithModal([&] { result = ClassEditDialogs().EditPointStyle(style); },
              [&](QWidget& dialog) {
                  auto* sheet = dynamic_cast<CDlgSymbols*>(&dialog);
                  ASSERT_TRUE(sheet);
                  FindControl<CSymbolListBox>(&sheet->m_iconPage, 1072)->setCurrentRow(7);
                  sheet->GetOkButton()->click();
              });
    EXPECT_TRUE(result);
    EXPECT_EQ(style.symbol, 7);
    ASSERT_TRUE(SymbolListDialog());
}

} // namespace
