// Dialog 30813 "Objektai nurodytame taške" on the offscreen platform over
// a view of 400 x 200 pixels and 2000 x 1000 metres.
#include "search/widgets/ObjectsAtPointDlg.h"

#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ShapeOverlay.h"
#include "platform/Strings.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ListViewEx.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cfloat>
#include <memory>

namespace {

class CInfoHost : public CRecordingViewHost {
public:
    void ShowObjectInfo(const std::vector<std::string>& lines, const std::string&) override { info = lines; }
    std::vector<std::string> info;
};

// The legend's selection as the frame would make it.
class CLegendWindow : public CRecordingWindow {
public:
    void SelectLayer(CLayer* layer) override { selected = layer; }
    CLayer* selected = nullptr;
};

class ObjectsAtPointDlgTest : public ::testing::Test, public CWithApplication {
protected:
    ObjectsAtPointDlgTest()
    {
        ShowTestMap(doc, view, window);
        {
            CGdbSource source;
            MakePointLayer(source, dir.File("taskai.gdb"), {{500, 500}, {505, 500}});
        }
        {
            CGdbSource source;
            MakeShapeLayer(source, dir.File("keliai.gdb"), CFeatureSource::kLine, {"400 500, 400 900"});
        }
        points = Add("Lankytinos vietos", "taskai.gdb", CLayer::kPoint);
        lines = Add("Keliai", "keliai.gdb", CLayer::kLine);
        raster = Add("Ortofoto", "foto.tif", CLayer::kRaster);
        const CMapRect tile(0, 1000, 1000, 0);
        raster->AddFile(dir.File("foto1.tif"), &tile);
        hits = {{points, 0, 0, {}}, {lines, 0, 100, {}}, {raster, 0, 0, dir.File("foto1.tif")}, {points, 1, 5000, {}}};
    }
    CLayer* Add(const std::string& name, const std::string& file, int type)
    {
        auto layer = std::make_unique<CLayer>(name, dir.File(file), type);
        layer->SetIdField("NAME");
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return added;
    }
    void Open(CObjectsAtPointDlg& dialog)
    {
        dialog.show();
        QCoreApplication::processEvents();
        list = FindControl<CListViewEx>(&dialog, 1014);
        info = FindControl<QPushButton>(&dialog, 1);
        activate = FindControl<QPushButton>(&dialog, 1055);
        ASSERT_TRUE(list && info && activate);
    }
    void Select(int row) { list->setCurrentIndex(list->model()->index(row, 0)); }
    CMapPoint Marker() const
    {
        auto* marker = view.GetOverlayCount() == 1 ? dynamic_cast<CPointOverlay*>(view.GetOverlay(0)) : nullptr;
        return marker ? marker->GetPoint() : CMapPoint(-1, -1);
    }

    CInfoHost host;
    CLegendWindow window;
    CTempDir dir;
    CDrelDoc doc;
    CDrelView view{doc};
    CLayer* points;
    CLayer* lines;
    CLayer* raster;
    std::vector<CObjectHit> hits;
    const CMapPoint clicked{450, 520};
    CListViewEx* list = nullptr;
    QPushButton* info = nullptr;
    QPushButton* activate = nullptr;
};

TEST_F(ObjectsAtPointDlgTest, TheRowsThePointAndTheButtons)
{
    CObjectsAtPointDlg dialog(clicked, hits, 150, view, CPoint(-100, -100));
    Open(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30813);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Objektai nurodytame taške"));
    QAbstractItemModel& model = *list->model();
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Sluoksnis");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Objektas");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Ilgis/Plotas");
    // The far point is not listed.
    ASSERT_EQ(model.rowCount(), 3);
    const auto cell = [&](int row, int column) { return model.index(row, column).data().toString(); };
    EXPECT_EQ(cell(0, 0), "Lankytinos vietos");
    EXPECT_EQ(cell(0, 1), "P0");
    EXPECT_EQ(cell(1, 1), "S0");
    EXPECT_EQ(cell(1, 2), "400 m");
    EXPECT_EQ(cell(2, 1), "foto1.tif");
    EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1109)->text(), "X: 450.000000; Y: 520.000000");
    // The object column takes the rest of the list's width.
    EXPECT_GE(list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2), list->viewport()->width());
    SaveScreenshot(dialog, "search-30813-objects-at-point");

    // Nothing selected: the buttons disabled, the point marked.
    EXPECT_FALSE(info->isEnabled());
    EXPECT_FALSE(activate->isEnabled());
    EXPECT_EQ(Marker(), clicked);
    Select(0);
    EXPECT_TRUE(info->isEnabled());
    EXPECT_TRUE(activate->isEnabled());
    EXPECT_EQ(Marker(), CMapPoint(500, 500));
    Select(1);
    ASSERT_EQ(view.GetOverlayCount(), 1);
    EXPECT_TRUE(dynamic_cast<CShapeOverlay*>(view.GetOverlay(0)));
    // A raster has no information.
    Select(2);
    EXPECT_FALSE(info->isEnabled());
    EXPECT_TRUE(activate->isEnabled());
    SaveScreenshot(dialog, "search-30813-objects-at-point-selected");

    // Into the point's edit: no row, the point again.
    FindControl<QLineEdit>(&dialog, 1109)->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.SelectedRow(), -1);
    EXPECT_FALSE(activate->isEnabled());
    EXPECT_EQ(Marker(), clicked);
}

TEST_F(ObjectsAtPointDlgTest, InformationAndTheActiveLayer)
{
    CObjectsAtPointDlg dialog(clicked, hits, DBL_MAX, view, CPoint(-100, -100));
    Open(dialog);
    ASSERT_EQ(list->model()->rowCount(), 4);
    Select(3);
    QTest::mouseClick(info, Qt::LeftButton);
    EXPECT_EQ(host.info, (std::vector<std::string>{"Name\tP1", "N\t1"}));
    EXPECT_TRUE(dialog.isVisible());
    Select(1);
    QTest::mouseClick(activate, Qt::LeftButton);
    EXPECT_EQ(window.selected, lines);
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(FindControl<QPushButton>(&dialog, 2), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ObjectsAtPointDlgTest, TheWindowLeavesTheClickUncovered)
{
    // A click where the centred window would stand.
    QWidget owner;
    owner.setGeometry(100, 100, 700, 500);
    owner.show();
    const QPoint middle = owner.geometry().center();
    CObjectsAtPointDlg dialog(clicked, hits, DBL_MAX, view, CPoint(middle.x(), middle.y()), &owner);
    Open(dialog);
    EXPECT_FALSE(dialog.frameGeometry().contains(middle));
    EXPECT_EQ(dialog.frameGeometry().center().x(), owner.frameGeometry().center().x());
}

} // namespace
