#include "settings/widgets/ThemeClassListBox.h"

#include "layers/ThemeClassList.h"
#include "platform/DC.h"
#include "platform/QtText.h"
#include "settings/StylePageRules.h"
#include "shell/DialogFont.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QPainter>
#include <QStyledItemDelegate>

class CThemeClassListBox::CItemDelegate : public QStyledItemDelegate {
public:
    explicit CItemDelegate(CThemeClassListBox& list) : QStyledItemDelegate(&list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {m_list.viewport()->width(), kClassItemHeight};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_list.PaintItem(*painter, option.rect, index.row(), (option.state & QStyle::State_Selected) != 0,
                         (option.state & QStyle::State_HasFocus) != 0);
    }

private:
    CThemeClassListBox& m_list;
};

CThemeClassListBox::CThemeClassListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new CItemDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);
}

void CThemeClassListBox::Fill(const CThemeClassList* classes)
{
    clear();
    m_classes = classes;
    if (!classes)
        return;
    // The texts serve the keyboard search and the tests; the items draw themselves.
    for (int i = 0; i < classes->GetCount(); ++i)
        addItem(ToQString(ThemeClassItemText(*classes, m_layerType, m_layer, i)));
}

void CThemeClassListBox::PaintItem(QPainter& painter, const QRect& rect, int index, bool selected,
                                   bool focused) const
{
    if (!m_classes)
        return;
    QImage image = MakeControlImage(*this, rect.size());
    if (image.isNull())
        return;
    {
        CDC dc(image);
        DrawThemeClassItem(dc, CRect(0, 0, rect.width(), rect.height()), *m_classes, m_layerType, m_layer, index,
                           selected, focused, GetControlColors(this), MakeDialogFont());
    }
    painter.drawImage(rect.topLeft(), image);
}
