#include "shell/widgets/ControlIds.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

void SetControlId(QObject* object, int id)
{
    if (object)
        object->setObjectName(QString::number(id));
}

int GetControlId(const QObject* object)
{
    if (!object)
        return 0;
    bool ok = false;
    const int id = object->objectName().toInt(&ok);
    return ok ? id : 0;
}

bool SetControlText(QWidget* control, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        rich->setPlainText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else
        return false;
    return true;
}
