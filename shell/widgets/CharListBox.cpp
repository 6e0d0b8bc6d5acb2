#include "shell/widgets/CharListBox.h"

#include "layers/PointStyle.h"
#include "platform/DC.h"
#include "render/SymbolLibrary.h"
#include "shell/ControlDrawing.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kCodeRole = Qt::UserRole;

} // namespace

class CCharListBox::CItemDelegate : public QStyledItemDelegate {
public:
    explicit CItemDelegate(CCharListBox& list) : QStyledItemDelegate(&list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {m_list.m_cell.columnWidth, m_list.m_cell.itemHeight};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_list.PaintItem(painter, option.rect, index.data(kCodeRole).toInt(),
                         (option.state & QStyle::State_Selected) != 0, (option.state & QStyle::State_HasFocus) != 0);
    }

private:
    CCharListBox& m_list;
};

void SetColumnListLayout(QListWidget& list)
{
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setViewMode(QListView::ListMode);
    list.setFlow(QListView::TopToBottom);
    list.setWrapping(true);
    list.setResizeMode(QListView::Adjust);
    list.setUniformItemSizes(true);
    list.setSpacing(0);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

CCharListBox::CCharListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new CItemDelegate(*this));
    SetColumnListLayout(*this);
}

void CCharListBox::SetFontName(const std::string& face)
{
    if (face.empty()) {
        m_face.clear();
        m_font.DeleteObject();
        clear();
        return;
    }
    const LOGFONT logFont = CharListFont(face);
    m_face = logFont.lfFaceName;
    m_font.CreateFontIndirect(logFont);
    // Checked here once: the painter draws nothing in a face that is not
    // there, and says so.
    m_faceInstalled = CFont::IsFaceInstalled(m_face);
    {
        QImage scratch = MakeControlImage(*this, QSize(1, 1));
        CDC dc(scratch);
        m_cell = MeasureCharListCell(dc, m_font);
    }
    if (count() == 0) {
        for (int code = kCharListFirstCode; code <= kCharListLastCode; ++code) {
            auto* item = new QListWidgetItem(this);
            item->setData(kCodeRole, code);
        }
    }
    // The new cell size lays the items out again.
    scheduleDelayedItemsLayout();
    viewport()->update();
}

int CCharListBox::GetSelectedChar() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->data(kCodeRole).toInt();
}

int CCharListBox::SelectChar(int code)
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(kCodeRole).toInt() == code) {
            setCurrentRow(row);
            scrollToItem(item(row));
            return 1;
        }
    }
    clearSelection();
    return 0;
}

void CCharListBox::PaintItem(QPainter* painter, const QRect& rect, int code, bool selected, bool focused) const
{
    QImage image = MakeControlImage(*this, rect.size());
    if (image.isNull())
        return;
    const ControlColors colours = GetControlColors(this);
    {
        CDC dc(image);
        const CRect box(0, 0, rect.width(), rect.height());
        dc.FillSolidRect(box, colours.window);
        const CPoint centre = box.CenterPoint();
        if (m_faceInstalled) {
            CPointStyle style;
            style.kind = CPointStyle::kFontCharacter;
            style.symbol = static_cast<uint16_t>(code);
            style.SetName(m_face);
            // The painter's size in tenths of a point, so it draws the list's 20 units.
            style.size = MulDiv(kCharListFontHeight, 720, dc.GetDeviceCaps(LOGPIXELSY));
            style.color = colours.windowText;
            SymbolLibrary().DrawFontSymbol(dc, centre.x, centre.y, style, 0);
        } else {
            dc.SelectObject(m_font);
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(colours.windowText);
            dc.SetTextAlign(TA_CENTER | TA_TOP);
            const std::string text(1, static_cast<char>(code));
            dc.TextOut(centre.x, centre.y - dc.GetTextExtent(text).cy / 2, text);
        }
        if (selected) {
            FrameRect(dc, box, colours.selection);
            CRect inner = box;
            inner.DeflateRect(1, 1);
            FrameRect(dc, inner, colours.selection);
        }
        if (focused) {
            CRect inner = box;
            inner.DeflateRect(2, 2);
            DrawFocusFrame(dc, inner, colours.windowText);
        }
    }
    painter->drawImage(rect.topLeft(), image);
}
