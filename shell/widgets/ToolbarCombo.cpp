#include "shell/widgets/ToolbarCombo.h"

#include "platform/Collation.h"

#include <QAbstractItemView>
#include <QLineEdit>

int AddComboItem(QComboBox* combo, const QString& text, intptr_t data, bool sorted)
{
    int at = combo->count();
    if (sorted) {
        // The first entry that sorts after the text.
        int low = 0, high = combo->count();
        while (low < high) {
            const int middle = (low + high) / 2;
            if (CompareLithuanian(combo->itemText(middle), text) <= 0)
                low = middle + 1;
            else
                high = middle;
        }
        at = low;
    }
    // As a list box adds a string: nothing becomes selected, an edit field
    // keeps what it shows.
    const bool noneSelected = combo->currentIndex() < 0;
    const QString shown = combo->currentText();
    combo->insertItem(at, text, QVariant::fromValue<qlonglong>(data));
    if (noneSelected) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->setEditText(shown);
    }
    return at;
}

intptr_t GetComboItemData(const QComboBox* combo, int index)
{
    if (index < 0 || index >= combo->count())
        return 0;
    return static_cast<intptr_t>(combo->itemData(index).toLongLong());
}

CToolbarCombo::CToolbarCombo(bool editable, bool sorted, QWidget* parent) : QComboBox(parent), m_sorted(sorted)
{
    setEditable(editable);
    if (editable) {
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
    }
}

void CToolbarCombo::showPopup()
{
    QComboBox::showPopup();
    QWidget* popup = view() ? view()->window() : nullptr;
    if (popup && popup != window() && m_dropDownHeight > 0 && popup->height() > m_dropDownHeight)
        popup->resize(popup->width(), m_dropDownHeight);
}
