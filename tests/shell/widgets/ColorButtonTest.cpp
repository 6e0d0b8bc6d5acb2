#include "shell/widgets/ColorButton.h"

#include "shell/ColorPalette.h"
#include "shell/widgets/ColorDialog.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/PaletteColors.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int kButtonId = 1055;
using Log = std::vector<std::pair<int, COLORREF>>;

COLORREF Pixel(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

class ColorButtonTest : public ::testing::Test, private CWithApplication {
protected:
    ColorButtonTest()
    {
        button = new CColorButton(&dialog);
        SetControlId(button, kButtonId);
        button->setGeometry(20, 20, 80, 24);
        button->SetNotify([this](int notification, COLORREF colour, int id) {
            EXPECT_EQ(id, kButtonId);
            log.emplace_back(notification, colour);
        });
        dialog.resize(200, 100);
        dialog.move(100, 100);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    ~ColorButtonTest() override { FlushDeletes(); }

    ColorPopup* Open()
    {
        QTest::mouseClick(button, Qt::LeftButton);
        ColorPopup* popup = button->GetPopup();
        EXPECT_TRUE(popup && popup->isVisible());
        return popup;
    }
    static void Key(ColorPopup* popup, Qt::Key key) { QTest::keyClick(popup, key); }
    static void MoveTo(ColorPopup* popup, QPoint point)
    {
        QMouseEvent move(QEvent::MouseMove, point, popup->mapToGlobal(point), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(popup, &move);
    }
    static void Click(ColorPopup* popup, QPoint point)
    {
        QMouseEvent press(QEvent::MouseButtonPress, point, popup->mapToGlobal(point), Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(popup, &press);
        if (!popup->isVisible())
            return;
        QMouseEvent release(QEvent::MouseButtonRelease, point, popup->mapToGlobal(point), Qt::LeftButton,
                            Qt::NoButton, {});
        QApplication::sendEvent(popup, &release);
    }
    static QPoint Centre(const ColorPopup* popup, int entry)
    {
        const CPoint c = popup->Palette().GetEntryRect(entry).CenterPoint();
        return {c.x, c.y};
    }

    QDialog dialog;
    CColorButton* button;
    Log log;
};

TEST_F(ColorButtonTest, ThePopupDropsBelowTheButton)
{
    button->SetColor(0x0000FF);
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(button->IsPopupOpen());
    EXPECT_EQ(log, (Log{{CColorButton::kDropDown, 0x0000FF}}));
    // The custom entry below the boxes, no default entry.
    const CSize size = popup->Palette().GetWindowSize();
    EXPECT_EQ(popup->size(), QSize(size.cx, size.cy));
    EXPECT_EQ(popup->width(), 16 * 16 + 4);
    EXPECT_GT(popup->height(), 9 * 16 + 4);
    EXPECT_EQ(popup->Palette().GetEntryRect(CColorPalette::kDefaultEntry), CRect());
    EXPECT_EQ(popup->geometry().topLeft(), button->mapToGlobal(QPoint(0, button->height())));
    EXPECT_EQ(popup->GetCurrentEntry(), 4);
    SaveScreenshot(*popup, "color-popup");
    Key(popup, Qt::Key_Escape);
    EXPECT_FALSE(button->IsPopupOpen());
}

TEST_F(ColorButtonTest, ThePopupStaysOnTheScreen)
{
    const QRect screen = dialog.screen()->availableGeometry();
    // At the bottom right corner of the screen.
    dialog.move(screen.right() - 150, screen.bottom() - 60);
    button->move(dialog.width() - 70, dialog.height() - 30);
    QCoreApplication::processEvents();
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
    EXPECT_EQ(popup->geometry().bottom(), onScreen.top() - 1);
    EXPECT_LE(popup->geometry().right(), screen.right());
    EXPECT_GE(popup->geometry().left(), screen.left());
    Key(popup, Qt::Key_Escape);
}

TEST_F(ColorButtonTest, ArrowsStepAndEnterChooses)
{
    button->SetColor(0x0000FF); // box 4, also box 97
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Right, 5}, {Qt::Key_Left, 4}, {Qt::Key_Left, 3}, {Qt::Key_Down, 19},
        {Qt::Key_Up, 3},    {Qt::Key_Up, CColorPalette::kCustomEntry}, {Qt::Key_Right, 0}, {Qt::Key_Left, CColorPalette::kCustomEntry},
        {Qt::Key_Left, 143},
    };
    Log expected{{CColorButton::kDropDown, 0x0000FF}};
    for (const auto& [key, entry] : steps) {
        Key(popup, key);
        EXPECT_EQ(popup->GetCurrentEntry(), entry) << key;
        expected.emplace_back(CColorButton::kSelChange, entry >= 0 ? kPaletteColors[entry] : 0x0000FF);
    }
    EXPECT_EQ(button->GetColor(), 0x0000FFu); // not tracking
    Key(popup, Qt::Key_Return);
    expected.insert(expected.end(), {{CColorButton::kCloseUp, 0xFF9900},
                                     {CColorButton::kSelEndOk, 0xFF9900},
                                     {CColorButton::kSelChange, 0xFF9900}});
    EXPECT_EQ(log, expected);
    EXPECT_EQ(button->GetColor(), 0xFF9900u);
    EXPECT_FALSE(button->IsPopupOpen());
}

TEST_F(ColorButtonTest, TheSameColourChosenIsNoChange)
{
    button->SetColor(0x808080);
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    Key(popup, Qt::Key_Space);
    EXPECT_EQ(log, (Log{{CColorButton::kDropDown, 0x808080},
                        {CColorButton::kCloseUp, 0x808080},
                        {CColorButton::kSelEndOk, 0x808080}}));
}

TEST_F(ColorButtonTest, TrackingFollowsTheMouseAndEscapeRestores)
{
    button->SetColor(0x00FF00);
    button->SetTrackSelection(true);
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    MoveTo(popup, Centre(popup, 10));
    EXPECT_EQ(button->GetColor(), kPaletteColors[10]);
    MoveTo(popup, Centre(popup, 40));
    EXPECT_EQ(button->GetColor(), kPaletteColors[40]);
    MoveTo(popup, QPoint(0, 0)); // the margin keeps the entry
    EXPECT_EQ(popup->GetCurrentEntry(), 40);
    Key(popup, Qt::Key_Escape);
    EXPECT_EQ(button->GetColor(), 0x00FF00u);
    EXPECT_EQ(log, (Log{{CColorButton::kDropDown, 0x00FF00},
                        {CColorButton::kSelChange, kPaletteColors[10]},
                        {CColorButton::kSelChange, kPaletteColors[40]},
                        {CColorButton::kCloseUp, 0x00FF00},
                        {CColorButton::kSelEndCancel, 0x00FF00}}));
}

TEST_F(ColorButtonTest, AClickOnABoxChoosesAndOutsideCancels)
{
    button->SetColor(0x00FF00);
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    Click(popup, Centre(popup, 20));
    EXPECT_EQ(button->GetColor(), kPaletteColors[20]);
    EXPECT_EQ(log, (Log{{CColorButton::kDropDown, 0x00FF00},
                        {CColorButton::kSelChange, kPaletteColors[20]},
                        {CColorButton::kCloseUp, kPaletteColors[20]},
                        {CColorButton::kSelEndOk, kPaletteColors[20]},
                        {CColorButton::kSelChange, kPaletteColors[20]}}));

    log.clear();
    popup = Open();
    ASSERT_TRUE(popup);
    Click(popup, QPoint(-20, 10));
    EXPECT_FALSE(button->IsPopupOpen());
    EXPECT_EQ(button->GetColor(), kPaletteColors[20]);
    EXPECT_EQ(log, (Log{{CColorButton::kDropDown, kPaletteColors[20]},
                        {CColorButton::kCloseUp, kPaletteColors[20]},
                        {CColorButton::kSelEndCancel, kPaletteColors[20]}}));

    // Closed by anything else, or the program losing activation.
    for (const bool deactivated : {false, true}) {
        log.clear();
        popup = Open();
        ASSERT_TRUE(popup);
        if (deactivated)
            emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        else
            popup->close();
        EXPECT_FALSE(button->IsPopupOpen());
        EXPECT_EQ(log.back(), std::make_pair(int(CColorButton::kSelEndCancel), kPaletteColors[20]));
    }
}

TEST_F(ColorButtonTest, TheDefaultEntryGivesTheDefaultColour)
{
    button->SetDefaultText("Standartin\xEB");
    button->SetDefaultColor(RGB(10, 20, 30));
    button->SetColor(kDefaultColorValue);
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->GetCurrentEntry(), CColorPalette::kDefaultEntry);
    Key(popup, Qt::Key_Down);
    EXPECT_EQ(log.back(), std::make_pair(int(CColorButton::kSelChange), kPaletteColors[0]));
    Key(popup, Qt::Key_Up);
    EXPECT_EQ(log.back(), std::make_pair(int(CColorButton::kSelChange), kDefaultColorValue));
    Key(popup, Qt::Key_Return);
    EXPECT_EQ(button->GetColor(), kDefaultColorValue);
    // Drawn in the default colour.
    const QImage face = button->grab().toImage();
    EXPECT_EQ(Pixel(face, 20, face.height() / 2), RGB(10, 20, 30));
}

TEST_F(ColorButtonTest, ShowsItsColourOnlyWhenEnabled)
{
    button->SetColor(0x00FF00);
    QImage face = button->grab().toImage();
    EXPECT_EQ(Pixel(face, 20, face.height() / 2), 0x00FF00u);
    SaveScreenshot(*button, "color-button");
    button->setEnabled(false);
    face = button->grab().toImage();
    for (int x = 4; x < face.width() - 16; ++x)
        EXPECT_NE(Pixel(face, x, face.height() / 2), 0x00FF00u) << x;
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->IsPopupOpen());
    EXPECT_TRUE(log.empty());
}

TEST_F(ColorButtonTest, GoingWhileOpenTellsNobody)
{
    ASSERT_TRUE(Open());
    delete button;
    FlushDeletes();
    EXPECT_EQ(log.size(), 1u);

    // Also while the colour dialog of the custom entry is open.
    button = new CColorButton(&dialog);
    button->SetNotify([this](int notification, COLORREF colour, int) { log.emplace_back(notification, colour); });
    button->SetColor(0x123456);
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    QTimer::singleShot(0, [this] {
        delete button;
        if (QWidget* colours = QApplication::activeModalWidget())
            colours->close();
    });
    QTest::keyPress(popup, Qt::Key_Return); // the popup is gone before a release
    FlushDeletes();
    EXPECT_EQ(log.size(), 2u);
}

// A colour outside the palette marks the custom entry; choosing it opens
// the colour dialog, whose cancel cancels.
TEST_F(ColorButtonTest, TheCustomEntryOpensTheColourDialog)
{
    button->SetColor(0x123456);
    ColorPopup* popup = Open();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->GetCurrentEntry(), CColorPalette::kCustomEntry);
    bool looked = false;
    QTimer::singleShot(0, [&] {
        auto* colours = dynamic_cast<CColorDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(colours);
        looked = true;
        EXPECT_EQ(GetControlId(colours), 171);
        EXPECT_EQ(colours->windowTitle(), "Spalvos");
        EXPECT_EQ(colours->GetColor(), 0x123456u);
        QStringList texts;
        for (const QLabel* label : colours->findChildren<QLabel*>())
            texts << label->text();
        for (const QAbstractButton* b : colours->findChildren<QAbstractButton*>())
            texts << b->text();
        for (const char* text : {"&Pagrindinės spalvos:", "&Apibrėžtos spalvos:", "&Raudona:", "Ž&alia:",
                                 "&Mėlyna:", "Pridėti spa&lvą", "OK", "Atsisakyti"})
            EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
        for (const char* english : {"&Basic colors", "&Custom colors", "&Red:", "Cancel", "&Add to Custom Colors"})
            EXPECT_FALSE(texts.contains(english)) << english;
        SaveScreenshot(*colours, "color-dialog");
        colours->reject();
    });
    Key(popup, Qt::Key_Return);
    EXPECT_TRUE(looked);
    EXPECT_EQ(button->GetColor(), 0x123456u);
    EXPECT_EQ(log, (Log{{CColorButton::kDropDown, 0x123456},
                        {CColorButton::kCloseUp, 0x123456},
                        {CColorButton::kSelEndCancel, 0x123456}}));

    log.clear();
    popup = Open();
    ASSERT_TRUE(popup);
    QTimer::singleShot(0, [] {
        auto* colours = dynamic_cast<CColorDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(colours);
        colours->setCurrentColor(QColor(1, 2, 3));
        colours->accept();
    });
    Click(popup, Centre(popup, CColorPalette::kCustomEntry));
    EXPECT_EQ(button->GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(log, (Log{{CColorButton::kDropDown, 0x123456},
                        {CColorButton::kCloseUp, RGB(1, 2, 3)},
                        {CColorButton::kSelEndOk, RGB(1, 2, 3)},
                        {CColorButton::kSelChange, RGB(1, 2, 3)}}));
}

} // namespace
