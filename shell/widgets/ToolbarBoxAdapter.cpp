#include "shell/widgets/ToolbarBoxAdapter.h"

#include "platform/QtText.h"
#include "shell/widgets/AutoCompleteCombo.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/ToolbarCombo.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

QComboBox* CToolbarBoxAdapter::Combo() const
{
    return qobject_cast<QComboBox*>(m_box.data());
}

void CToolbarBoxAdapter::ResetContent()
{
    if (QComboBox* combo = Combo()) {
        combo->clear();
        if (combo->isEditable())
            combo->clearEditText();
    } else if (auto* edit = qobject_cast<QLineEdit*>(m_box.data())) {
        edit->clear();
    }
}

int CToolbarBoxAdapter::AddString(const std::string& text, intptr_t data)
{
    QComboBox* combo = Combo();
    return combo ? AddComboItem(combo, ToQString(text), data, m_sorted) : -1;
}

int CToolbarBoxAdapter::GetCount() const
{
    const QComboBox* combo = Combo();
    return combo ? combo->count() : 0;
}

std::string CToolbarBoxAdapter::GetItemText(int index) const
{
    const QComboBox* combo = Combo();
    return combo && index >= 0 && index < combo->count() ? FromQString(combo->itemText(index)) : std::string();
}

intptr_t CToolbarBoxAdapter::GetItemData(int index) const
{
    const QComboBox* combo = Combo();
    return combo ? GetComboItemData(combo, index) : 0;
}

int CToolbarBoxAdapter::GetCurSel() const
{
    const QComboBox* combo = Combo();
    if (!combo)
        return -1;
    // Typing over a chosen entry leaves no entry chosen.
    if (combo->isEditable() && combo->currentText() != combo->itemText(combo->currentIndex()))
        return -1;
    return combo->currentIndex();
}

void CToolbarBoxAdapter::SetCurSel(int index)
{
    if (QComboBox* combo = Combo())
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

std::string CToolbarBoxAdapter::GetText() const
{
    if (const QComboBox* combo = Combo())
        return FromQString(combo->currentText());
    if (const auto* edit = qobject_cast<const QLineEdit*>(m_box.data()))
        return FromQString(edit->text());
    if (const auto* label = qobject_cast<const QLabel*>(m_box.data()))
        return FromQString(label->text());
    return {};
}

void CToolbarBoxAdapter::SetText(const std::string& text)
{
    if (QComboBox* combo = Combo(); combo && !combo->isEditable()) {
        combo->setCurrentIndex(combo->findText(ToQString(text), Qt::MatchExactly));
        return;
    }
    if (m_box)
        SetControlText(m_box, ToQString(text));
}

void CToolbarBoxAdapter::Enable(bool on)
{
    if (m_box)
        m_box->setEnabled(on);
}

bool CToolbarBoxAdapter::IsEnabled() const
{
    return m_box && m_box->isEnabled();
}

CDrelDoc* CToolbarBoxAdapter::GetOwnerDocument() const
{
    const auto* combo = dynamic_cast<const CAutoCompleteCombo*>(m_box.data());
    return combo ? combo->GetOwnerDocument() : nullptr;
}

void CToolbarBoxAdapter::SetOwnerDocument(CDrelDoc* document)
{
    if (auto* combo = dynamic_cast<CAutoCompleteCombo*>(m_box.data()))
        combo->SetOwnerDocument(document);
}
