#include "shell/widgets/AutoCompleteCombo.h"

#include "shell/MainToolbars.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/ControlIds.h"

#include <QLineEdit>

CAutoCompleteCombo::CAutoCompleteCombo(bool editable, bool sorted, QWidget* parent)
    : CToolbarCombo(editable, sorted, parent)
{
    if (QLineEdit* edit = lineEdit())
        connect(edit, &QLineEdit::textEdited, this, &CAutoCompleteCombo::OnTextEdited);
    connect(this, &QComboBox::activated, this, &CAutoCompleteCombo::OnConfirmed);
}

void CAutoCompleteCombo::OnTextEdited(const QString& text)
{
    if (m_owner)
        return;
    QLineEdit* edit = lineEdit();
    const int length = static_cast<int>(text.size());
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    // Only typing at the end completes; deleting never does.
    if (length > m_lastLength && start == length) {
        const int found = findText(text, Qt::MatchStartsWith);
        if (found >= 0) {
            const QString full = itemText(found);
            edit->setText(full);
            edit->setSelection(static_cast<int>(full.size()), length - static_cast<int>(full.size()));
        }
    }
    m_lastLength = length;
}

void CAutoCompleteCombo::OnConfirmed()
{
    if (m_owner) {
        // The street list hangs on the city; a street chosen is only the
        // text the search takes.
        if (GetControlId(this) == kCityBox)
            ToolbarSearchHooks().FillCityStreetCombos(*m_owner, 1);
        return;
    }
    if (CDrelDoc* map = m_activeMap ? m_activeMap() : nullptr)
        ToolbarSearchHooks().OnAdminComboSelChange(*map, GetControlId(this));
}
