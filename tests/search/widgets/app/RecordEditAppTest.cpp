// The program on a copy of the demo town with the search part: a
// placemark made from the view's context menu through the point
// information dialog, and an address record edited through the address
// entry and the record form.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "search/widgets/SearchInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tools/demo/DemoMapWriter.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

// Looks at the modal window of the id once it shows, polling the event
// loops that run meanwhile (each dialog runs its own); gives up after
// five seconds.
void WhenModalShows(int id, std::function<void(QWidget&)> look, bool& looked)
{
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, id, look, &looked] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool shown = modal && GetControlId(modal) == id && modal->isVisible();
        if (!shown && ++*ticks < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (shown) {
            looked = true;
            look(*modal);
        }
    });
    timer->start(10);
}

class RecordEditAppTest : public CAppFixture {
protected:
    RecordEditAppTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(mapDir.Path(), options, error)) << error;
    }
    ~RecordEditAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        CMapFrame::Hooks().boxes = {};
    }

    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    QWidget* ViewWidget() const { return MapWindow()->GetViewWidget(); }
    CDrelView& View() const { return *MapWindow()->GetMapView(); }
    CDrelDoc& Document() const { return *frame->GetActiveMapDocument(); }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    bool StartOnCopy()
    {
        if (!Start({mapDir.File(CDemoMapWriter::kMapFile)}) || !MapWindow())
            return false;
        Settle();
        return true;
    }

    CTempDir mapDir;
};

TEST_F(RecordEditAppTest, APlacemarkMadeFromTheContextMenuIsKeptAndDrawn)
{
    ASSERT_TRUE(StartOnCopy());
    const QPoint at(ViewWidget()->width() / 2, ViewWidget()->height() / 2);
    const QImage before = ViewWidget()->grab().toImage();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, ViewWidget()->mapToGlobal(at));
    QApplication::sendEvent(ViewWidget(), &click);
    Settle();
    if (QWidget* menu = QApplication::activePopupWidget())
        menu->close();
    ASSERT_TRUE(IsEnabled(30621));

    bool looked = false;
    WithModal([&] { Run(30621); },
              [&](QWidget& dialog) {
                  looked = true;
                  EXPECT_EQ(GetControlId(&dialog), 402);
                  auto* name = FindControl<QLineEdit>(&dialog, 1017);
                  ASSERT_TRUE(name);
                  EXPECT_FALSE(name->text().isEmpty()) << "a new placemark is named by its number";
                  name->setText(QString::fromUtf8("Mano taškas"));
                  SaveScreenshot(dialog, "search-app-402-point-info");
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
              });
    ASSERT_TRUE(looked);
    Settle();

    CLayer* placemarks = Document().Layers().FindByName(Document().Settings().placemarksLayer);
    ASSERT_TRUE(placemarks);
    EXPECT_TRUE(EndsWithNoCase1257(placemarks->GetPath(), "MyWpt.dbf")) << placemarks->GetPath();
    CDbfTable table;
    ASSERT_TRUE(placemarks->OpenTable(table));
    ASSERT_EQ(table.GetRecordCount(), 1);
    ASSERT_TRUE(table.GoToRecord(0));
    std::string text;
    table.GetFieldString(table.FindField("NAME"), text);
    EXPECT_EQ(text, Utf8ToCp1257("Mano taškas"));

    // Its marker is drawn where the menu was opened.
    const QImage after = ViewWidget()->grab().toImage();
    ASSERT_EQ(before.size(), after.size());
    const qreal ratio = after.devicePixelRatio();
    int changed = 0;
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const QPoint p(static_cast<int>((at.x() + dx) * ratio), static_cast<int>((at.y() + dy) * ratio));
            changed += before.pixel(p) != after.pixel(p) ? 1 : 0;
        }
    EXPECT_GT(changed, 4);
    EXPECT_TRUE(shown.empty());
}

TEST_F(RecordEditAppTest, AnAddressRecordGoesThroughTheAddressEntryAndTheForm)
{
    ASSERT_TRUE(StartOnCopy());
    CLayer* addresses = Document().Layers().FindByName("Adresai");
    ASSERT_TRUE(addresses);
    std::string code;
    {
        CDbfTable table;
        ASSERT_TRUE(addresses->OpenTable(table));
        ASSERT_TRUE(table.GoToRecord(0));
        table.GetFieldString(table.FindField("GAT_KODAS"), code);
    }

    bool entered = false, edited = false;
    WhenModalShows(196, [&](QWidget& dialog) {
        auto* street = FindControl<QComboBox>(&dialog, 1012);
        ASSERT_TRUE(street);
        EXPECT_GT(street->count(), 1);
        EXPECT_EQ(street->currentData().toString(), ToQString(code)) << "the record's street selected";
        EXPECT_FALSE(FindControl<QWidget>(&dialog, 1021)->isEnabled());
        FindControl<QLineEdit>(&dialog, 1017)->setText("12A");
        SaveScreenshot(dialog, "search-app-196-address-entry");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    }, entered);
    WhenModalShows(172, [&](QWidget& dialog) {
        // Street code, number, letter, number text, address: the set ones shown.
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 103)->text(), "12");
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 104)->text(), "A");
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 106)->text(), "12A");
        auto* numberText = FindControl<QLineEdit>(&dialog, 105);
        numberText->selectAll();
        QTest::keyClicks(numberText, "12A");
        SaveScreenshot(dialog, "search-app-172-record-form");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    }, edited);
    EXPECT_TRUE(addresses->EditRecord(View(), 0));
    EXPECT_TRUE(entered);
    EXPECT_TRUE(edited);

    CDbfTable table;
    ASSERT_TRUE(addresses->OpenTable(table));
    ASSERT_TRUE(table.GoToRecord(0));
    const auto field = [&](const char* name) {
        std::string text;
        table.GetFieldString(table.FindField(name), text);
        return text;
    };
    EXPECT_EQ(field("GAT_KODAS"), code);
    EXPECT_EQ(field("NR"), "12");
    EXPECT_EQ(field("RAIDE"), "A");
    EXPECT_EQ(field("NUMERIS"), "12A");
    EXPECT_EQ(field("ADRESAS"), "12A");
    EXPECT_TRUE(shown.empty());
}

} // namespace
