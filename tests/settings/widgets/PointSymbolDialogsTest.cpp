// The point symbol sheet, its three pages and the sign list, offscreen,
// found by their controls' ids.
#include "settings/widgets/DlgSymbols.h"
#include "settings/widgets/SignListDlg.h"
#include "settings/widgets/SymbolListBox.h"

#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/BaseScales.h"
#include "settings/PointSymbolRules.h"
#include "shell/widgets/CharListBox.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/PictureCtrl.h"
#include "shell/widgets/StyleSampleButton.h"
#include "tests/render/SymbolFixtures.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kSymbolList = 1072;

CPointStyle FontStyle(uint16_t code, uint32_t options = 0)
{
    CPointStyle style;
    style.kind = CPointStyle::kFontCharacter;
    style.symbol = code;
    style.SetName("DejaVu Sans");
    style.size = 120;
    style.angle = 450;
    style.color = RGB(200, 0, 0);
    style.options = options;
    return style;
}

class PointSymbolDialogsTest : public ::testing::Test, private CWithApplication {
protected:
    PointSymbolDialogsTest()
    {
        world.icons.count = 30;
        world.WriteUserFile("Symbols/5.ico", SolidIco(32, 0x3070F0));
        SetSymbolBaseScale(0);
    }
    ~PointSymbolDialogsTest() override { SetSymbolBaseScale(0); }
    // The sheet shown on the style, as DoModal would show it.
    std::unique_ptr<CDlgSymbols> Show(const CPointStyle& style)
    {
        auto sheet = std::make_unique<CDlgSymbols>();
        sheet->m_style = style;
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        return sheet;
    }
    static QString Number(const CDlgSymbols& sheet)
    {
        return FindControl<QLabel>(&sheet, CDlgSymbols::kNumberId)->text();
    }
    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteWholeFile(dir.File(name), bytes);
        return dir.File(name);
    }
    CSymbolWorld world;
    CTempDir dir;
};

TEST_F(PointSymbolDialogsTest, TheSheetStartsOnThePageOfTheStylesKindWithTheSampleBeside)
{
    CPointStyle picture;
    picture.kind = CPointStyle::kPicture;
    picture.size = 10000;
    const struct {
        const char* what;
        CPointStyle style;
        const char* page;
        const char* number;
    } cases[] = {
        {"library", [] { CPointStyle s; s.symbol = 7; return s; }(), "Piktograma", "Ženklo numeris: 7"},
        {"font", FontStyle(65), "Tekstinis", "Ženklo numeris: 65"},
        {"picture", picture, "Piešinys", "Ženklo numeris: 0"},
    };
    for (const auto& c : cases) {
        auto sheet = Show(c.style);
        EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("Sutartinis ženklas")) << c.what;
        ASSERT_TRUE(sheet->GetActivePage()) << c.what;
        EXPECT_EQ(sheet->GetActivePage()->GetCaption(), Utf8ToCp1257(c.page)) << c.what;
        EXPECT_EQ(Number(*sheet), QString::fromUtf8(c.number)) << c.what;
        EXPECT_EQ(sheet->GetCancelButton()->text(), QString::fromUtf8("Atsisakyti"));
        // The sample stands right of the pages, the sheet that much wider.
        auto* sample = FindControl<CStyleSampleButton>(sheet.get(), CDlgSymbols::kSampleId);
        auto* stack = sheet->findChild<QStackedWidget*>();
        ASSERT_TRUE(sample && stack);
        EXPECT_EQ(sample->size(), QSize(100, 100));
        EXPECT_FALSE(sample->isEnabled());
        const QPoint sampleLeft = sample->mapTo(sheet.get(), QPoint(0, 0));
        EXPECT_GT(sampleLeft.x(), stack->geometry().right());
        EXPECT_EQ(sheet->width() - (stack->geometry().right() + 1) - sheet->layout()->contentsMargins().right(),
                  CDlgSymbols::kSideWidth);
        SaveScreenshot(*sheet, (std::string("point-symbol-sheet-") + c.what).c_str());
    }
}

TEST_F(PointSymbolDialogsTest, OkHandsBackTheStyleAndCancelNothing)
{
    const CPointStyle before = FontStyle(66);
    for (const bool ok : {true, false}) {
        CPointStyle style = before;
        bool result = !ok;
        WithModalWindow([&] { result = RunDlgSymbols(style, nullptr); },
                        [&](QWidget& modal) {
                            auto& sheet = dynamic_cast<CDlgSymbols&>(modal);
                            auto* chars = FindControl<CCharListBox>(sheet.GetActivePage(), 1011);
                            ASSERT_TRUE(chars);
                            chars->SelectChar(90);
                            EXPECT_EQ(Number(sheet), QString::fromUtf8("Ženklo numeris: 90"));
                            (ok ? sheet.GetOkButton() : sheet.GetCancelButton())->click();
                        });
        EXPECT_EQ(result, ok);
        CPointStyle expected = before;
        if (ok)
            expected.symbol = 90;
        EXPECT_EQ(std::memcmp(&style, &expected, sizeof style), 0) << ok;
    }
}

TEST_F(PointSymbolDialogsTest, AStyleWithoutASymbolLeavesTheSampleAsItWas)
{
    auto sheet = Show(FontStyle(65));
    const CPointStyle shown = sheet->m_style;
    CPointStyle none = FontStyle(kNoSymbol);
    none.size = 480;
    sheet->SetStyle(none);
    EXPECT_EQ(sheet->m_style.size, shown.size);
    EXPECT_EQ(Number(*sheet), QString::fromUtf8("Ženklo numeris: 65"));
    EXPECT_EQ(FindControl<CStyleSampleButton>(sheet.get(), CDlgSymbols::kSampleId)->GetSample().point.symbol, 65);
}

TEST_F(PointSymbolDialogsTest, TheIconPageDoubleClickChoosesTheSymbolNumberAndClosesWithOk)
{
    CPointStyle style;
    style.symbol = 3;
    bool result = false;
    WithModalWindow([&] { result = RunDlgSymbols(style, nullptr); },
                    [&](QWidget& modal) {
                        auto& sheet = dynamic_cast<CDlgSymbols&>(modal);
                        auto* list = FindControl<CSymbolListBox>(sheet.GetActivePage(), kSymbolList);
                        ASSERT_TRUE(list);
                        EXPECT_EQ(list->GetSelectedSymbol(), 3);
                        const int row = list->count() - 1;
                        EXPECT_EQ(list->item(row)->data(Qt::UserRole).toInt(), 0x8005);
                        SaveScreenshot(sheet, "point-symbol-icon-page");
                        list->setCurrentRow(row);
                        emit list->itemDoubleClicked(list->item(row));
                        EXPECT_FALSE(sheet.isVisible());
                    });
    EXPECT_TRUE(result);
    EXPECT_EQ(style.kind, CPointStyle::kLibrary);
    EXPECT_EQ(style.symbol, 0x8005) << "the number, not the row";
}

TEST_F(PointSymbolDialogsTest, TheSignListGivesTheNumberOfTheItemOrMinusOne)
{
    const struct {
        const char* what;
        int start;
        bool doubleClick;
        bool clear;
        int result;
    } cases[] = {
        {"the one given stays", 4, false, false, 4},
        {"a double-click on an icon file", 4, true, false, 0x8005},
        {"no selection", 4, false, true, -1},
        {"a number the list lacks", 999, false, false, -1},
    };
    for (const auto& c : cases) {
        int symbol = c.start;
        bool ok = false;
        WithModalWindow([&] { ok = RunSignList(symbol, nullptr); },
                        [&](QWidget& dialog) {
                            EXPECT_EQ(GetControlId(&dialog), 159);
                            EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Sutartiniai ženklai"));
                            auto* list = FindControl<CSymbolListBox>(&dialog, kSymbolList);
                            ASSERT_TRUE(list);
                            if (c.doubleClick) {
                                emit list->itemDoubleClicked(list->item(list->count() - 1));
                                EXPECT_FALSE(dialog.isVisible()) << c.what;
                                return;
                            }
                            if (c.clear)
                                list->clearSelection();
                            SaveScreenshot(dialog, "sign-list");
                            FindControl<QPushButton>(&dialog, IDOK)->click();
                        });
        EXPECT_TRUE(ok) << c.what;
        EXPECT_EQ(symbol, c.result) << c.what;
    }
}

TEST_F(PointSymbolDialogsTest, TheFontPageEditsTheCharactersStyle)
{
    SetSymbolBaseScale(25000);
    auto sheet = Show(FontStyle(65, CPointStyle::kBlackHalo | CPointStyle::kBold));
    QWidget* page = sheet->GetActivePage();
    auto* faces = FindControl<QComboBox>(page, 1000);
    ASSERT_TRUE(faces);
    QStringList listed;
    for (int i = 0; i < faces->count(); ++i)
        listed << faces->itemText(i).toLower();
    EXPECT_EQ(listed.removeDuplicates(), 0) << "each face once";
    EXPECT_EQ(faces->currentText(), QString::fromUtf8("DejaVu Sans"));
    auto* size = FindControl<QComboBox>(page, 1002);
    EXPECT_EQ(size->currentText(), "12");
    EXPECT_EQ(FindControl<QLineEdit>(page, 1007)->text(), "45");
    EXPECT_TRUE(FindControl<QRadioButton>(page, 1005)->isChecked());
    EXPECT_TRUE(FindControl<QCheckBox>(page, 1001)->isChecked());
    EXPECT_FALSE(FindControl<QLineEdit>(page, 1010)->isEnabled());
    EXPECT_EQ(FindControl<QLineEdit>(page, 1010)->text(), "25000") << "the proposed base scale";
    SaveScreenshot(*sheet, "point-symbol-font-page");

    size->setCurrentIndex(size->findText("24"));
    emit size->activated(size->currentIndex());
    EXPECT_EQ(sheet->m_style.size, 240);
    size->setEditText("17");
    EXPECT_EQ(sheet->m_style.size, 170);
    auto* angle = FindControl<QLineEdit>(page, 1007);
    angle->setText("90");
    EXPECT_EQ(sheet->m_style.angle, 900);
    FindControl<QRadioButton>(page, 1004)->click();
    EXPECT_EQ(sheet->m_style.options & 0x18u, 0x08u);
    FindControl<QRadioButton>(page, 1003)->click();
    EXPECT_EQ(sheet->m_style.options & 0x18u, 0u);
    FindControl<QCheckBox>(page, 1006)->click();
    EXPECT_EQ(sheet->m_style.options & 0x04u, 0x04u);
    FindControl<QCheckBox>(page, 1009)->click();
    EXPECT_TRUE(FindControl<QLineEdit>(page, 1010)->isEnabled());
    EXPECT_EQ(sheet->m_style.options & 0x01u, 0x01u);
    EXPECT_EQ(sheet->m_style.referenceScale, 25000);
}

TEST_F(PointSymbolDialogsTest, ThePicturePageAnchorsTheChosenPictureAndPicksFromIt)
{
    CPointStyle style;
    style.kind = CPointStyle::kPicture;
    style.symbol = kNoSymbol;
    style.size = 10000;
    auto sheet = Show(style);
    auto* page = dynamic_cast<CDlgSymbPicture*>(sheet->GetActivePage());
    ASSERT_TRUE(page);
    EXPECT_FALSE(FindControl<QWidget>(page, 1036)->isEnabled()) << "no picture yet";
    EXPECT_TRUE(FindControl<QWidget>(page, 1071)->isHidden());
    EXPECT_TRUE(FindControl<QWidget>(page, 1026)->isHidden());

    page->SetPictureFile(Write("vieta.bmp", PlainBmp(40, 30, 24)));
    EXPECT_EQ(sheet->m_style.symbol, 0);
    EXPECT_EQ(sheet->m_style.anchorX, 20);
    EXPECT_EQ(sheet->m_style.anchorY, 15);
    EXPECT_EQ(FindControl<QLineEdit>(page, 1005)->text(), ToQString(dir.File("vieta.bmp")));
    EXPECT_EQ(Number(*sheet), QString::fromUtf8("Ženklo numeris: 0"));
    auto* picture = FindControl<CPictureCtrl>(page, 1017);
    ASSERT_TRUE(picture && picture->IsLoaded());
    // A raster picture: a transparent colour, no size.
    EXPECT_FALSE(FindControl<QWidget>(page, 1071)->isHidden());
    EXPECT_FALSE(FindControl<QWidget>(page, 133)->isEnabled()) << "only with the colour on";
    EXPECT_TRUE(FindControl<QWidget>(page, 1026)->isHidden());
    EXPECT_TRUE(FindControl<QWidget>(page, 1033)->isHidden());

    auto* x = FindControl<QLineEdit>(page, 1036);
    x->setText("500");
    EXPECT_EQ(sheet->m_style.anchorX, 40) << "kept inside the picture";
    emit x->editingFinished();
    EXPECT_EQ(x->text(), "40");
    FindControl<QPushButton>(page, 1027)->click();
    EXPECT_EQ(sheet->m_style.anchorX, 20);

    auto* anchorPick = FindControl<QPushButton>(page, 134);
    auto* colourPick = FindControl<QPushButton>(page, 133);
    EXPECT_EQ(anchorPick->toolTip(), QString::fromUtf8("Pririšimo tašką nurodyti piešinyje"));
    EXPECT_EQ(colourPick->toolTip(), QString::fromUtf8("Peršviečiamą spalvą nurodyti piešinyje"));
    anchorPick->click();
    EXPECT_EQ(picture->GetPickCursor(), 134);
    const CRect r = picture->GetPictureRect();
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(r.left + 3, r.top + 4));
    EXPECT_EQ(sheet->m_style.anchorX, 3);
    EXPECT_EQ(sheet->m_style.anchorY, 4);

    FindControl<QCheckBox>(page, 1071)->click();
    EXPECT_EQ(sheet->m_style.options & 0x20u, 0x20u);
    ASSERT_TRUE(colourPick->isEnabled());
    colourPick->click();
    EXPECT_TRUE(colourPick->isChecked());
    EXPECT_FALSE(anchorPick->isChecked()) << "the pick buttons exclude each other";
    EXPECT_EQ(picture->GetPickCursor(), 133);
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(r.left + 7, r.top + 2));
    EXPECT_EQ(sheet->m_style.color, FixtureColour(FixtureIndex(7, 2, 16)));
    SaveScreenshot(*sheet, "point-symbol-picture-page");
    FindControl<QCheckBox>(page, 1071)->click();
    EXPECT_EQ(sheet->m_style.options & 0x20u, 0u);
    EXPECT_FALSE(colourPick->isChecked());
    EXPECT_EQ(picture->GetPickCursor(), 0);
}

TEST_F(PointSymbolDialogsTest, ABadBitmapOnThePicturePageDrawsNothingAndTakesTheFocusOnward)
{
    CPointStyle style;
    style.kind = CPointStyle::kPicture;
    style.size = 10000;
    auto sheet = Show(style);
    auto* page = dynamic_cast<CDlgSymbPicture*>(sheet->GetActivePage());
    ASSERT_TRUE(page);
    page->SetPictureFile(Write("geras.bmp", PlainBmp(40, 30, 24)));
    auto* x = FindControl<QLineEdit>(page, 1036);
    sheet->activateWindow();
    x->setFocus();
    ASSERT_TRUE(WaitFor([x] { return x->hasFocus(); }));

    const std::string good = PlainBmp(6, 4, 8);
    std::string lying = good;
    lying[10] = '\x70';
    InfoHeaderFields huge;
    huge.width = huge.height = 100000;
    huge.bits = 24;
    const std::pair<const char*, std::string> files[] = {
        {"cut-short.bmp", good.substr(0, good.size() - 9)},
        {"pixel-offset-past-end.bmp", lying},
        {"header-100000-square.bmp", WithFileHeader(InfoHeader(huge), 54)},
    };
    for (const auto& [name, bytes] : files) {
        page->SetPictureFile(Write(name, bytes));
        auto* picture = FindControl<CPictureCtrl>(page, 1017);
        EXPECT_FALSE(picture->IsLoaded()) << name;
        EXPECT_FALSE(x->isEnabled()) << name;
        EXPECT_FALSE(x->hasFocus()) << name;
        const QImage shown = picture->grab().toImage();
        EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), shown.pixelColor(10, 10)) << name;
    }
}

} // namespace
