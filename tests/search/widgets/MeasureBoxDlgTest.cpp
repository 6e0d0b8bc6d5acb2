// The measuring tools' result boxes on the offscreen platform: their
// fields by id, the texts their setters write, and the commands their
// buttons and closing send.
#include "search/widgets/MeasureBoxDlg.h"

#include "mapdoc/MapTool.h"
#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString Field(QWidget& box, int id)
{
    auto* field = FindControl<QLineEdit>(&box, id);
    return field ? field->text() : QStringLiteral("<none>");
}

std::vector<QString> Labels(QWidget& box)
{
    std::vector<QString> texts;
    for (QLabel* label : box.findChildren<QLabel*>())
        texts.push_back(label->text());
    return texts;
}

class MeasureBoxDlgTest : public ::testing::Test, public CWithApplication {
protected:
    MeasureBoxDlgTest() { owner.resize(400, 300); }
    ~MeasureBoxDlgTest() override { MapToolMode = 0; }

    // Posts as the program does: the command runs after the box's handler.
    CMeasureBoxDlg::PostCommand Poster()
    {
        return [this](int command) {
            QTimer::singleShot(0, [this, command] {
                posted.push_back(command);
                if (whenPosted)
                    whenPosted(command);
            });
        };
    }
    void Settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    QWidget owner;
    std::vector<int> posted;
    std::function<void(int)> whenPosted;
};

TEST_F(MeasureBoxDlgTest, EachBoxShowsItsValues)
{
    CDistanceDlg distance(owner, Poster());
    distance.Create();
    distance.SetDistances(0.005, 12.3456);
    CAreaPerimeterDlg area(owner, Poster());
    area.Create();
    area.SetValues(0.25, 0.5);
    CAzimuthDlg azimuth(owner);
    azimuth.Create();
    azimuth.SetAzimuths(45, 225);
    CObjectAreaDlg objectArea(owner);
    objectArea.ShowMeasure("Parkas", 3.5);
    CObjectLengthDlg objectLength(owner);
    objectLength.ShowMeasure("Sodo g.", 0.0000005);
    CRouteLengthDlg route(owner);
    route.Create();
    route.SetLength(12.5);
    Settle();

    struct Case {
        QWidget& box;
        int id;
        const char* caption;
        std::vector<QString> labels;
        QString first, second;
    };
    const Case cases[] = {
        {distance, 217, "Atstumas", {Text("Atstumas:"), Text("Iš viso:")}, "5.000 m", "12.346 km"},
        {area, 30737, "Plotas ir perimetras", {Text("Plotas:"), Text("Perimetras:")}, Text("250000 m²"), "500 m"},
        {azimuth, 30738, "Azimutas", {}, Text("45.0° <--> 225.0°"), "<none>"},
        {objectArea, 30739, "Objekto plotas", {Text("Objektas:"), Text("Plotas:")}, "Parkas", Text("3.5 km²")},
        {objectLength, 30740, "Objekto ilgis", {Text("Objektas:"), Text("Ilgis:")}, "Sodo g.", "0 m"},
        {route, 30741, "Trumpiausias maršrutas", {Text("Maršruto ilgis:")}, "12.5 km", "<none>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetControlId(&c.box), c.id);
        EXPECT_EQ(c.box.windowTitle(), Text(c.caption)) << c.id;
        EXPECT_EQ(Labels(c.box), c.labels) << c.id;
        EXPECT_EQ(Field(c.box, 1017), c.first) << c.id;
        EXPECT_EQ(Field(c.box, 1007), c.second) << c.id;
        EXPECT_TRUE(c.box.isVisible()) << c.id;
        EXPECT_TRUE(FindControl<QLineEdit>(&c.box, 1017)->isReadOnly()) << c.id;
        // Over the map, at its top-left corner.
        EXPECT_EQ(c.box.parentWidget(), &owner);
        EXPECT_FALSE(c.box.isModal());
        SaveScreenshot(c.box, ("search-" + std::to_string(c.id) + "-box").c_str());
    }
    EXPECT_EQ(FindControl<QPushButton>(&distance, 1055)->text(), Text("Išvalyti"));
}

TEST_F(MeasureBoxDlgTest, ClearingFollowsTheToolClosingEndsIt)
{
    auto distance = std::make_unique<CDistanceDlg>(owner, Poster());
    distance->Create();
    Settle();
    auto* clear = FindControl<QPushButton>(distance.get(), 1055);
    ASSERT_TRUE(clear);
    MapToolMode = 5;
    QTest::mouseClick(clear, Qt::LeftButton);
    MapToolMode = 23;
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(posted.empty()) << "sent after the handler returns";
    Settle();
    EXPECT_EQ(posted, (std::vector<int>{30628, 30627}));

    // Ending the tool deletes the box: after Escape, and after the close box.
    whenPosted = [&](int command) {
        if (command == 30065)
            distance.reset();
    };
    posted.clear();
    QTest::keyClick(distance.get(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(posted, std::vector<int>{30065});
    EXPECT_FALSE(distance);

    auto area = std::make_unique<CAreaPerimeterDlg>(owner, Poster());
    area->Create();
    Settle();
    whenPosted = [&](int command) {
        if (command == 30065)
            area.reset();
    };
    posted.clear();
    area->close();
    Settle();
    EXPECT_EQ(posted, std::vector<int>{30065});
    EXPECT_FALSE(area);
}

TEST_F(MeasureBoxDlgTest, TheOtherBoxesCloseAndStay)
{
    CAzimuthDlg azimuth(owner);
    azimuth.Create();
    CObjectLengthDlg length(owner);
    length.ShowMeasure("Sodo g.", 1.5);
    CRouteLengthDlg route(owner);
    route.Create();
    Settle();
    for (QWidget* box : std::initializer_list<QWidget*>{&azimuth, &length, &route}) {
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_FALSE(box->isVisible()) << GetControlId(box);
    }
    Settle();
    EXPECT_TRUE(posted.empty());
    // The next object's measure shows the box again.
    length.ShowMeasure("Liepu g.", 0.5);
    EXPECT_TRUE(length.isVisible());
    EXPECT_EQ(Field(length, 1017), "Liepu g.");
    EXPECT_EQ(Field(length, 1007), "500 m");
}

} // namespace
