#include "settings/widgets/SymbolListBox.h"

#include "platform/DC.h"
#include "render/SymbolLibrary.h"
#include "settings/PointSymbolRules.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QPainter>
#include <QStyledItemDelegate>

class CSymbolListBox::CItemDelegate : public QStyledItemDelegate {
public:
    explicit CItemDelegate(CSymbolListBox& list) : QStyledItemDelegate(&list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {kSymbolItemSize, kSymbolItemSize};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!m_list.m_library)
            return;
        const QRect& r = option.rect;
        QImage image = MakeControlImage(m_list, r.size());
        {
            CDC dc(image);
            DrawSymbolListItem(dc, CRect(0, 0, r.width(), r.height()), m_list.GetSymbol(index.row()),
                               (option.state & QStyle::State_Selected) != 0,
                               (option.state & QStyle::State_HasFocus) != 0, GetControlColors(&m_list),
                               *m_list.m_library);
        }
        painter->drawImage(r.topLeft(), image);
    }

private:
    CSymbolListBox& m_list;
};

CSymbolListBox::CSymbolListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new CItemDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Items run down the columns; the list scrolls sideways.
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSpacing(0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void CSymbolListBox::Fill(CSymbolLibrary& library)
{
    m_library = &library;
    clear();
    m_symbols = LibrarySymbols(library);
    for (const int symbol : m_symbols) {
        auto* item = new QListWidgetItem(this);
        item->setData(Qt::UserRole, symbol);
    }
}

int CSymbolListBox::GetSymbol(int item) const
{
    return SymbolOfItem(m_symbols, item);
}

int CSymbolListBox::GetSelectedSymbol() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : GetSymbol(row(selected.front()));
}

bool CSymbolListBox::SelectSymbol(int symbol)
{
    const int item = FindSymbolItem(m_symbols, symbol);
    if (item < 0) {
        clearSelection();
        return false;
    }
    setCurrentRow(item);
    scrollToItem(this->item(item));
    return true;
}
