#include "shell/widgets/ProgressDlg.h"

#include "platform/QtText.h"
#include "platform/Strings.h"
#include "shell/widgets/ControlIds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kSingleTemplate = 123, kDoubleTemplate = 276;
constexpr int kFirstBarId = 1003, kSecondBarId = 1004, kTextId = 1005;

QProgressBar* AddBar(QWidget* dialog, QVBoxLayout* layout, int id)
{
    auto* bar = new QProgressBar(dialog);
    SetControlId(bar, id);
    bar->setMinimumWidth(260);
    layout->addWidget(bar);
    return bar;
}

} // namespace

CProgressDlg::CProgressDlg(int captionId) : CProgressDlg(captionId, 125, kSingleTemplate) {}

CProgressDlg::CProgressDlg(int captionId, int defaultCaptionId, int templateId)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_captionId(captionId ? captionId : defaultCaptionId), m_templateId(templateId)
{
}

CProgressDlg::~CProgressDlg()
{
    DestroyWindow();
}

bool CProgressDlg::MakeControls()
{
    if (m_templateId != kSingleTemplate && m_templateId != kDoubleTemplate)
        return false;
    auto* layout = new QVBoxLayout(this);
    AddBar(this, layout, kFirstBarId);
    if (m_templateId == kDoubleTemplate) {
        auto* text = new QLabel(this);
        SetControlId(text, kTextId);
        text->setTextFormat(Qt::PlainText);
        layout->addWidget(text);
        AddBar(this, layout, kSecondBarId);
    }
    auto* cancel = new QPushButton(QStringLiteral("Nutraukti"), this);
    SetControlId(cancel, IDCANCEL);
    // Enter must not reach it: only a deliberate press cancels.
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] { m_cancel = true; });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cancel);
    row->addStretch();
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return true;
}

bool CProgressDlg::Create(QWidget* parent)
{
    if (m_created)
        return false;
    // The window is no child of its owner: a disabled owner would disable it too.
    m_owner = parent ? parent->window() : nullptr;
    if (m_owner && m_owner->isEnabled()) {
        m_owner->setEnabled(false);
        m_ownerDisabled = true;
    }
    if (layout() == nullptr && !MakeControls()) {
        EnableOwner();
        return false;
    }
    setWindowTitle(ToQString(LoadString(m_captionId)));
    QProgressBar* bar = Bar(kFirstBarId);
    bar->setRange(m_lower, std::max(m_lower, m_upper));
    bar->setValue(m_lower);
    if (m_owner) {
        winId();
        if (m_owner->windowHandle())
            windowHandle()->setTransientParent(m_owner->windowHandle());
        adjustSize();
        move(m_owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    show();
    m_created = true;
    return true;
}

void CProgressDlg::EnableOwner()
{
    if (m_ownerDisabled && m_owner)
        m_owner->setEnabled(true);
    m_ownerDisabled = false;
}

void CProgressDlg::DestroyWindow()
{
    if (!m_created)
        return;
    m_created = false;
    EnableOwner();
    hide();
    if (m_owner && m_owner->isVisible())
        m_owner->activateWindow();
}

QProgressBar* CProgressDlg::Bar(int id) const
{
    return FindControl<QProgressBar>(this, id);
}

void CProgressDlg::PumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CProgressDlg::SetBarPos(QProgressBar* bar, long long position)
{
    // A position outside the range stops at its end, as the bar control does.
    if (bar)
        bar->setValue(static_cast<int>(std::clamp<long long>(position, bar->minimum(), bar->maximum())));
}

void CProgressDlg::StepBar(QProgressBar* bar, int step)
{
    if (bar)
        SetBarPos(bar, std::max(bar->value(), bar->minimum()) + static_cast<long long>(step));
}

void CProgressDlg::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    if (QProgressBar* bar = Bar(kFirstBarId))
        bar->setRange(lower, std::max(lower, upper));
}

void CProgressDlg::SetStep(int step)
{
    m_step = step;
}

void CProgressDlg::SetPos(int position)
{
    PumpMessages();
    SetBarPos(Bar(kFirstBarId), position);
}

void CProgressDlg::StepIt()
{
    PumpMessages();
    StepBar(Bar(kFirstBarId), m_step);
}

bool CProgressDlg::CheckCancel()
{
    PumpMessages();
    const bool cancel = m_cancel;
    m_cancel = false;
    return cancel;
}

void CProgressDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        m_cancel = true;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CProgressDlg::reject()
{
    m_cancel = true;
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    m_cancel = true;
    event->ignore();
}

CDoubleProgressDlg::CDoubleProgressDlg(int captionId) : CProgressDlg(captionId, 126, kDoubleTemplate) {}

void CDoubleProgressDlg::SetText(const std::string& text)
{
    if (auto* label = FindControl<QLabel>(this, kTextId))
        label->setText(ToQString(text));
}

void CDoubleProgressDlg::CSecondBar::SetRange(int lower, int upper)
{
    if (QProgressBar* bar = m_owner.Bar(kSecondBarId))
        bar->setRange(lower, std::max(lower, upper));
}

void CDoubleProgressDlg::CSecondBar::SetPos(int position)
{
    PumpMessages();
    SetBarPos(m_owner.Bar(kSecondBarId), position);
}

void CDoubleProgressDlg::CSecondBar::StepIt()
{
    PumpMessages();
    StepBar(m_owner.Bar(kSecondBarId), m_step);
}
