#include "shell/widgets/CharListBox.h"

#include "layers/PointStyle.h"
#include "platform/DC.h"
#include "render/SymbolLibrary.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kListId = 1011;

class CharListBoxTest : public ::testing::Test, private CWithApplication {
protected:
    CharListBoxTest()
    {
        SetControlId(&list, kListId);
        list.resize(400, 200);
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    std::vector<int> Codes() const
    {
        std::vector<int> codes;
        for (int row = 0; row < list.count(); ++row)
            codes.push_back(list.item(row)->data(Qt::UserRole).toInt());
        return codes;
    }
    static std::vector<int> AllCodes()
    {
        std::vector<int> codes;
        for (int code = 32; code <= 255; ++code)
            codes.push_back(code);
        return codes;
    }
    QRect ItemRect(int code) { return list.visualItemRect(list.item(code - 32)); }

    CScriptedUserServices user;
    CCharListBox list;
};

TEST_F(CharListBoxTest, FillsTheCodesOfAnyFace)
{
    list.SetFontName("DejaVu Sans");
    EXPECT_EQ(Codes(), AllCodes());
    list.SetFontName("");
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.GetFontName(), "");
    // Not installed: filled all the same, without a word.
    list.SetFontName("Nesamas Simboliu Sriftas");
    EXPECT_EQ(Codes(), AllCodes());
    EXPECT_TRUE(user.messages.empty());
    // Another face keeps the items.
    list.SetFontName("DejaVu Serif");
    EXPECT_EQ(Codes(), AllCodes());

    const std::string longFace = "Labai ilgas simboliu srifto pavadinimas";
    ASSERT_GT(longFace.size(), 31u);
    list.SetFontName(longFace);
    EXPECT_EQ(list.GetFontName(), longFace.substr(0, 31));
}

TEST_F(CharListBoxTest, ItemsTakeTheCellOfTheFont)
{
    list.SetFontName("DejaVu Sans");
    QCoreApplication::processEvents();
    QImage scratch = MakeControlImage(list, QSize(1, 1));
    CDC dc(scratch);
    const CharListCell cell = MeasureCharListCell(dc, list.GetFont());
    EXPECT_EQ(list.GetCell().itemHeight, cell.itemHeight);
    EXPECT_EQ(list.GetCell().columnWidth, cell.columnWidth);
    const QRect first = ItemRect(32);
    EXPECT_EQ(first.size(), QSize(cell.columnWidth, cell.itemHeight));
    // Down the first column, then on in the next.
    EXPECT_EQ(ItemRect(33).top(), first.bottom() + 1);
    const int perColumn = list.viewport()->height() / cell.itemHeight;
    EXPECT_EQ(ItemRect(32 + perColumn).left(), first.right() + 1);
}

TEST_F(CharListBoxTest, SelectsByCode)
{
    list.SetFontName("DejaVu Sans");
    EXPECT_EQ(list.GetSelectedChar(), -1);
    EXPECT_EQ(list.SelectChar(0xB0), 1);
    EXPECT_EQ(list.GetSelectedChar(), 0xB0);
    EXPECT_EQ(list.SelectChar(31), 0);
    EXPECT_EQ(list.GetSelectedChar(), -1);
    EXPECT_EQ(list.SelectChar(65), 1);
    EXPECT_EQ(list.SelectChar(256), 0);
    EXPECT_EQ(list.GetSelectedChar(), -1);
}

// Each item holds what the point-symbol painter draws for the code in the face.
TEST_F(CharListBoxTest, ItemsShowThePaintersGlyphs)
{
    list.resize(1100, 240); // every item in sight
    list.SetFontName("DejaVu Sans");
    list.SelectChar(0x21);
    list.clearFocus();
    QCoreApplication::processEvents();
    const QImage shown = list.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    SaveScreenshot(list, "char-list");
    const COLORREF text = GetPaletteColor(&list, QPalette::Text);
    for (const int code : {int('A'), int('g'), int('%'), 0xB0, 0xE0, 0xF0, 0xFE}) {
        const QRect r = ItemRect(code);
        ASSERT_TRUE(list.viewport()->rect().contains(r)) << code;
        QImage expected = MakeControlImage(list, r.size());
        {
            CDC dc(expected);
            dc.FillSolidRect(CRect(0, 0, r.width(), r.height()), GetPaletteColor(&list, QPalette::Base));
            CPointStyle style;
            style.kind = CPointStyle::kFontCharacter;
            style.symbol = static_cast<uint16_t>(code);
            style.SetName("DejaVu Sans");
            style.size = MulDiv(20, 720, dc.GetDeviceCaps(LOGPIXELSY));
            style.color = text;
            ASSERT_EQ(SymbolLibrary().DrawFontSymbol(dc, r.width() / 2, r.height() / 2, style, 0), 1);
        }
        int ink = 0;
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x) {
                ASSERT_EQ(shown.pixel(r.left() + x, r.top() + y), expected.pixel(x, y)) << code << " " << x << "," << y;
                ink += qRed(expected.pixel(x, y)) < 128 ? 1 : 0;
            }
        EXPECT_GT(ink, 4) << code;
    }
    // The selected item: two frames in the highlight colour.
    const QRect selected = ItemRect(0x21);
    const QRgb highlight = list.palette().color(QPalette::Highlight).rgb();
    EXPECT_EQ(shown.pixel(selected.left(), selected.center().y()), highlight);
    EXPECT_EQ(shown.pixel(selected.left() + 1, selected.center().y()), highlight);
    EXPECT_NE(shown.pixel(selected.left() + 2, selected.center().y()), highlight);
}

} // namespace
