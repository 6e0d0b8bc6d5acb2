// The find sheet and the object choice in the program, over the demo town.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "search/FindState.h"
#include "search/widgets/FindSheet.h"
#include "search/widgets/NameCombo.h"
#include "search/widgets/ObjectChoiceDlg.h"
#include "search/widgets/SearchInstall.h"
#include "search/widgets/SearchResultsDlg.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/search/widgets/ModalWindows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

constexpr int kCmdFind = 30431;
constexpr int kCmdFindAddress = 30331;

class FindSheetAppTest : public CAppFixture {
protected:
    FindSheetAppTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
        FindState() = CFindState();
    }
    ~FindSheetAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        FindState() = CFindState();
    }

    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    CDrelView& View() const { return *MapWindow()->GetMapView(); }
    static void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    template <class T = QWidget>
    static T* Control(CDlgFindPropertySheet& sheet, int id)
    {
        T* control = FindControl<T>(sheet.GetActivePage(), id);
        EXPECT_TRUE(control) << id;
        return control;
    }
};

TEST_F(FindSheetAppTest, TheFindCommandOpensTheSheetWhoseObjectsPageMarksAStreet)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    ASSERT_TRUE(MapWindow());
    Settle();
    CLayer* streets = frame->GetActiveMapDocument()->GetStreetsLayer();
    ASSERT_TRUE(streets);
    MapWindow()->GetLegend()->SelectLayer(streets);
    ASSERT_TRUE(IsEnabled(kCmdFind));

    bool opened = false;
    WithModalOf<CDlgFindPropertySheet>([&] { EXPECT_TRUE(Run(kCmdFind)); }, [&](CDlgFindPropertySheet& sheet) {
        opened = true;
        EXPECT_EQ(GetControlId(sheet.GetActivePage()), 340);
        EXPECT_EQ(FromQString(sheet.windowTitle()), LoadString(137));
        auto* layers = Control<QComboBox>(sheet, 1012);
        ASSERT_TRUE(layers);
        EXPECT_EQ(FromQString(layers->currentText()), streets->GetName());
        auto* names = Control<CNameCombo>(sheet, 1021);
        ASSERT_TRUE(names);
        ASSERT_GT(names->count(), 1);
        names->setCurrentIndex(1);
        View().ClearOverlays();
        Control<QPushButton>(sheet, 1055)->click();
        EXPECT_GT(View().GetOverlayCount(), 0);
        EXPECT_TRUE(sheet.isVisible());
        SaveScreenshot(sheet, "find-objects");

        for (const int page : {CFindState::kAddressPage, CFindState::kTextPage, CFindState::kCoordPage}) {
            ASSERT_TRUE(sheet.SetActivePage(page));
            Settle();
            static const char* const kNames[] = {"", "find-address", "find-text", "find-coordinates"};
            SaveScreenshot(sheet, kNames[page]);
        }
        // The text page's hits in the results list.
        ASSERT_TRUE(sheet.SetActivePage(CFindState::kTextPage));
        auto* text = Control<QLineEdit>(sheet, 1017);
        ASSERT_TRUE(text);
        text->setText(QString::fromUtf8("sąjūdžio"));
        WithModalOf<CSearchResultsDlg>([&] { Control<QPushButton>(sheet, 1055)->click(); },
                                       [&](CSearchResultsDlg& results) {
                                           EXPECT_GT(results.GetRowCount(), 0);
                                           SaveScreenshot(results, "find-text-results");
                                       });
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(FindState().lastPage, CFindState::kTextPage);
    EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : ToQString(shown[0]).toStdString());
}

TEST_F(FindSheetAppTest, AStreetNameMatchingSeveralStreetsAsksWhichOne)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    ASSERT_TRUE(MapWindow());
    Settle();
    frame->Actions().UpdateToolbarItems();
    auto* street = FindControl<QComboBox>(frame, kStreetBox);
    ASSERT_TRUE(street);
    // In capitals: only the folded match finds the lanes of the town.
    street->setEditText("SKG");
    std::vector<QString> listed;
    WithModalOf<CObjectChoiceDlg>([&] { Run(kCmdFindAddress); }, [&](CObjectChoiceDlg& choice) {
        EXPECT_EQ(GetControlId(&choice), CObjectChoiceDlg::kDialogId);
        for (int i = 0; i < choice.List().count(); ++i)
            listed.push_back(choice.List().item(i)->text());
        SaveScreenshot(choice, "object-choice-streets");
    });
    ASSERT_GT(listed.size(), 1u);
    for (const QString& name : listed)
        EXPECT_TRUE(name.endsWith(" skg.")) << name.toStdString();
    EXPECT_TRUE(shown.empty());
}

} // namespace
