#pragma once

#include <QObject>
#include <QString>

// Every control, action and bar carries its resource id as its object
// name, so code and tests find it by the id the dialogs and menus use.
void SetControlId(QObject* object, int id);
// 0 when the object has no id.
int GetControlId(const QObject* object);
// The widget, made with its id.
template <class T>
T* WithId(int id, T* widget)
{
    SetControlId(widget, id);
    return widget;
}

class QWidget;
// The text a control shows: an edit's, an editable combo's edit text, a
// plain-text edit's, a label's, a button's. False for other controls.
bool SetControlText(QWidget* control, const QString& text);

template <class T = QWidget>
T* FindControl(const QObject* root, int id)
{
    return root ? root->findChild<T*>(QString::number(id)) : nullptr;
}
