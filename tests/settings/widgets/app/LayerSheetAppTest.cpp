// The layer property sheet in the program, through the settings
// installer, on the demo map.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerPropertySheet.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "settings/BaseScales.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DragCheckListBox.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"

#include <QLineEdit>
#include <QPushButton>

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
        {"Gatvės", "line", 4},
        {"Pastatai", "area", 4},
        {"Adresai", "point", 4},
        {"GPS trasa", "track", 3},
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
                      // Only the pages of this part: the later parts plug theirs in.
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

} // namespace
