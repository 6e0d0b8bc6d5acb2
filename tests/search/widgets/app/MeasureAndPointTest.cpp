// The program on the demo town with the search part: the measuring
// tools' boxes, the objects at a point, the coordinates typed in and the
// coordinate transformation, each through its command.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/ContextView.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/ViewWindow.h"
#include "mapdoc/PointOverlay.h"
#include "platform/QtText.h"
#include "search/widgets/InfoListBox.h"
#include "search/widgets/MeasureBoxDlg.h"
#include "search/widgets/ObjectInfoDlg.h"
#include "search/widgets/SearchInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ListViewEx.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

class MeasureAndPointTest : public CAppFixture {
protected:
    MeasureAndPointTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
    }
    ~MeasureAndPointTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        CMapFrame::Hooks().boxes = {};
        MapToolMode = 0;
    }

    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    QWidget* ViewWidget() const { return MapWindow()->GetViewWidget(); }
    CDrelView& View() const { return *MapWindow()->GetMapView(); }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    // Where a map point shows in the view's widget.
    QPoint WidgetPoint(const CMapPoint& p)
    {
        const CPoint client = View().MapToClient(p);
        const qreal ratio = ViewWidget()->devicePixelRatioF();
        return QPoint(static_cast<int>(client.x / ratio), static_cast<int>(client.y / ratio));
    }
    // A point in the widget, in parts of its size.
    QPoint At(double x, double y) const
    {
        return QPoint(static_cast<int>(ViewWidget()->width() * x), static_cast<int>(ViewWidget()->height() * y));
    }
    void ClickAt(const QPoint& p)
    {
        QTest::mouseMove(ViewWidget(), p);
        QTest::mouseClick(ViewWidget(), Qt::LeftButton, {}, p);
        Settle();
    }
    template <class Box>
    Box* FindBox(int id) const
    {
        return dynamic_cast<Box*>(FindControl<QWidget>(ViewWidget(), id));
    }
    static QString Field(QWidget* box, int id)
    {
        auto* field = box ? FindControl<QLineEdit>(box, id) : nullptr;
        return field ? field->text() : QStringLiteral("<none>");
    }
    CLayer* LayerOfType(int type) const
    {
        CDrelDoc& document = *frame->GetActiveMapDocument();
        for (int i = 0; i < document.GetLayerCount(); ++i)
            if (document.GetLayer(i)->GetType() == type && !document.GetLayer(i)->HasFlag(CLayer::kGroup))
                return document.GetLayer(i);
        return nullptr;
    }
    // The middle of a line's first stretch, or a point inside an area.
    CMapPoint ObjectPoint(CLayer& layer, int record, std::string& name)
    {
        CLayerReader reader;
        EXPECT_TRUE(reader.OpenLayer(&layer));
        CFeatureSource& source = *reader.GetSource();
        source.GetFieldText(record, source.GetTable().FindField(layer.GetIdField()), name);
        CShape shape;
        EXPECT_TRUE(source.ReadShape(record, shape));
        if (layer.GetType() == CLayer::kLine) {
            const CMapPoint& a = shape.GetPoint(0);
            const CMapPoint& b = shape.GetPoint(1);
            return CMapPoint((a.x + b.x) / 2, (a.y + b.y) / 2);
        }
        CMapPoint inside;
        EXPECT_TRUE(shape.GetInteriorPoint(inside));
        return inside;
    }
};

TEST_F(MeasureAndPointTest, TheMeasuringToolsShowTheirBoxes)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    ASSERT_TRUE(MapWindow());
    Settle();

    // Distance: two clicks.
    EXPECT_TRUE(Run(30056));
    ClickAt(At(0.3, 0.3));
    ClickAt(At(0.6, 0.5));
    auto* distance = FindBox<CDistanceDlg>(217);
    ASSERT_TRUE(distance);
    EXPECT_TRUE(distance->isVisible());
    EXPECT_EQ(Field(distance, 1017), "0 m");
    EXPECT_TRUE(Field(distance, 1007).endsWith(" m")) << Field(distance, 1007).toStdString();
    EXPECT_NE(Field(distance, 1007), "0 m");
    SaveScreenshot(*distance, "search-app-217-distance");
    // "Išvalyti" clears; closing the box returns to the first tool and deletes it.
    QTest::mouseClick(FindControl<QPushButton>(distance, 1055), Qt::LeftButton);
    Settle();
    EXPECT_EQ(Field(distance, 1007), "0 m");
    EXPECT_EQ(MapToolMode, 5);
    distance->close();
    Settle();
    EXPECT_EQ(MapToolMode, 0);
    EXPECT_FALSE(FindBox<CDistanceDlg>(217));

    // Area and perimeter: three clicks; closing ends the tool too.
    EXPECT_TRUE(Run(30055));
    ClickAt(At(0.3, 0.3));
    ClickAt(At(0.6, 0.3));
    ClickAt(At(0.6, 0.6));
    auto* area = FindBox<CAreaPerimeterDlg>(30737);
    ASSERT_TRUE(area);
    EXPECT_TRUE(Field(area, 1017).contains(QString::fromUtf8("m²"))) << Field(area, 1017).toStdString();
    EXPECT_TRUE(Field(area, 1007).endsWith(" m")) << Field(area, 1007).toStdString();
    SaveScreenshot(*area, "search-app-30737-area");
    QTest::keyClick(area, Qt::Key_Escape);
    Settle();
    EXPECT_EQ(MapToolMode, 0);
    EXPECT_FALSE(FindBox<CAreaPerimeterDlg>(30737));

    // Azimuth: a click, then the pointer moves straight east.
    EXPECT_TRUE(Run(30119));
    const QPoint from = At(0.3, 0.5);
    QTest::mouseClick(ViewWidget(), Qt::LeftButton, {}, from);
    QTest::mouseMove(ViewWidget(), from + QPoint(100, 0));
    Settle();
    auto* azimuth = FindBox<CAzimuthDlg>(30738);
    ASSERT_TRUE(azimuth);
    EXPECT_EQ(Field(azimuth, 1017), QString::fromUtf8("90.0° <--> 270.0°"));
    SaveScreenshot(*azimuth, "search-app-30738-azimuth");
    EXPECT_TRUE(Run(30065));
    Settle();
    EXPECT_FALSE(FindBox<CAzimuthDlg>(30738));

    // Object length of a street; object area of a park.
    CLayer* streets = frame->GetActiveMapDocument()->GetStreetsLayer();
    ASSERT_TRUE(streets);
    std::string street;
    const CMapPoint onStreet = ObjectPoint(*streets, 3, street);
    MapWindow()->GetLegend()->SelectLayer(streets);
    EXPECT_TRUE(Run(30111));
    ClickAt(WidgetPoint(onStreet));
    auto* length = FindBox<CObjectLengthDlg>(30740);
    ASSERT_TRUE(length);
    EXPECT_EQ(Field(length, 1017), ToQString(street));
    EXPECT_TRUE(Field(length, 1007).endsWith("m")) << Field(length, 1007).toStdString();
    SaveScreenshot(*length, "search-app-30740-object-length");

    CLayer* parks = LayerOfType(CLayer::kArea);
    ASSERT_TRUE(parks);
    std::string park;
    const CMapPoint inPark = ObjectPoint(*parks, 0, park);
    MapWindow()->GetLegend()->SelectLayer(parks);
    EXPECT_TRUE(Run(30112));
    ClickAt(WidgetPoint(inPark));
    auto* parkArea = FindBox<CObjectAreaDlg>(30739);
    ASSERT_TRUE(parkArea);
    EXPECT_FALSE(Field(parkArea, 1017).isEmpty());
    EXPECT_TRUE(Field(parkArea, 1007).contains(QString::fromUtf8("m²"))) << Field(parkArea, 1007).toStdString();
    SaveScreenshot(*parkArea, "search-app-30739-object-area");
    EXPECT_TRUE(shown.empty());

    // The route's length box, for the route tools; the overview has no boxes.
    std::unique_ptr<IRouteLengthBox> route = View().GetWindow()->CreateRouteLengthBox();
    ASSERT_TRUE(route);
    route->SetLength(12.5);
    auto* routeBox = FindBox<CRouteLengthDlg>(30741);
    ASSERT_TRUE(routeBox);
    EXPECT_EQ(Field(routeBox, 1017), "12.5 km");
    route.reset();
    EXPECT_FALSE(FindBox<CRouteLengthDlg>(30741));
    EXPECT_FALSE(MapWindow()->GetOverview()->GetWindow()->CreateDistanceBox());
}

TEST_F(MeasureAndPointTest, ObjectsAtARightClickAndTheirInformation)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    ASSERT_TRUE(MapWindow());
    Settle();
    CLayer* streets = frame->GetActiveMapDocument()->GetStreetsLayer();
    ASSERT_TRUE(streets);
    std::string street;
    const QPoint at = WidgetPoint(ObjectPoint(*streets, 3, street));
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, ViewWidget()->mapToGlobal(at));
    QApplication::sendEvent(ViewWidget(), &click);
    Settle();
    if (QWidget* menu = QApplication::activePopupWidget())
        menu->close();

    bool listed = false;
    WithModal([&] { EXPECT_TRUE(Run(30610)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30813);
                  auto* list = FindControl<CListViewEx>(&dialog, 1014);
                  ASSERT_TRUE(list);
                  QAbstractItemModel& model = *list->model();
                  for (int row = 0; row < model.rowCount() && !listed; ++row)
                      if (model.index(row, 1).data().toString() == ToQString(street)) {
                          listed = true;
                          EXPECT_EQ(model.index(row, 0).data().toString(), ToQString(streets->GetName()));
                          EXPECT_TRUE(model.index(row, 2).data().toString().endsWith("m"));
                          list->setCurrentIndex(model.index(row, 0));
                      }
                  ASSERT_TRUE(listed);
                  EXPECT_TRUE(FindControl<QLineEdit>(&dialog, 1109)->text().startsWith("X: "));
                  SaveScreenshot(dialog, "search-app-30813-objects-at-point");
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
                  Settle();
                  // The object information window, with the street's lines.
                  auto* info = dynamic_cast<CObjectInfoDlg*>(frame->GetObjectInfoWindow());
                  ASSERT_TRUE(info);
                  bool named = false;
                  for (const CInfoEntry& entry : info->List().Lines().Entries())
                      named |= CInfoLines::ValuePart(entry.text) == street;
                  EXPECT_TRUE(named);
                  // Its layer becomes the active one.
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, 1055), Qt::LeftButton);
                  EXPECT_EQ(frame->GetSelectedLayer(), streets);
              });
    EXPECT_TRUE(listed);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MeasureAndPointTest, APointTypedInIsMarked)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    ASSERT_TRUE(MapWindow());
    Settle();
    const CMapPoint target = View().GetMapExtent().Center();
    WithModal([&] { EXPECT_TRUE(Run(30277)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30775);
                  SaveScreenshot(dialog, "search-app-30775-point");
                  FindControl<QLineEdit>(&dialog, 1017)->setText(QString::number(target.x + 10, 'f', 3));
                  FindControl<QLineEdit>(&dialog, 1007)->setText(QString::number(target.y - 20, 'f', 3));
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
              });
    Settle();
    ASSERT_EQ(View().GetOverlayCount(), 1);
    auto* marker = dynamic_cast<CPointOverlay*>(View().GetOverlay(0));
    ASSERT_TRUE(marker);
    EXPECT_NEAR(marker->GetPoint().x, target.x + 10, 1e-3);
    EXPECT_NEAR(marker->GetPoint().y, target.y - 20, 1e-3);

    // An absurd point is refused; the view stays where it was.
    View().ClearOverlays();
    const CMapRect shownNow = View().GetMapExtent();
    WithModal([&] { EXPECT_TRUE(Run(30277)); },
              [&](QWidget& dialog) {
                  FindControl<QLineEdit>(&dialog, 1017)->setText("1e308");
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
                  EXPECT_TRUE(dialog.isVisible());
              });
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(View().GetOverlayCount(), 0);
    EXPECT_EQ(View().GetMapExtent(), shownNow);
}

TEST_F(MeasureAndPointTest, TheCoordinateTransformationOfTheMainWindow)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(IsEnabled(30611));
    WithModal([&] { EXPECT_TRUE(Run(30611)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 398);
                  SaveScreenshot(dialog, "search-app-398-coord-transform");
              });
}

} // namespace
