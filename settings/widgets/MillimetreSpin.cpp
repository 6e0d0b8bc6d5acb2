#include "settings/widgets/MillimetreSpin.h"

#include "platform/QtText.h"
#include "settings/StyleDialogRules.h"

#include <QLineEdit>

CMillimetreSpin::CMillimetreSpin(QLineEdit* buddy, QWidget* parent) : CSpinButton(buddy, 0, 100, parent)
{
    buddy->setMaxLength(kMillimetreLength);
    connect(buddy, &QLineEdit::textEdited, this, [this] { Changed(); });
    connect(buddy, &QLineEdit::editingFinished, this, [this] {
        const QString left = ToQString(LeftMillimetres(FromQString(Buddy()->text())));
        if (left != Buddy()->text())
            Buddy()->setText(left);
    });
}

void CMillimetreSpin::Step(int steps)
{
    Buddy()->setText(ToQString(StepMillimetres(FromQString(Buddy()->text()), steps)));
    Buddy()->selectAll();
    Changed();
}

void CMillimetreSpin::Changed()
{
    if (m_changed)
        m_changed(ReadThousandths(FromQString(Buddy()->text())));
}
