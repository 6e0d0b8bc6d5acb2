// The elevation layer's sheet and the thematic dialog in the program,
// through the settings installer, on the demo map.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/ClassEditDialogs.h"
#include "layers/DtmLayer.h"
#include "layers/DtmLayerPropertySheet.h"
#include "layers/LayerArray.h"
#include "layers/LayerPropertySheet.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "settings/BaseScales.h"
#include "settings/widgets/DtmLayerSheet.h"
#include "settings/widgets/LayerChoiceDialogs.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/LayerSymbolPage.h"
#include "settings/widgets/SettingsInstall.h"
#include "settings/widgets/ThemeDialogs.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/layers/LayerTestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

constexpr int kLayerProperties = 30066;
constexpr int kClassifiedRadio = 1019;
constexpr int kSymbolButton = 1020;

class ThemeSheetAppTest : public CAppFixture {
protected:
    ThemeSheetAppTest()
    {
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
    }
    ~ThemeSheetAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        SetLayerPropertySheet(nullptr);
        SetDtmLayerPropertySheet(nullptr);
        SetClassEditDialogs(nullptr);
        LayerSheetHooks() = CLayerSheetHooks();
        SymbolPageHooks() = CSymbolPageHooks();
        SetLastLayerSheetPage(0);
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
    // The elevation sheet opened by 30066 on the layer, recalculated from
    // 0 to 100 in 4, then closed by the button.
    void Recalculate(CDtmLayer& layer, int button)
    {
        WithModal([this] { Run(kLayerProperties); },
                  [&](QWidget& modal) {
                      auto* sheet = dynamic_cast<CDtmLayerPropertySheet*>(&modal);
                      ASSERT_TRUE(sheet);
                      EXPECT_EQ(sheet->GetEditedLayer(), &layer);
                      ASSERT_EQ(sheet->GetActivePage(), &sheet->LegendPage());
                      QWidget& page = sheet->LegendPage();
                      WithModalWindow(
                          [&] { FindControl<QPushButton>(&page, CDtmLayerLegendPage::kRecalculateButton)->click(); },
                          [](QWidget& legend) {
                              FindControl<QLineEdit>(&legend, CLegendEditDlg::kMinimumEdit)->setText("0");
                              FindControl<QLineEdit>(&legend, CLegendEditDlg::kMaximumEdit)->setText("100");
                              FindControl<QComboBox>(&legend, CLegendEditDlg::kIntervalsCombo)->setEditText("4");
                              FindControl<QPushButton>(&legend, IDOK)->click();
                          });
                      auto* list = FindControl<QListWidget>(&page, CDtmLayerLegendPage::kClassList);
                      EXPECT_EQ(list->count(), 6);
                      if (button == IDOK)
                          SaveScreenshot(*sheet, "app-elevation-sheet");
                      FindControl<QPushButton>(sheet, button)->click();
                  });
    }
};

TEST_F(ThemeSheetAppTest, TheElevationLayerOpensItsOwnSheet)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    auto* elevation = dynamic_cast<CDtmLayer*>(Layer(*child, "Aukščiai"));
    ASSERT_TRUE(elevation);
    child->GetLegend()->SelectLayer(elevation);
    ASSERT_TRUE(IsEnabled(kLayerProperties));
    const std::vector<unsigned char> before = StoreObject(*elevation);

    Recalculate(*elevation, IDCANCEL);
    EXPECT_EQ(StoreObject(*elevation), before);
    EXPECT_FALSE(child->GetMapDocument().IsModified());

    const CGridFile::ColourClasses oldColours = elevation->GetColourClasses();
    Recalculate(*elevation, IDOK);
    const CGridFile::ColourClasses newColours = elevation->GetColourClasses();
    ASSERT_EQ(newColours.classes.size(), 6u);
    EXPECT_EQ(newColours.classes[1].high, 25);
    EXPECT_EQ(newColours.classes[4].high, 100);
    CGridFile::ColourClasses oldCursor = oldColours, newCursor = newColours;
    EXPECT_NE(CGridFile::ClassColour(oldCursor, 150), CGridFile::ClassColour(newCursor, 150))
        << "150 m is now drawn in the colour of the class above 100 m";
    EXPECT_TRUE(child->GetMapDocument().IsModified());
    EXPECT_TRUE(shown.empty());
}

TEST_F(ThemeSheetAppTest, AStreetsLayerSwitchedToThematicOpensTheThematicDialog)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    CLayer* streets = Layer(*child, "Gatvės");
    ASSERT_TRUE(streets);
    child->GetLegend()->SelectLayer(streets);
    SetLastLayerSheetPage(2);
    const std::vector<unsigned char> before = StoreObject(*streets);
    WithModal([this] { Run(kLayerProperties); },
              [&](QWidget& modal) {
                  auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                  ASSERT_TRUE(sheet);
                  QWidget* page = sheet->GetActivePage();
                  ASSERT_TRUE(page);
                  auto* thematic = FindControl<QAbstractButton>(page, kClassifiedRadio);
                  ASSERT_TRUE(thematic);
                  EXPECT_EQ(thematic->text(), QString::fromUtf8("&Teminis"));
                  thematic->click();
                  auto* symbol = FindControl<QPushButton>(page, kSymbolButton);
                  ASSERT_TRUE(symbol && symbol->isEnabled());
                  WithModalWindow([&] { symbol->click(); },
                                  [](QWidget& dialog) {
                                      EXPECT_EQ(GetControlId(&dialog), CThemeDlg::kDialogId);
                                      auto* fields = FindControl<QComboBox>(&dialog, CThemeDlg::kFieldCombo);
                                      const int name = fields->findText("PAVAD");
                                      ASSERT_GE(name, 0);
                                      fields->setCurrentIndex(name);
                                      emit fields->activated(name);
                                      FindControl<QPushButton>(&dialog, CThemeDlg::kFillButton)->click();
                                      auto* list = FindControl<QListWidget>(&dialog, CThemeDlg::kClassList);
                                      EXPECT_GT(list->count(), 2);
                                      EXPECT_EQ(list->item(list->count() - 1)->text(),
                                                QString::fromUtf8("<Kitais atvejais>"));
                                      SaveScreenshot(dialog, "app-thematic-dialog");
                                      FindControl<QPushButton>(&dialog, IDOK)->click();
                                  });
                  const CSublayer* band = sheet->GetWorkingLayer().GetSublayer(0);
                  EXPECT_EQ(band->m_classField, "PAVAD");
                  EXPECT_GT(band->m_classes.GetCount(), 2);
                  SaveScreenshot(*sheet, "app-thematic-symbol-page");
              });
    EXPECT_EQ(StoreObject(*streets), before) << "the sheet was cancelled";
}

} // namespace
