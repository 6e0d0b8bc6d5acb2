#include "shell/widgets/DataExchange.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/FieldText.h"
#include "shell/widgets/ControlIds.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cstdio>
#include <vector>

QWidget* CDataExchange::Control(int id)
{
    if (m_failed)
        return nullptr;
    QWidget* control = FindControl(m_dialog, id);
    if (!control) {
        // A dialog without the control it exchanges: say so to the
        // developer, never touch a wrong widget.
        std::fprintf(stderr, "drel: dialog has no control %d\n", id);
        m_failed = true;
    }
    return control;
}

void CDataExchange::Fail(QWidget* control, const std::string& message)
{
    m_failed = true;
    AppMessageBox(message, MB_OK | MB_ICONWARNING);
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

bool CDataExchange::ReadText(QWidget* control, std::string& text) const
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        text = FromQString(edit->text());
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        text = FromQString(combo->currentText());
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        text = FromQString(plain->toPlainText());
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        text = FromQString(rich->toPlainText());
    else
        return false;
    return true;
}

void CDataExchange::WriteText(QWidget* control, const std::string& text) const
{
    SetControlText(control, ToQString(text));
}

void CDataExchange::Text(int id, std::string& value, int maxLength)
{
    QWidget* control = Control(id);
    if (!control)
        return;
    if (!m_save) {
        if (auto* edit = qobject_cast<QLineEdit*>(control); edit && maxLength > 0)
            edit->setMaxLength(maxLength);
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit() && maxLength > 0)
            combo->lineEdit()->setMaxLength(maxLength);
        WriteText(control, value);
        return;
    }
    std::string text;
    if (!ReadText(control, text))
        return;
    if (maxLength > 0 && text.size() > static_cast<size_t>(maxLength)) {
        Fail(control, TextLengthMessage(maxLength));
        return;
    }
    value = std::move(text);
}

void CDataExchange::Int(int id, int& value)
{
    IntField(id, value, false, 0, 0);
}

void CDataExchange::Int(int id, int& value, int min, int max)
{
    IntField(id, value, true, min, max);
}

void CDataExchange::Real(int id, double& value)
{
    RealField(id, value, false, 0, 0);
}

void CDataExchange::Real(int id, double& value, double min, double max)
{
    RealField(id, value, true, min, max);
}

// A field with a range names it also when its text is no number at all.
template <class T, class Parse, class Format, class Message>
void CDataExchange::NumberField(int id, T& value, bool ranged, T min, T max, Parse parse, Format format,
                                Message message)
{
    QWidget* control = Control(id);
    if (!control)
        return;
    if (!m_save) {
        WriteText(control, format(value));
        return;
    }
    std::string text;
    T parsed{};
    if (!ReadText(control, text) || !parse(text, parsed) || (ranged && (parsed < min || parsed > max))) {
        Fail(control, message(ranged, min, max));
        return;
    }
    value = parsed;
}

void CDataExchange::IntField(int id, int& value, bool ranged, int min, int max)
{
    NumberField(id, value, ranged, min, max, ParseIntField, FormatIntField, IntFieldMessage);
}

void CDataExchange::RealField(int id, double& value, bool ranged, double min, double max)
{
    NumberField(id, value, ranged, min, max, ParseRealField, FormatRealField, RealFieldMessage);
}

void CDataExchange::Check(int id, int& value)
{
    auto* box = qobject_cast<QAbstractButton*>(Control(id));
    if (!box)
        return;
    auto* tristate = qobject_cast<QCheckBox*>(box);
    if (!m_save) {
        if (tristate && value == 2) {
            tristate->setTristate(true);
            tristate->setCheckState(Qt::PartiallyChecked);
        } else {
            box->setChecked(value != 0);
        }
        return;
    }
    if (tristate && tristate->checkState() == Qt::PartiallyChecked)
        value = 2;
    else
        value = box->isChecked() ? 1 : 0;
}

void CDataExchange::Radio(std::initializer_list<int> ids, int& value)
{
    std::vector<QAbstractButton*> buttons;
    for (const int id : ids) {
        auto* button = qobject_cast<QAbstractButton*>(Control(id));
        if (!button)
            return;
        buttons.push_back(button);
    }
    if (!m_save) {
        for (size_t i = 0; i < buttons.size(); ++i) {
            // Auto-exclusive buttons cannot all be cleared otherwise.
            const bool exclusive = buttons[i]->autoExclusive();
            buttons[i]->setAutoExclusive(false);
            buttons[i]->setChecked(static_cast<int>(i) == value);
            buttons[i]->setAutoExclusive(exclusive);
        }
        return;
    }
    value = -1;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) {
            value = static_cast<int>(i);
            break;
        }
}

void CDataExchange::ComboIndex(int id, int& value)
{
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (!combo)
        return;
    if (!m_save)
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
    else
        value = combo->currentIndex();
}

void CDataExchange::ComboText(int id, std::string& value)
{
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (!combo)
        return;
    if (m_save) {
        value = FromQString(combo->currentText());
        return;
    }
    const QString text = ToQString(value);
    if (combo->isEditable()) {
        combo->setEditText(text);
        return;
    }
    int index = combo->findText(text, Qt::MatchExactly);
    if (index < 0 && !text.isEmpty())
        index = combo->findText(text, Qt::MatchStartsWith);
    combo->setCurrentIndex(index);
}
