// The layer property sheet in the program, through the settings
// installer, on the demo map.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/ClassEditDialogs.h"
#include "layers/LayerPropertySheet.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "settings/BaseScales.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/FontDialog.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace {

class LayerSheetAppTest : public CAppFixture {
protected:
    LayerSheetAppTest()
    {
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
    }
    ~LayerSheetAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        SetLayerPropertySheet(nullptr);
        SetClassEditDialogs(nullptr);
        LayerSheetHooks() = CLayerSheetHooks();
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
    // The sheet's page of that caption made active; null when it has none.
    static CPropertyPage* ShowPage(CLayerPropSheet& sheet, const char* utf8Caption)
    {
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            if (sheet.GetPage(i)->GetCaption() == Utf8ToCp1257(utf8Caption))
                return sheet.SetActivePage(i) ? sheet.GetPage(i) : nullptr;
        return nullptr;
    }
};

TEST_F(LayerSheetAppTest, LayerParametersOpenTheSheetOfTheSelectedLayer)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    const struct {
        const char* layer;
        const char* shot;
        int pages;
    } cases[] = {
        {"Gatvės", "line", 6},
        {"Pastatai", "area", 6},
        {"Adresai", "point", 6},
        {"GPS trasa", "track", 5},
        {"Reljefo šešėliai", "raster", 3},
    };
    for (const auto& c : cases) {
        CLayer* layer = Layer(*child, c.layer);
        ASSERT_TRUE(layer) << c.layer;
        child->GetLegend()->SelectLayer(layer);
        ASSERT_TRUE(IsEnabled(30066)) << c.layer;
        WithModal([this] { Run(30066); },
                  [&](QWidget& modal) {
                      auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                      ASSERT_TRUE(sheet);
                      EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("Sluoksnio parametrai"));
                      EXPECT_EQ(sheet->GetEditedLayer(), layer);
                      // The track filter page is the GPS installer's.
                      EXPECT_EQ(sheet->GetPageCount(), c.pages) << c.layer;
                      for (int page = 0; page < sheet->GetPageCount(); ++page) {
                          ASSERT_TRUE(sheet->SetActivePage(page));
                          SaveScreenshot(*sheet, (std::string("layer-sheet-") + c.shot + "-" +
                                                  std::to_string(page))
                                                     .c_str());
                      }
                      ASSERT_TRUE(sheet->SetActivePage(0));
                  });
    }
    EXPECT_TRUE(shown.empty());
    EXPECT_GT(GetLabelBaseScale(), 0) << "the map's scale became the base scale";
    EXPECT_EQ(GetSymbolBaseScale(), GetLabelBaseScale());
    EXPECT_FALSE(child->GetMapDocument().IsModified()) << "all cancelled";
}

TEST_F(LayerSheetAppTest, ARenameIsCheckedAndShownInTheLegend)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    CLayer* streets = Layer(*child, "Gatvės");
    ASSERT_TRUE(streets);
    child->GetLegend()->SelectLayer(streets);
    WithModal([this] { Run(30066); },
              [&](QWidget& modal) {
                  auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                  ASSERT_TRUE(sheet);
                  auto* name = FindControl<QLineEdit>(sheet->GetActivePage(), 1004);
                  ASSERT_TRUE(name);
                  name->setText("Pastatai");
                  sheet->GetOkButton()->click();
                  EXPECT_TRUE(sheet->isVisible());
                  name->setText(QString::fromUtf8("Gatvės ir keliai"));
                  sheet->GetOkButton()->click();
                  EXPECT_FALSE(sheet->isVisible());
              });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Utf8ToCp1257("Sluoksnis su šiuo vardu jau yra."));
    EXPECT_EQ(streets->GetName(), Utf8ToCp1257("Gatvės ir keliai"));
    CDragCheckListBox& legend = *child->GetLegendList();
    const int row = legend.FindLayer(streets);
    ASSERT_GE(row, 0);
    EXPECT_EQ(legend.GetLayer(row)->GetName(), Utf8ToCp1257("Gatvės ir keliai"));
    EXPECT_EQ(legend.GetCurSel(), row);
    EXPECT_TRUE(child->GetMapDocument().IsModified());
}

TEST_F(LayerSheetAppTest, AStreetsWidthThroughTheSymbolPageAndTheLineDialog)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    CLayer* streets = Layer(*child, "Gatvės");
    ASSERT_TRUE(streets);
    // The band the legend shows, at the map's scale.
    const int band = streets->GetSublayerIndexForScale(std::round(child->GetMapView()->GetScaleDenominator()));
    ASSERT_GE(band, 0);
    ASSERT_EQ(streets->GetSublayer(band)->m_kind, CSublayer::kClassified);
    child->GetLegend()->SelectLayer(streets);
    CDragCheckListBox& legend = *child->GetLegendList();
    const auto row = [&] { return legend.visualItemRect(legend.item(legend.FindLayer(streets))); };
    const QRect classRows = row();
    const QImage before = legend.grab(classRows).toImage();

    bool edited = false;
    WithModal([this] { Run(30066); },
              [&](QWidget& modal) {
                  auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                  ASSERT_TRUE(sheet);
                  CPropertyPage* page = ShowPage(*sheet, "Ženklas");
                  ASSERT_TRUE(page);
                  auto* bands = FindControl<QComboBox>(page, 1015);
                  bands->setCurrentIndex(band);
                  emit bands->activated(band);
                  FindControl<QAbstractButton>(page, 1018)->click(); // one style for the band
                  auto* symbol = FindControl<QAbstractButton>(page, 1020);
                  ASSERT_TRUE(symbol->isEnabled());
                  SaveScreenshot(*sheet, "app-symbol-page");
                  WithModalWindow([&] { symbol->click(); },
                                  [&](QWidget& dialog) {
                                      EXPECT_EQ(GetControlId(&dialog), 157);
                                      auto* width = FindControl<QLineEdit>(&dialog, 1068);
                                      ASSERT_TRUE(width);
                                      width->selectAll();
                                      QTest::keyClicks(width, "0.3");
                                      SaveScreenshot(dialog, "app-line-style-dialog");
                                      FindControl<QPushButton>(&dialog, IDOK)->click();
                                      edited = true;
                                  });
                  sheet->GetOkButton()->click();
                  EXPECT_FALSE(sheet->isVisible());
              });
    ASSERT_TRUE(edited);
    EXPECT_EQ(streets->GetSublayer(band)->m_kind, CSublayer::kOneStyle);
    EXPECT_EQ(streets->GetSublayer(band)->m_style.Draw().penWidth & 0xFFFF, 12u);
    EXPECT_TRUE(child->GetMapDocument().IsModified());
    // The legend row shows the new line.
    QCoreApplication::processEvents();
    const QImage after = legend.grab(row()).toImage();
    EXPECT_NE(after, before);
    SaveScreenshotImage(before, "app-legend-row-before");
    SaveScreenshotImage(after, "app-legend-row-after");
    EXPECT_TRUE(shown.empty());
}

TEST_F(LayerSheetAppTest, TheLabelsFontDialogIsLithuanian)
{
    CMapFrame* child = OpenDemo();
    ASSERT_TRUE(child);
    CLayer* streets = Layer(*child, "Gatvės");
    ASSERT_TRUE(streets);
    child->GetLegend()->SelectLayer(streets);
    bool looked = false;
    WithModal([this] { Run(30066); },
              [&](QWidget& modal) {
                  auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                  ASSERT_TRUE(sheet);
                  CPropertyPage* page = ShowPage(*sheet, "Užrašai");
                  ASSERT_TRUE(page);
                  SaveScreenshot(*sheet, "app-labels-page");
                  auto* font = FindControl<QAbstractButton>(page, 1023);
                  ASSERT_TRUE(font && font->isEnabled());
                  WithModalWindow([&] { font->click(); },
                                  [&](QWidget& dialog) {
                                      EXPECT_EQ(GetControlId(&dialog), CFontDialog::kTemplateId);
                                      EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Šriftas"));
                                      bool lithuanian = false;
                                      for (const QLabel* label : dialog.findChildren<QLabel*>())
                                          lithuanian = lithuanian || label->text() == QString::fromUtf8("Š&riftas:");
                                      EXPECT_TRUE(lithuanian);
                                      SaveScreenshot(dialog, "app-labels-font-dialog");
                                      looked = true;
                                  });
              });
    EXPECT_TRUE(looked);
    EXPECT_FALSE(child->GetMapDocument().IsModified());
}

TEST_F(LayerSheetAppTest, ClassStylesOpenTheLineAndAreaDialogs)
{
    ASSERT_TRUE(Start());
    const struct {
        int type;
        int dialog;
    } cases[] = {{CLayer::kLine, 157}, {CLayer::kArea, 158}};
    for (const auto& c : cases) {
        CThemeClassList classes;
        classes.AddClass(c.type);
        const CStyleRecord before = classes.GetClass(0)->m_style;
        bool result = false;
        WithModal([&] { result = classes.EditClassStyle(c.type, 0); },
                  [&](QWidget& dialog) {
                      EXPECT_EQ(GetControlId(&dialog), c.dialog);
                      auto* width = FindControl<QLineEdit>(&dialog, 1068);
                      ASSERT_TRUE(width);
                      width->selectAll();
                      QTest::keyClicks(width, "1");
                      FindControl<QPushButton>(&dialog, IDOK)->click();
                  });
        EXPECT_TRUE(result) << c.dialog;
        EXPECT_EQ(classes.GetClass(0)->m_style.Draw().penWidth & 0xFFFF, 39u) << c.dialog;
        EXPECT_EQ(classes.GetClass(0)->m_style.Draw().penColor, before.Draw().penColor) << c.dialog;
    }
}

} // namespace
