// The layer sheet in the program reaching the search part's dialogs: the
// table structure (160) and the filter condition (319), on a demo map of
// the test's own.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerPropertySheet.h"
#include "layers/ClassEditDialogs.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "search/widgets/SearchInstall.h"
#include "settings/BaseScales.h"
#include "settings/widgets/LayerPropSheet.h"
#include "settings/widgets/SettingsInstall.h"
#include "shell/widgets/ControlIds.h"
#include "tests/search/widgets/ModalAnswers.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace {

using Look = ModalLook;

class LayerSheetDialogsTest : public CAppFixture {
protected:
    LayerSheetDialogsTest()
    {
        InstallMainFrameBars();
        InstallSettingsDialogs(app);
        InstallSearchDialogs(app);
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(demo.Path(), options, error)) << error;
    }
    ~LayerSheetDialogsTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        CMapFrame::Hooks() = CMapFrameHooks();
        SetLayerPropertySheet(nullptr);
        SetClassEditDialogs(nullptr);
        LayerSheetHooks() = CLayerSheetHooks();
        SetLastLayerSheetPage(0);
    }
    // The sights of the demo map, selected in the legend.
    CLayer* OpenSights()
    {
        EXPECT_TRUE(Start({demo.File(CDemoMapWriter::kMapFile)}));
        auto* child = frame ? dynamic_cast<CMapFrame*>(frame->ActiveChild()) : nullptr;
        if (!child)
            return nullptr;
        CLayer* sights = child->GetMapDocument().Layers().FindByName(Utf8ToCp1257("Lankytinos vietos"));
        if (sights)
            child->GetLegend()->SelectLayer(sights);
        return sights;
    }
    // Runs the layer sheet on its page of that kind; look works the page
    // and the sheet is closed with OK.
    void WithSheetPage(LayerSheetPage which, const std::function<void(CLayerPropSheet&, QWidget&)>& look)
    {
        ASSERT_TRUE(IsEnabled(30066));
        WithModal([this] { Run(30066); },
                  [&](QWidget& modal) {
                      auto* sheet = dynamic_cast<CLayerPropSheet*>(&modal);
                      ASSERT_TRUE(sheet);
                      CLayerSheetPage* page = sheet->FindPage(which);
                      ASSERT_TRUE(page);
                      ASSERT_TRUE(sheet->SetActivePage(sheet->GetPageIndex(page)));
                      look(*sheet, *page);
                      sheet->GetOkButton()->click();
                      EXPECT_FALSE(sheet->isVisible());
                  });
    }

    CTempDir demo;
};

TEST_F(LayerSheetDialogsTest, TheStructureButtonRebuildsTheLayersTable)
{
    CLayer* sights = OpenSights();
    ASSERT_TRUE(sights);
    const std::string tablePath = sights->GetTablePath();
    int records = 0;
    {
        CDbfTable before;
        ASSERT_TRUE(before.Open(tablePath));
        records = before.GetRecordCount();
    }
    ASSERT_GT(records, 0);
    WithSheetPage(LayerSheetPage::kTable, [&](CLayerPropSheet& sheet, QWidget& page) {
        auto* structure = In<QPushButton>(page, 1052);
        ASSERT_TRUE(structure);
        ASSERT_TRUE(structure->isEnabled());
        AnswerModals([structure] { structure->click(); },
                     {[this](QWidget& dialog) {
                          EXPECT_EQ(GetControlId(&dialog), 160);
                          EXPECT_FALSE(In(dialog, IDOK)->isEnabled());
                          SaveScreenshot(dialog, "app-160-table-structure");
                          In<QPushButton>(dialog, 1075)->click(); // answered below
                          answers = {IDYES};
                          In<QPushButton>(dialog, IDOK)->click();
                          EXPECT_FALSE(dialog.isVisible());
                      },
                      [](QWidget& field) {
                          EXPECT_EQ(GetControlId(&field), 161);
                          In<QLineEdit>(field, 1078)->setText(QStringLiteral("lankyta"));
                          In<QRadioButton>(field, 1083)->click();
                          SaveScreenshot(field, "app-161-field-description");
                          In<QPushButton>(field, IDOK)->click();
                      }});
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Utf8ToCp1257("Pertvarkyti duomenų bazę?"));
    CDbfTable after;
    ASSERT_TRUE(after.Open(tablePath));
    EXPECT_EQ(after.GetRecordCount(), records);
    const int added = after.FindField("LANKYTA");
    ASSERT_GE(added, 0);
    EXPECT_EQ(after.GetFieldType(added), 'D');
    EXPECT_GE(after.FindField("PAVAD"), 0);
    std::string name;
    ASSERT_TRUE(after.GoToRecord(0));
    after.GetFieldString(after.FindField("PAVAD"), name);
    EXPECT_FALSE(name.empty());
}

TEST_F(LayerSheetDialogsTest, ANewConditionFromTheRealDialogFiltersTheLayer)
{
    CLayer* sights = OpenSights();
    ASSERT_TRUE(sights);
    std::vector<std::string> names;
    ASSERT_TRUE(sights->GetFieldTextValues("PAVAD", names, CLayer::kSkipEmpty));
    ASSERT_GT(names.size(), 1u);
    const std::string wanted = names.front();
    WithSheetPage(LayerSheetPage::kFilter, [&](CLayerPropSheet&, QWidget& page) {
        auto* newButton = In<QPushButton>(page, 1078);
        ASSERT_TRUE(newButton->isEnabled());
        AnswerModals([newButton] { newButton->click(); },
                     {[&](QWidget& dialog) {
                         EXPECT_EQ(GetControlId(&dialog), 319);
                         auto* fields = In<QListWidget>(dialog, 1034);
                         const auto found = fields->findItems(QStringLiteral("PAVAD"), Qt::MatchExactly);
                         ASSERT_EQ(found.size(), 1);
                         fields->setCurrentItem(found.front());
                         In<QComboBox>(dialog, 1050)->setEditText(ToQString(wanted));
                         SaveScreenshot(dialog, "app-319-filter-condition");
                         In<QPushButton>(dialog, IDOK)->click();
                     }});
        auto* list = In<QListWidget>(page, 1044);
        ASSERT_EQ(list->count(), 1);
    });
    EXPECT_EQ(sights->GetFilter(), "(PAVAD = \"" + wanted + "\")");
    std::vector<std::string> filtered;
    ASSERT_TRUE(sights->GetFieldTextValues("PAVAD", filtered, CLayer::kApplyFilter));
    EXPECT_FALSE(filtered.empty());
    EXPECT_LT(filtered.size(), names.size());
    for (const std::string& name : filtered)
        EXPECT_EQ(name, wanted);
    EXPECT_TRUE(shown.empty());
}

} // namespace
