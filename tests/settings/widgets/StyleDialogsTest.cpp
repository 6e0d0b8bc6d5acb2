// The line and area style dialogs, their combos and the scale-thresholds
// dialog, shown offscreen and worked by their controls' ids.
#include "settings/widgets/AreaStyleDlg.h"
#include "settings/widgets/FillPatternCombo.h"
#include "settings/widgets/LineStyleDlg.h"
#include "settings/widgets/LineTypeCombo.h"
#include "settings/widgets/ScaleThresholdsDlg.h"
#include "settings/widgets/SpinButton.h"

#include "platform/UserServices.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/ColorPopup.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/StyleSampleButton.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kDoubleCheck = 1015;
constexpr int kColour = 1066;
constexpr int kType = 1067;
constexpr int kWidth = 1068;
constexpr int kWidthSpin = 1069;
constexpr int kSample = 1070;
constexpr int kColour2 = 1071;
constexpr int kType2 = 1072;
constexpr int kWidth2 = 1073;
constexpr int kSecondLine[] = {1059, 1060, 1061, 1071, 1072, 1073, 1074};

constexpr int kBrushLabel = 1062;
constexpr int kBrushColour = 1063;
constexpr int kPattern = 1064;
constexpr int kBackColour = 1065;
constexpr int kNoBackground = 1071;
constexpr int kBackLabel = 1089;

CDrawStyle Pens(uint32_t style, uint32_t width, COLORREF colour, COLORREF back = CDrawStyle::kNone)
{
    CDrawStyle pens;
    pens.penStyle = style;
    pens.penWidth = width;
    pens.penColor = colour;
    pens.backColor = back;
    return pens;
}

class StyleDialogsTest : public ::testing::Test, private CWithApplication {
protected:
    template <class T = QWidget>
    static T* Control(const QWidget& dialog, int id)
    {
        T* control = FindControl<T>(&dialog, id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    static QString Text(const QWidget& dialog, int id) { return Control<QLineEdit>(dialog, id)->text(); }
    // Typing replaces the edit's text, as the user's keys do.
    static void Type(const QWidget& dialog, int id, const char* text)
    {
        auto* edit = Control<QLineEdit>(dialog, id);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString::fromUtf8(text));
        emit edit->editingFinished();
    }
    // The palette's next colour after the button's, chosen by the keys.
    static COLORREF ChooseNextColour(CColorButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        ColorPopup* popup = button->GetPopup();
        EXPECT_TRUE(popup);
        if (!popup)
            return 0;
        QTest::keyClick(popup, Qt::Key_Right);
        QTest::keyClick(popup, Qt::Key_Return);
        FlushDeletes();
        return button->GetColor();
    }
    static void Ok(QDialog& dialog) { Control<QPushButton>(dialog, IDOK)->click(); }
};

TEST_F(StyleDialogsTest, TheLineDialogSplitsAndComposesTheLinePart)
{
    const struct {
        const char* what;
        CDrawStyle style;
        int type, type2;
        const char *width, *width2;
        bool doubleLine;
    } cases[] = {
        {"single", Pens(2, 12, RGB(255, 0, 0)), 2, -1, "0.3", nullptr, false},
        {"no width", Pens(0, 0, 0), 0, -1, "0", nullptr, false},
        {"double", Pens(0x10000000 | (16 << 16) | 11, (8 << 16) | 44, RGB(0, 0, 0), RGB(255, 214, 120)), 11, 16, "1.1",
         "0.2", true},
        {"double with no second width", Pens(0x10000000 | (5 << 16) | 4, 100, 0x123456, 0x654321), 4, 5, "2.5", "0",
         true},
    };
    for (const auto& c : cases) {
        CLineStyleDlg dialog;
        dialog.Values() = CLineStyleValues::Split(c.style);
        dialog.show();
        EXPECT_EQ(GetControlId(&dialog), 157);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Linijos parametrai"));
        EXPECT_EQ(Control<CLineTypeCombo>(dialog, kType)->GetCode(), c.type) << c.what;
        EXPECT_EQ(Control<CLineTypeCombo>(dialog, kType)->count(), 15);
        EXPECT_EQ(Text(dialog, kWidth), QString::fromUtf8(c.width)) << c.what;
        EXPECT_EQ(Control<CColorButton>(dialog, kColour)->GetColor(), c.style.penColor) << c.what;
        EXPECT_EQ(Control<QCheckBox>(dialog, kDoubleCheck)->isChecked(), c.doubleLine) << c.what;
        for (const int id : kSecondLine)
            EXPECT_EQ(Control(dialog, id)->isVisible(), c.doubleLine) << c.what << " " << id;
        if (c.doubleLine) {
            EXPECT_EQ(Control<CLineTypeCombo>(dialog, kType2)->GetCode(), c.type2) << c.what;
            EXPECT_EQ(Text(dialog, kWidth2), QString::fromUtf8(c.width2)) << c.what;
            EXPECT_EQ(Control<CColorButton>(dialog, kColour2)->GetColor(), c.style.backColor) << c.what;
        }
        EXPECT_EQ(Control<CStyleSampleButton>(dialog, kSample)->GetSample().line, c.style) << c.what;
        Ok(dialog);
        EXPECT_EQ(dialog.result(), IDOK);
        // Shown and not touched, widths rounding in the edits change nothing.
        EXPECT_EQ(dialog.Values().ComposedOver(c.style), c.style) << c.what;
    }
}

TEST_F(StyleDialogsTest, UncheckingTheDoubleLineKeepsTheSecondLineInTheDialog)
{
    const CDrawStyle doubled = Pens(0x10000000 | (1 << 16) | 0, (8 << 16) | 44, RGB(0, 0, 0), RGB(255, 214, 120));
    CLineStyleDlg dialog;
    dialog.Values() = CLineStyleValues::Split(doubled);
    dialog.show();
    Control<QCheckBox>(dialog, kDoubleCheck)->click();
    CDrawStyle composed = dialog.Values().ComposedOver(doubled);
    EXPECT_EQ(composed.backColor, 0xFFFFFFu);
    EXPECT_FALSE(composed.penStyle & CDrawStyle::kDoubleLine);
    EXPECT_EQ(composed.penWidth, 44u);
    EXPECT_EQ(Control<CStyleSampleButton>(dialog, kSample)->GetSample().line.backColor, 0xFFFFFFu);
    for (const int id : kSecondLine)
        EXPECT_FALSE(Control(dialog, id)->isVisible()) << id;
    EXPECT_EQ(dialog.Values().second, (CDrawStyle::Line{1, 8, RGB(255, 214, 120)}));

    Control<QCheckBox>(dialog, kDoubleCheck)->click();
    EXPECT_EQ(Text(dialog, kWidth2), "0.2");
    EXPECT_EQ(dialog.Values().ComposedOver(doubled), doubled);
}

TEST_F(StyleDialogsTest, WidthsAreTypedAndSpunInTenthsOfAMillimetre)
{
    CLineStyleDlg dialog;
    dialog.Values() = CLineStyleValues::Split(Pens(0, 0, 0));
    dialog.show();
    auto* spin = Control<CSpinButton>(dialog, kWidthSpin);
    const struct {
        const char* typed;
        int steps;
        uint32_t width;
        const char* shown;
    } cases[] = {
        {"0.3", 0, 12, "0.3"},  {"2.54", 0, 100, "2.54"}, {"9.95", 1, 394, "10.0"}, {"0.05", -1, 0, "0.0"},
        {"-0.3", 0, 0, "0.0"},  {"12", 0, 394, "10.0"},   {"0,5", 0, 20, "0,5"},    {"0.3", 1, 16, "0.4"},
        {"abcde", 0, 0, "abcde"},
    };
    for (const auto& c : cases) {
        Type(dialog, kWidth, c.typed);
        if (c.steps)
            spin->Step(c.steps);
        EXPECT_EQ(dialog.Values().first.width, c.width) << c.typed;
        EXPECT_EQ(Text(dialog, kWidth), QString::fromUtf8(c.shown)) << c.typed;
    }
    // At most five characters.
    Type(dialog, kWidth, "1.23456");
    EXPECT_EQ(Text(dialog, kWidth), "1.234");
    // The arrow keys spin too.
    Type(dialog, kWidth, "1.0");
    QTest::keyClick(Control(dialog, kWidth), Qt::Key_Up);
    EXPECT_EQ(Text(dialog, kWidth), "1.1");
    EXPECT_EQ(dialog.Values().first.width, 43u);
}

TEST_F(StyleDialogsTest, TypesAndColoursOfBothLines)
{
    CLineStyleDlg dialog;
    dialog.Values() = CLineStyleValues{{0, 12, RGB(255, 0, 0)}, {0, 4, RGB(0, 0, 255)}, true};
    dialog.show();
    auto* type2 = Control<CLineTypeCombo>(dialog, kType2);
    type2->setCurrentIndex(7); // code 10
    emit type2->activated(7);
    EXPECT_EQ(dialog.Values().second.style, 10u);
    const COLORREF chosen = ChooseNextColour(Control<CColorButton>(dialog, kColour));
    EXPECT_NE(chosen, RGB(255, 0, 0));
    EXPECT_EQ(dialog.Values().first.color, chosen);
    EXPECT_EQ(Control<CStyleSampleButton>(dialog, kSample)->GetSample().line.penColor, chosen);
    Type(dialog, kWidth2, "1");
    EXPECT_EQ(dialog.Values().second.width, 39u);
    EXPECT_EQ(Control<CStyleSampleButton>(dialog, kSample)->GetSample().line.penWidth, (39u << 16) | 12u);
    SaveScreenshot(dialog, "line-style-dialog");

    // Cancel is the caller's: the values are what it reads only on OK.
    CDrawStyle style = Pens(0, 12, RGB(255, 0, 0));
    bool result = true;
    WithModalWindow([&] { result = RunLineStyleDlg(style, nullptr); },
                    [&](QWidget& modal) {
                        Type(modal, kWidth, "3");
                        Control<QPushButton>(modal, IDCANCEL)->click();
                    });
    EXPECT_FALSE(result);
    EXPECT_EQ(style.penWidth, 12u);
    WithModalWindow([&] { result = RunLineStyleDlg(style, nullptr); },
                    [&](QWidget& modal) {
                        Type(modal, kWidth, "3");
                        Control<QPushButton>(modal, IDOK)->click();
                    });
    EXPECT_TRUE(result);
    EXPECT_EQ(style.penWidth, 118u);
}

TEST_F(StyleDialogsTest, TheAreaDialogDropsASecondOutlineAndEnablesByTheFill)
{
    CDrawStyle style = Pens(0x10000000 | (4 << 16) | 2, (8 << 16) | 20, RGB(10, 20, 30), RGB(40, 50, 60));
    style.brushStyle = 2;
    style.hatch = 4; // the cross hatch, entry 3
    style.brushColor = RGB(1, 2, 3);
    style.backMode = 0;
    CAreaStyleDlg dialog;
    dialog.Style() = style;
    dialog.show();
    EXPECT_EQ(GetControlId(&dialog), 158);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Srities parametrai"));
    auto* pattern = Control<CFillPatternCombo>(dialog, kPattern);
    EXPECT_EQ(pattern->count(), 51);
    EXPECT_EQ(pattern->currentIndex(), 3);
    EXPECT_EQ(Control<CLineTypeCombo>(dialog, kType)->GetCode(), 2);
    EXPECT_EQ(Text(dialog, kWidth), "0.5");
    EXPECT_EQ(Control<CColorButton>(dialog, kBrushColour)->GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(Control<CColorButton>(dialog, kBackColour)->GetColor(), RGB(40, 50, 60));
    EXPECT_EQ(Control<CColorButton>(dialog, kColour)->GetColor(), RGB(10, 20, 30));
    EXPECT_TRUE(Control<QCheckBox>(dialog, kNoBackground)->isChecked()) << "mode 0 is transparent";
    const auto enabled = [&](int id) { return Control(dialog, id)->isEnabled(); };
    EXPECT_TRUE(enabled(kNoBackground));
    EXPECT_FALSE(enabled(kBackColour));
    EXPECT_FALSE(enabled(kBackLabel));
    EXPECT_TRUE(enabled(kBrushColour));

    // "Fonas nepiešiamas" sets the background mode.
    Control<QCheckBox>(dialog, kNoBackground)->click();
    EXPECT_EQ(dialog.Style().backMode, OPAQUE);
    EXPECT_TRUE(enabled(kBackColour));
    Control<QCheckBox>(dialog, kNoBackground)->click();
    EXPECT_EQ(dialog.Style().backMode, TRANSPARENT);
    EXPECT_FALSE(enabled(kBackColour));

    const struct {
        int entry;
        bool brush, noBackground, back;
    } fills[] = {
        {0, false, false, false}, // hollow
        {1, true, false, false},  // solid
        {5, true, true, false},   // a hatch without its background
        {20, true, true, false},  // a pattern
    };
    for (const auto& f : fills) {
        pattern->setCurrentIndex(f.entry);
        emit pattern->activated(f.entry);
        EXPECT_EQ(dialog.Style().brushStyle, kFillPatterns[static_cast<size_t>(f.entry)].brushStyle);
        EXPECT_EQ(enabled(kBrushColour), f.brush) << f.entry;
        EXPECT_EQ(enabled(kBrushLabel), f.brush) << f.entry;
        EXPECT_EQ(enabled(kNoBackground), f.noBackground) << f.entry;
        EXPECT_EQ(enabled(kBackColour), f.back) << f.entry;
        EXPECT_EQ(Control<CStyleSampleButton>(dialog, kSample)->GetSample().area.hatch,
                  kFillPatterns[static_cast<size_t>(f.entry)].hatch);
    }
    SaveScreenshot(dialog, "area-style-dialog");
    Type(dialog, kWidth, "0.3");
    Ok(dialog);
    EXPECT_EQ(dialog.Style().penStyle, 2u) << "the second outline went";
    EXPECT_EQ(dialog.Style().penWidth, 12u);
    EXPECT_EQ(dialog.Style().brushStyle, 3);
    EXPECT_EQ(dialog.Style().hatch, 12);
}

TEST_F(StyleDialogsTest, AHollowFillDisablesBothFillColoursAndTheBackgroundCheck)
{
    CDrawStyle hollow;
    hollow.brushStyle = 1;
    hollow.backMode = OPAQUE;
    CAreaStyleDlg dialog;
    dialog.Style() = hollow;
    dialog.show();
    EXPECT_EQ(Control<CFillPatternCombo>(dialog, kPattern)->currentIndex(), 0);
    for (const int id : {kBrushColour, kBrushLabel, kBackColour, kBackLabel, kNoBackground})
        EXPECT_FALSE(Control(dialog, id)->isEnabled()) << id;
    EXPECT_TRUE(Control(dialog, kColour)->isEnabled());
}

TEST_F(StyleDialogsTest, TheCombosFindTheirEntries)
{
    CLineTypeCombo lines;
    lines.Fill();
    ASSERT_EQ(lines.count(), 15);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(lines.itemData(i).toInt(), i);
    EXPECT_EQ(lines.SelectCode(17), 14);
    EXPECT_EQ(lines.GetCode(), 17);
    EXPECT_EQ(lines.SelectCode(6), -1);
    EXPECT_EQ(lines.GetCode(), -1);

    CFillPatternCombo fills;
    fills.Fill();
    ASSERT_EQ(fills.count(), 51);
    EXPECT_EQ(fills.SelectPattern(3, 0), 8);
    EXPECT_EQ(fills.SelectPattern(3, 99), -1);

    // Closed, the combo shows its entry's drawing.
    lines.resize(140, 24);
    lines.SelectCode(10);
    const QImage red = lines.grab().toImage();
    bool found = false;
    for (int x = 0; x < red.width() && !found; ++x)
        for (int y = 0; y < red.height() && !found; ++y)
            found = red.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_TRUE(found) << "code 10 draws red";

    // Dropped down, for a person to look at.
    QDialog dialog;
    auto* shownLines = new CLineTypeCombo(&dialog);
    auto* shownFills = new CFillPatternCombo(&dialog);
    shownLines->setGeometry(10, 10, 140, 24);
    shownFills->setGeometry(160, 10, 140, 24);
    shownLines->Fill();
    shownFills->Fill();
    shownLines->SelectCode(2);
    shownFills->SelectPattern(3, 5);
    dialog.resize(320, 60);
    dialog.show();
    for (auto [combo, shot] : {std::pair<QComboBox*, const char*>{shownLines, "line-type-combo"},
                               {shownFills, "fill-pattern-combo"}}) {
        combo->showPopup();
        QWidget* popup = combo->view()->window();
        EXPECT_TRUE(popup->isVisible()) << shot;
        SaveScreenshot(*popup, shot);
        combo->hidePopup();
    }
}

TEST_F(StyleDialogsTest, TheThresholdsDialogListsTheFourteenScales)
{
    CScaleThresholdsDlg dialog;
    dialog.Checks()[1] = dialog.Checks()[13] = true;
    dialog.show();
    EXPECT_EQ(GetControlId(&dialog), 101);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Mastelio slenksčiai"));
    auto* list = Control<QListWidget>(dialog, 1054);
    ASSERT_EQ(list->count(), 14);
    EXPECT_EQ(list->item(0)->text(), "1:500");
    EXPECT_EQ(list->item(13)->text(), "1:10 000 000");
    EXPECT_EQ(list->item(4)->data(Qt::UserRole).toInt(), 10000);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Unchecked);
    SaveScreenshot(dialog, "scale-thresholds-dialog");
    list->item(1)->setCheckState(Qt::Unchecked);
    list->item(5)->setCheckState(Qt::Checked);
    Ok(dialog);
    CThresholdChecks expected{};
    expected[5] = expected[13] = true;
    EXPECT_EQ(dialog.Checks(), expected);
}

} // namespace
