// The attribute table window in the program, on a copy of the demo town:
// opened from the legend, its commands through the main window, the
// table toolbar, and its life bound to the map.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/LegendView.h"
#include "platform/Strings.h"
#include "res/CommandIds.h"
#include "search/TableDoc.h"
#include "search/TableGridModel.h"
#include "search/widgets/DbfFrame.h"
#include "search/widgets/SearchInstall.h"
#include "search/widgets/TableView.h"
#include "search/widgets/TextSearchDlg.h"
#include "shell/MainToolbars.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kOpenTable = 30068;
constexpr int kTableBar = 320;

class TableWindowAppTest : public CAppFixture {
protected:
    TableWindowAppTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(town.Path(), options, error)) << error;
    }
    ~TableWindowAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
    }

    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    CMapFrame* MapWindow() const
    {
        for (QMdiSubWindow* window : frame->MdiArea()->subWindowList())
            if (auto* map = dynamic_cast<CMapFrame*>(window))
                return map;
        return nullptr;
    }
    std::vector<CDbfFrame*> TableWindows() const
    {
        std::vector<CDbfFrame*> windows;
        for (QMdiSubWindow* window : frame->MdiArea()->subWindowList())
            if (auto* table = dynamic_cast<CDbfFrame*>(window))
                windows.push_back(table);
        return windows;
    }
    CDbfFrame* ActiveTable() const { return dynamic_cast<CDbfFrame*>(frame->MdiArea()->currentSubWindow()); }
    CLayer* Streets() const { return MapWindow()->GetMapDocument().GetStreetsLayer(); }
    // The layer's table window from its legend entry.
    CDbfFrame* OpenTable(CLayer& layer)
    {
        CMapFrame* map = MapWindow();
        frame->MdiArea()->setActiveSubWindow(map);
        Settle();
        map->GetLegend()->SelectLayer(&layer);
        EXPECT_TRUE(IsEnabled(kOpenTable));
        EXPECT_TRUE(Run(kOpenTable));
        Settle();
        return ActiveTable();
    }
    bool BarShown() const { return MainToolbars().IsBarVisible(kTableBar); }

    CTempDir town;
    const std::string mapPath = town.File(CDemoMapWriter::kMapFile);
};

TEST_F(TableWindowAppTest, TheLegendOpensOneWindowPerLayerWithTheTableToolbar)
{
    ASSERT_TRUE(Start({mapPath}));
    Settle();
    EXPECT_FALSE(BarShown());
    CLayer* streets = Streets();
    ASSERT_TRUE(streets);
    CDbfFrame* table = OpenTable(*streets);
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->windowTitle().contains(QString::fromUtf8(streets->GetName().c_str()).left(4)))
        << table->windowTitle().toStdString();
    EXPECT_TRUE(app.IsAttributeTableOpen(*streets));
    EXPECT_TRUE(BarShown());
    CTableView* view = table->GetView();
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->Model());
    EXPECT_GT(view->Model()->RowCount(), 0);
    EXPECT_GT(view->Model()->columnCount(), 0);
    EXPECT_TRUE(shown.empty());

    // The window's commands, as its menus and toolbar ask them.
    for (const int id : {30239, 30240, 30241, 30242, 30243, 30298, 30300, 30435, int(kCmdEditCopy), 30437,
                         int(kCmdFilePrint), int(kCmdFilePrintDirect), int(kCmdFilePrintPreview)})
        EXPECT_TRUE(IsEnabled(id)) << id;
    for (const int id : {int(kCmdFileSave), int(kCmdFileSaveAs), 30433, 30434})
        EXPECT_FALSE(IsEnabled(id)) << id;
    view->SelectRows({0});
    EXPECT_TRUE(IsEnabled(30433));
    EXPECT_TRUE(IsEnabled(30434));

    // The text search from the main window's command, modeless.
    ASSERT_TRUE(Run(30241));
    ASSERT_TRUE(view->GetTextSearchDialog());
    EXPECT_TRUE(view->GetTextSearchDialog()->isVisible());
    SaveScreenshot(*view->GetTextSearchDialog(), "app-text-search");
    view->GetTextSearchDialog()->hide();

    // The field value change and the statistics, as the program shows them.
    WithModal([this] { Run(30242); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30768);
                  SaveScreenshot(dialog, "app-field-value-change");
              });
    view->Model()->FetchAll();
    const QString records = QString::number(view->Model()->RowCount());
    WithModal([this] { Run(30243); },
              [&records](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 272);
                  WithModalWindow([&dialog] { FindControl<QPushButton>(&dialog, IDOK)->click(); },
                                  [&records](QWidget& result) {
                                      EXPECT_EQ(GetControlId(&result), 273);
                                      // Every record of the grid counted.
                                      EXPECT_EQ(FindControl<QLabel>(&result, 1007)->text(), records);
                                      SaveScreenshot(result, "app-statistics-result");
                                  });
              });
    EXPECT_TRUE(shown.empty());

    frame->resize(900, 620);
    table->showMaximized();
    Settle();
    SaveScreenshot(*frame, "app-table-window");

    // A second open activates the same window.
    table->showNormal();
    frame->MdiArea()->setActiveSubWindow(MapWindow());
    Settle();
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(OpenTable(*streets), table);
    EXPECT_EQ(TableWindows().size(), 1u);
    EXPECT_TRUE(BarShown());

    // From one table window to another the toolbar stays.
    CLayer* other = nullptr;
    CDrelDoc& map = MapWindow()->GetMapDocument();
    for (int i = 0; i < map.GetLayerCount() && !other; ++i)
        if (CLayer* layer = map.GetLayer(i); layer != streets && layer->IsVectorType())
            other = layer;
    ASSERT_TRUE(other);
    CDbfFrame* second = OpenTable(*other);
    ASSERT_TRUE(second);
    EXPECT_NE(second, table);
    frame->MdiArea()->setActiveSubWindow(table);
    Settle();
    EXPECT_EQ(ActiveTable(), table);
    EXPECT_TRUE(BarShown());
}

TEST_F(TableWindowAppTest, TheWindowMarksDeletesAndClosesWithItsMap)
{
    ASSERT_TRUE(Start({mapPath}));
    Settle();
    CLayer* streets = Streets();
    ASSERT_TRUE(streets);
    CDbfFrame* table = OpenTable(*streets);
    ASSERT_TRUE(table);
    CTableView* view = table->GetView();
    ASSERT_TRUE(view && view->Model());

    // The rows chosen are marked in the map window, which comes forward.
    view->SelectRows({1, 2});
    CDrelView* mapView = MapWindow()->GetMapView();
    EXPECT_EQ(mapView->GetOverlayCount(), 0);
    ASSERT_TRUE(Run(30298));
    Settle();
    EXPECT_EQ(frame->MdiArea()->currentSubWindow(), MapWindow());
    EXPECT_GT(mapView->GetOverlayCount(), 0);
    EXPECT_FALSE(BarShown());

    // Deleting the rows asks first; with Yes they go from the grid and the file.
    frame->MdiArea()->setActiveSubWindow(table);
    Settle();
    CTableGridModel& grid = *view->Model();
    grid.FetchAll();
    const int rows = grid.RowCount();
    const int32_t first = grid.RecordOfRow(1), second = grid.RecordOfRow(2);
    view->SelectRows({1, 2});
    answers = {IDYES};
    ASSERT_TRUE(Run(30433));
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(2024)});
    EXPECT_EQ(grid.RowCount(), rows - 2);
    const std::vector<int32_t>& list = table->GetTableDocument()->RecordList();
    EXPECT_EQ(std::count(list.begin(), list.end(), -1), 2);
    for (int row = 0; row < grid.RowCount(); ++row)
        EXPECT_TRUE(grid.RecordOfRow(row) != first && grid.RecordOfRow(row) != second);
    CDbfTable& file = *table->GetTableDocument()->GetTable();
    ASSERT_TRUE(file.GoToRecord(first));
    EXPECT_TRUE(file.IsDeleted());

    // The layer cannot go while its table is open.
    shown.clear();
    EXPECT_FALSE(MapWindow()->GetMapDocument().CanRemoveLayer(*streets));
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(1087)});

    // Closing the map closes its table windows.
    app.DocManager().CloseDocument(*MapDocuments().front());
    FlushDeletes();
    Settle();
    EXPECT_TRUE(TableWindows().empty());
    EXPECT_FALSE(BarShown());
}

} // namespace
