#include "shell/widgets/ListViewEx.h"

#include "platform/DC.h"
#include "platform/QtText.h"
#include "shell/ControlDrawing.h"
#include "shell/DialogFont.h"
#include "shell/TextFit.h"
#include "shell/widgets/PaletteColors.h"

#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kSmallImage = 16;
constexpr COLORREF kGridColour = RGB(192, 192, 192);

// The small image of a row as an icon, mixed half and half with the
// highlight colour on a highlighted row.
CIcon SmallImage(const QVariant& decoration, bool highlighted, COLORREF highlight)
{
    QImage image;
    if (decoration.canConvert<QIcon>())
        image = decoration.value<QIcon>().pixmap(kSmallImage, kSmallImage).toImage();
    else if (decoration.canConvert<QPixmap>())
        image = decoration.value<QPixmap>().toImage();
    else if (decoration.canConvert<QImage>())
        image = decoration.value<QImage>();
    if (image.isNull())
        return {};
    image = image.scaled(kSmallImage, kSmallImage).convertToFormat(QImage::Format_ARGB32);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgb p = row[x];
            if (highlighted)
                p = qRgba((qRed(p) + GetRValue(highlight)) / 2, (qGreen(p) + GetGValue(highlight)) / 2,
                          (qBlue(p) + GetBValue(highlight)) / 2, qAlpha(p));
            pixels.push_back(p);
        }
    }
    CIcon icon;
    icon.CreateFromPixels(image.width(), image.height(), pixels.data());
    return icon;
}

void VerticalLine(CDC& dc, int x, int top, int bottom)
{
    dc.FillSolidRect(CRect(x, top, x + 1, bottom), kGridColour);
}

} // namespace

CListViewEx::CListViewEx(QWidget* parent) : QTreeView(parent)
{
    const CFont font = MakeDialogFont();
    setFont(font.Realize(font.LogFont().lfHeight, 96));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    // Columns keep the widths they are given, as in a report list.
    header()->setStretchLastSection(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_textColour = GetPaletteColor(this, QPalette::Text);
    m_textBkColour = GetPaletteColor(this, QPalette::Base);
    m_bkColour = m_textBkColour;
}

void CListViewEx::SetTextColor(COLORREF colour)
{
    m_textColour = colour;
    viewport()->update();
}

void CListViewEx::SetTextBkColor(COLORREF colour)
{
    m_textBkColour = colour;
    viewport()->update();
}

void CListViewEx::SetBkColor(COLORREF colour)
{
    m_bkColour = colour;
    viewport()->update();
}

void CListViewEx::SetFullRowSelection(bool on)
{
    m_fullRow = on;
    viewport()->update();
}

void CListViewEx::SetShowSelectionAlways(bool on)
{
    m_showSelectionAlways = on;
    viewport()->update();
}

void CListViewEx::SetStateImages(std::vector<CIcon> images)
{
    m_stateImages = std::move(images);
    viewport()->update();
}

void CListViewEx::RepaintSelectedItems()
{
    const auto repaint = [this](const QModelIndex& index) {
        const QRect r = visualRect(index);
        viewport()->update(QRect(0, r.top(), viewport()->width(), r.height()));
    };
    if (currentIndex().isValid())
        repaint(currentIndex());
    if (!m_showSelectionAlways && selectionModel())
        for (const QModelIndex& index : selectionModel()->selectedRows())
            repaint(index);
    viewport()->update();
}

void CListViewEx::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    RepaintSelectedItems();
}

void CListViewEx::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    RepaintSelectedItems();
}

std::string CListViewEx::CellText(const QModelIndex& index) const
{
    return FromQString(index.data(Qt::DisplayRole).toString().left(kMaxItemText));
}

void CListViewEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect row = option.rect;
    if (row.isEmpty())
        return;
    QImage image(row.size(), QImage::Format_RGB32);
    if (image.isNull())
        return;
    {
        CDC dc(image);
        // Viewport coordinates on the row's picture.
        dc.SetViewportOrg(-row.left(), -row.top());
        DrawRow(dc, row, index);
    }
    painter->drawImage(row.topLeft(), image);
}

void CListViewEx::DrawRow(CDC& dc, const QRect& row, const QModelIndex& index) const
{
    const QHeaderView* head = header();
    std::vector<int> columns; // logical, in the order shown
    for (int v = 0; v < head->count(); ++v) {
        const int logical = head->logicalIndex(v);
        if (!head->isSectionHidden(logical))
            columns.push_back(logical);
    }
    const CRect all(row.left(), row.top(), row.right() + 1, row.bottom() + 1);
    dc.FillSolidRect(all, m_bkColour);
    if (columns.empty())
        return;

    const int top = all.top, bottom = all.bottom;
    const int firstLeft = head->sectionViewportPosition(columns.front());
    const int firstRight = firstLeft + head->sectionSize(columns.front());
    const int itemRight = head->sectionViewportPosition(columns.back()) + head->sectionSize(columns.back());
    const QModelIndex first = index.siblingAtColumn(columns.front());

    const bool selected = selectionModel() && selectionModel()->isSelected(first);
    const bool highlighted = selected && (hasFocus() || m_showSelectionAlways);
    const COLORREF highlight = GetPaletteColor(this, QPalette::Highlight);
    const COLORREF textColour = highlighted ? GetPaletteColor(this, QPalette::HighlightedText) : m_textColour;

    int labelLeft = firstLeft;
    const int stateIndex = first.data(kStateImageRole).toInt();
    const int stateWidth = m_stateImages.empty() ? 0 : m_stateImages.front().GetSize().cx;
    const CIcon small = SmallImage(first.data(Qt::DecorationRole), highlighted, highlight);
    labelLeft += stateWidth + (small.GetSafeHandle() ? kSmallImage + 2 : 0);

    const CRect marked(labelLeft, top, m_fullRow ? itemRight : firstRight, bottom);
    dc.FillSolidRect(marked, highlighted ? highlight : m_textBkColour);

    if (stateIndex > 0 && stateIndex <= static_cast<int>(m_stateImages.size())) {
        const CIcon& state = m_stateImages[stateIndex - 1];
        dc.DrawIconEx(firstLeft, top + (all.Height() - state.GetSize().cy) / 2, state, 0, 0);
    }
    if (small.GetSafeHandle())
        dc.DrawIconEx(firstLeft + stateWidth, top + (all.Height() - kSmallImage) / 2, small, 0, 0);

    dc.SelectObject(MakeDialogFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(textColour);
    const auto measure = [&dc](std::string_view text) { return dc.GetTextExtent(text).cx; };
    constexpr unsigned kCell = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

    CRect label(labelLeft + 2, top, firstRight, bottom);
    dc.DrawText(ShortenText(CellText(first), firstRight - labelLeft, kFirstColumnExtra, measure), &label, kCell);
    VerticalLine(dc, firstRight - 1, top, bottom);

    int right = firstRight;
    for (size_t c = 1; c < columns.size(); ++c) {
        const int width = head->sectionSize(columns[c]);
        const int left = right;
        right = left + width;
        if (width <= 0)
            continue;
        VerticalLine(dc, right - 1, top, bottom);
        const int alignment =
            model()->headerData(columns[c], Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask;
        const bool aligned = alignment & (Qt::AlignRight | Qt::AlignHCenter);
        const std::string text = CellText(index.siblingAtColumn(columns[c]));
        const std::string shown = ShortenText(text, width, aligned ? kAlignedExtra : kLeftExtra, measure);
        // Shortened texts read from their start.
        unsigned format = kCell;
        if (aligned && shown == text)
            format |= (alignment & Qt::AlignRight) ? DT_RIGHT : DT_CENTER;
        CRect cell(left + 6, top, (format & (DT_RIGHT | DT_CENTER)) ? right - 1 : right - 6, bottom);
        dc.DrawText(shown, &cell, format);
    }
    dc.FillSolidRect(CRect(firstLeft, bottom - 1, itemRight, bottom), kGridColour);

    if (hasFocus() && currentIndex().row() == index.row() && currentIndex().parent() == index.parent())
        DrawFocusFrame(dc, CRect(marked.left, top, marked.right, bottom - 1), textColour);
}
