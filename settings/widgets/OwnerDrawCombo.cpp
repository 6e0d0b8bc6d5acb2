#include "settings/widgets/OwnerDrawCombo.h"

#include "platform/DC.h"
#include "shell/DialogFont.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

class COwnerDrawCombo::CEntryDelegate : public QStyledItemDelegate {
public:
    explicit CEntryDelegate(COwnerDrawCombo& combo) : QStyledItemDelegate(&combo), m_combo(combo) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), m_combo.m_itemHeight};
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_combo.PaintEntry(*painter, option.rect, index.row(), (option.state & QStyle::State_Selected) != 0);
    }

private:
    COwnerDrawCombo& m_combo;
};

COwnerDrawCombo::COwnerDrawCombo(int itemHeight, QWidget* parent) : QComboBox(parent), m_itemHeight(itemHeight)
{
    setItemDelegate(new CEntryDelegate(*this));
    setMinimumHeight(itemHeight + 6);
}

void COwnerDrawCombo::PaintEntry(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    QImage image = MakeControlImage(*this, rect.size());
    if (image.isNull())
        return;
    {
        CDC dc(image);
        DrawEntry(dc, CRect(0, 0, rect.width(), rect.height()), index, selected, GetControlColors(this),
                  MakeDialogFont());
    }
    painter.drawImage(rect.topLeft(), image);
}

void COwnerDrawCombo::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0 && field.isValid())
        PaintEntry(painter, field, currentIndex(), hasFocus());
}
