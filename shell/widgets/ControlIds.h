#pragma once

#include <QObject>
#include <QString>

// Every control, action and bar carries its resource id as its object
// name, so code and tests find it by the id the dialogs and menus use.
void SetControlId(QObject* object, int id);
// 0 when the object has no id.
int GetControlId(const QObject* object);

template <class T = QWidget>
T* FindControl(const QObject* root, int id)
{
    return root ? root->findChild<T*>(QString::number(id)) : nullptr;
}
