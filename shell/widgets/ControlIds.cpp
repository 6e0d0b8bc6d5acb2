#include "shell/widgets/ControlIds.h"

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
