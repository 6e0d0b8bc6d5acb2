#include "search/widgets/ObjectInfoDlg.h"

#include "platform/Codepage.h"
#include "search/widgets/InfoListBox.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "tests/search/LinkProgramsDouble.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The lines of a house, in code page 1257 as the tables give them.
const Lines kHouse = {
    "PAVAD\tSodo g. 12",
    "Nuotrauka\tfoto.jpg",
    Utf8ToCp1257("APRASAS\tDviejų aukštų namas"),
    "su mansarda",
    "Tinklalapis\thttp://www.example.lt",
    "Planas\tplanas.PDF",
};

const QColor kNameColour(0, 0, 128);
const QColor kLinkColour(0, 128, 0);

// How many pixels of the colour in the part of the picture.
int Count(const QImage& image, const QRect& part, const QColor& colour)
{
    int count = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

// The longest run of the colour along one row of the part.
int LongestRun(const QImage& image, const QRect& part, const QColor& colour)
{
    int longest = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(), run = 0; x <= part.right(); ++x) {
            run = image.pixelColor(x, y) == colour ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    return longest;
}

class ObjectInfoDlgTest : public ::testing::Test, private CWithApplication {
protected:
    ObjectInfoDlgTest() : window(new CObjectInfoDlg) {}
    ~ObjectInfoDlgTest() override
    {
        delete window.data();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* menu = qobject_cast<QMenu*>(top))
                menu->hide();
    }

    CInfoListBox& List() { return window->List(); }
    QWidget* Viewport() { return List().viewport(); }
    QRect Row(int row) { return List().visualItemRect(List().item(row)); }
    QPoint ValueOf(int row) { return QPoint(List().SeparatorX() + 20, Row(row).center().y()); }
    void Send(QEvent::Type type, Qt::MouseButton button, const QPoint& at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton
                                                                                                        : button;
        QMouseEvent event(type, at, Viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(Viewport(), &event);
    }
    static QMenu* ShownMenu()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* menu = qobject_cast<QMenu*>(top); menu && menu->isVisible())
                return menu;
        return nullptr;
    }

    QPointer<CObjectInfoDlg> window;
    CTempDir dir;
    CScriptedUserServices services;
    CRecordingLinkPrograms programs;
};

TEST_F(ObjectInfoDlgTest, FillingShowsTheWindowAndReplacesTheList)
{
    EXPECT_EQ(GetControlId(window), 135);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Informacija apie objektą"));
    EXPECT_TRUE(FindControl<CInfoListBox>(window, 1014));
    EXPECT_TRUE(window->isHidden());
    window->SetInfo(kHouse, dir.Path());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(List().count(), 6);
    window->SetInfo({"KODAS\t7"}, dir.Path());
    ASSERT_EQ(List().count(), 1);
    EXPECT_EQ(List().item(0)->text(), "KODAS\t7");
    // Closed by the user it is gone.
    window->close();
    FlushDeletes();
    EXPECT_FALSE(window);
}

TEST_F(ObjectInfoDlgTest, TheColumnsFollowTheNamesAndTheBoldFont)
{
    const QFontMetrics bold(List().BoldFont());
    EXPECT_EQ(List().BoldFont().weight(), QFont::DemiBold);
    EXPECT_TRUE(List().UnderlinedFont().underline());
    window->SetInfo({"PAVAD\tx", "Trumpas\ty"}, "");
    EXPECT_EQ(List().SeparatorX(), bold.averageCharWidth() * 11);
    EXPECT_EQ(Row(0).height(), bold.height() + 2);
    window->SetInfo({"PAVAD\tx", "Nuotrauka namo\tfoto.jpg"}, "");
    EXPECT_EQ(List().SeparatorX(), bold.averageCharWidth() * 14);
    EXPECT_EQ(Row(1).height(), bold.height() + 2);
}

TEST_F(ObjectInfoDlgTest, NamesValuesLinksAndLinesInTheirColours)
{
    window->resize(420, 240);
    window->SetInfo(kHouse, dir.Path());
    QCoreApplication::processEvents();
    const QImage shot = Viewport()->grab().toImage();
    const int separator = List().SeparatorX();
    const QColor black(0, 0, 0);
    struct Case {
        int row;
        bool name;
        bool link;
        bool bottomLine;
    };
    const Case cases[] = {
        {0, true, false, true},
        {1, true, true, true},
        {2, true, false, false}, // its further line follows
        {3, false, false, true},
        {4, true, true, true},
        {5, true, true, true},
    };
    for (const Case& c : cases) {
        const QRect r = Row(c.row);
        const QRect namePart(r.left(), r.top(), separator - r.left(), r.height() - 1);
        const QRect valuePart(separator + 1, r.top(), r.right() - separator - 1, r.height() - 1);
        EXPECT_EQ(Count(shot, namePart, kNameColour) > 0, c.name) << c.row;
        EXPECT_EQ(Count(shot, valuePart, kLinkColour) > 0, c.link) << c.row;
        EXPECT_EQ(Count(shot, valuePart, black) > 0, !c.link) << c.row;
        // A link is underlined: a long stroke of its colour.
        EXPECT_EQ(LongestRun(shot, valuePart, kLinkColour) > 20, c.link) << c.row;
        EXPECT_EQ(shot.pixelColor(r.right() - 2, r.bottom()) == black, c.bottomLine) << c.row;
        EXPECT_EQ(shot.pixelColor(separator, r.center().y()), black) << c.row;
    }
    SaveScreenshot(*window, "object-info-links");
}

TEST_F(ObjectInfoDlgTest, TheMouseOverLinks)
{
    window->SetInfo(kHouse, dir.Path());
    QCoreApplication::processEvents();

    // The hand over a link, the arrow elsewhere.
    Send(QEvent::MouseMove, Qt::NoButton, ValueOf(1));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(Viewport()->cursor().hotSpot(), QPoint(6, 0));
    Send(QEvent::MouseMove, Qt::NoButton, ValueOf(0));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::ArrowCursor);

    // A right press selects; released over a link, menu 182.
    Send(QEvent::MouseButtonPress, Qt::RightButton, ValueOf(0));
    EXPECT_EQ(List().currentRow(), 0);
    Send(QEvent::MouseButtonRelease, Qt::RightButton, ValueOf(0));
    EXPECT_FALSE(ShownMenu());
    Send(QEvent::MouseButtonPress, Qt::RightButton, ValueOf(4));
    EXPECT_EQ(List().currentRow(), 4);
    Send(QEvent::MouseButtonRelease, Qt::RightButton, ValueOf(4));
    QMenu* menu = ShownMenu();
    ASSERT_TRUE(menu);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Parodyti", QString::fromUtf8("Parodyti su standartine programa")}));
    menu->hide();

    // "Parodyti" by the type, the other always the default program.
    List().setCurrentRow(1);
    EXPECT_TRUE(List().Actions().Execute(CInfoListBox::kCmdOpenLink));
    WriteWholeFile(dir.File("foto.jpg"), "x");
    EXPECT_TRUE(List().Actions().Execute(CInfoListBox::kCmdOpenWithDefault));
    List().setCurrentRow(4);
    EXPECT_TRUE(List().Actions().Execute(CInfoListBox::kCmdOpenLink));
    // Not on a value that is no link.
    List().setCurrentRow(0);
    EXPECT_FALSE(List().Actions().Execute(CInfoListBox::kCmdOpenLink));
    // A double click opens the link by its type.
    Send(QEvent::MouseButtonPress, Qt::LeftButton, ValueOf(5));
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, ValueOf(5));
    Send(QEvent::MouseButtonDblClick, Qt::LeftButton, ValueOf(5));
    EXPECT_EQ(programs.log, (std::vector<std::string>{"picture " + dir.File("foto.jpg"), "file " + dir.File("foto.jpg"),
                                                      "url http://www.example.lt"}));
    // planas.PDF is not there: said so, and the list stays.
    EXPECT_EQ(services.MessageIds(), std::vector<unsigned>{1037});
    EXPECT_EQ(List().count(), 6);
    EXPECT_EQ(List().Lines().GetCount(), 6);
}

} // namespace
