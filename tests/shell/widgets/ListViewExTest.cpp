#include "shell/widgets/ListViewEx.h"

#include "shell/widgets/PaletteColors.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kGrid = RGB(192, 192, 192);

class ListViewExTest : public ::testing::Test, private CWithApplication {
protected:
    ListViewExTest() : model(3, 3)
    {
        const char* rows[3][3] = {{"Gedimino pr.", "Vilnius", "574221"},
                                  {"Laisv\xC4\x97s al.", "Kaunas", "381007"},
                                  {"Taikos pr.", "Klaip\xC4\x97" "da", "152008"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                model.setItem(r, c, new QStandardItem(QString::fromUtf8(rows[r][c])));
        model.setHorizontalHeaderLabels({"Gatv\u0117", "Miestas", "Gyventojai"});
        model.setHeaderData(2, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
        view.setModel(&model);
        Widths(100, 80, 90);
        view.resize(420, 200);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.selectionModel()->select(model.index(1, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void Widths(int a, int b, int c)
    {
        view.header()->resizeSection(0, a);
        view.header()->resizeSection(1, b);
        view.header()->resizeSection(2, c);
    }
    QImage Picture() { return view.viewport()->grab().toImage(); }
    QRect Row(int row) { return view.visualRect(model.index(row, 0)); }
    static COLORREF At(const QImage& image, int x, int y)
    {
        const QRgb p = image.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }
    // The leftmost and rightmost dark pixels of a row between two x.
    static std::pair<int, int> Ink(const QImage& image, const QRect& row, int from, int to)
    {
        int left = -1, right = -1;
        for (int x = from; x < to; ++x)
            for (int y = row.top() + 1; y < row.bottom() - 1; ++y) {
                const QRgb p = image.pixel(x, y);
                if (qRed(p) + qGreen(p) + qBlue(p) < 3 * 100) {
                    if (left < 0)
                        left = x;
                    right = x;
                }
            }
        return {left, right};
    }

    QStandardItemModel model;
    CListViewEx view;
};

TEST_F(ListViewExTest, WholeRowsHighlightedBetweenGridLines)
{
    const COLORREF highlight = GetPaletteColor(&view, QPalette::Highlight);
    const QImage image = Picture();
    SaveScreenshot(view, "list-view");
    const QRect selected = Row(1), plain = Row(0);
    const int mid = selected.center().y();
    for (const int x : {95, 170, 185}) {
        EXPECT_EQ(At(image, x, mid), highlight) << x;
        EXPECT_EQ(At(image, x, plain.center().y()), view.GetTextBkColor()) << x;
    }
    // Not past the last column.
    EXPECT_EQ(At(image, 300, mid), view.GetBkColor());
    // Lines at each column's right edge and along each row's bottom.
    for (const int x : {99, 179, 269})
        EXPECT_EQ(At(image, x, plain.center().y()), kGrid) << x;
    EXPECT_EQ(At(image, 50, plain.bottom()), kGrid);
    EXPECT_EQ(At(image, 200, selected.bottom()), kGrid);
    EXPECT_EQ(At(image, 300, plain.bottom()), view.GetBkColor());

    // Without the focus the selection goes unless it shows always.
    view.clearFocus();
    view.SetShowSelectionAlways(false);
    EXPECT_EQ(At(Picture(), 170, mid), view.GetTextBkColor());
    view.SetShowSelectionAlways(true);
    EXPECT_EQ(At(Picture(), 170, mid), highlight);
}

TEST_F(ListViewExTest, NarrowColumnsCutTheirTextsAndLoseTheirAlignment)
{
    // A right-aligned column that fits keeps its texts at the right.
    QImage image = Picture();
    auto [left, right] = Ink(image, Row(0), 180, 270);
    EXPECT_GT(left, 180 + 20);
    EXPECT_GE(right, 270 - 4);

    // Narrowed, "574221" is cut and read from the left.
    Widths(100, 80, 40);
    image = Picture();
    // (The row's focus frame stands on its last pixel.)
    std::tie(left, right) = Ink(image, Row(0), 180, 219);
    EXPECT_GE(left, 180 + 6);
    EXPECT_LE(left, 180 + 8);
    EXPECT_LE(right, 220 - 6);

    // A column no wider than its extra shows nothing but its line.
    Widths(100, 7, 90);
    image = Picture();
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Ink(image, Row(row), 100, 106).first, -1) << row;
    Widths(100, 30, 90);
    image = Picture();
    EXPECT_NE(Ink(image, Row(0), 100, 129).first, -1);
    EXPECT_EQ(At(image, 129, Row(0).center().y()), kGrid);
}

} // namespace
