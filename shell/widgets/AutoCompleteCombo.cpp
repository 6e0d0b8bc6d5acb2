#include "shell/widgets/AutoCompleteCombo.h"

#include "platform/QtText.h"
#include "shell/MainToolbars.h"
#include "shell/TypedCompletion.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/ControlIds.h"

#include <QLineEdit>

void CompleteTypedTextInEdit(QLineEdit& edit, int& lastLength, int count,
                             const std::function<std::string(int)>& entryText)
{
    const QString text = edit.text();
    const int caret = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
    const auto completion = CompleteTypedText(FromQString(text), static_cast<size_t>(lastLength),
                                              static_cast<size_t>(caret), count, entryText);
    if (completion) {
        const QString full = ToQString(completion->text);
        edit.setText(full);
        // The caret stays where typing goes on.
        edit.setSelection(static_cast<int>(full.size()), -static_cast<int>(completion->selectionLength));
    }
    lastLength = static_cast<int>(text.size());
}

CAutoCompleteCombo::CAutoCompleteCombo(bool editable, bool sorted, QWidget* parent)
    : CToolbarCombo(editable, sorted, parent)
{
    if (QLineEdit* edit = lineEdit())
        connect(edit, &QLineEdit::textEdited, this, &CAutoCompleteCombo::OnTextEdited);
    connect(this, &QComboBox::activated, this, &CAutoCompleteCombo::OnConfirmed);
}

void CAutoCompleteCombo::OnTextEdited(const QString&)
{
    if (!m_owner)
        CompleteTypedTextInEdit(*lineEdit(), m_lastLength, count(), [this](int i) { return FromQString(itemText(i)); });
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
