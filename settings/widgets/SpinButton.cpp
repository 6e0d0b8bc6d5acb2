#include "settings/widgets/SpinButton.h"

#include "shell/FieldText.h"
#include "platform/QtText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

CSpinButton::CSpinButton(QLineEdit* buddy, int min, int max, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_min(min), m_max(max)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const int steps : {1, -1}) {
        auto* arrow = new QToolButton(this);
        arrow->setArrowType(steps > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setFixedSize(16, 11);
        layout->addWidget(arrow);
        connect(arrow, &QToolButton::clicked, this, [this, steps] { Step(steps); });
    }
    setFixedWidth(16);
    buddy->installEventFilter(this);
}

void CSpinButton::SetRange(int min, int max)
{
    m_min = std::min(min, max);
    m_max = std::max(min, max);
}

void CSpinButton::Step(int steps)
{
    int value = 0;
    if (!ParseIntField(FromQString(m_buddy->text()), value))
        value = steps > 0 ? m_min - steps : m_max - steps;
    const long long next = std::clamp<long long>(static_cast<long long>(value) + steps, m_min, m_max);
    m_buddy->setText(ToQString(FormatIntField(static_cast<int>(next))));
    m_buddy->selectAll();
}

bool CSpinButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
