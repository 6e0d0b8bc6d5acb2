#include "shell/widgets/MessageBox.h"

#include "platform/DC.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/DialogFont.h"
#include "shell/MessageBoxLayout.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/StaticText.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

// The static controls of the box share this id.
constexpr int kStaticId = 0xFFFF;

QStyle::StandardPixmap StandardIcon(int icon)
{
    switch (icon) {
    case 32513:
        return QStyle::SP_MessageBoxCritical;
    case 32514:
        return QStyle::SP_MessageBoxQuestion;
    case 32515:
        return QStyle::SP_MessageBoxWarning;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

class CMessageBoxDlg : public QDialog {
public:
    CMessageBoxDlg(QWidget* owner, const std::string& text, const std::string& caption, unsigned type);

protected:
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    void OnButton(int id);

    QWidget* m_owner;
    unsigned m_type;
};

CMessageBoxDlg::CMessageBoxDlg(QWidget* owner, const std::string& text, const std::string& caption, unsigned type)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_owner(owner), m_type(type)
{
    setWindowModality(Qt::ApplicationModal);
    if (type & (MB_SYSTEMMODAL | MB_TOPMOST))
        setWindowFlag(Qt::WindowStaysOnTopHint);
    if (!caption.empty())
        setWindowTitle(ToQString(caption));

    const CFont font = MakeDialogFont();
    setFont(font.Realize(font.LogFont().lfHeight, 96));
    MessageBoxMetrics metrics;
    {
        QImage scratch(1, 1, QImage::Format_RGB32);
        CDC dc(scratch);
        dc.SelectObject(font);
        TEXTMETRIC tm;
        dc.GetTextMetrics(&tm);
        metrics.charWidth = tm.tmAveCharWidth;
        metrics.charHeight = tm.tmHeight;
    }
    const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    metrics.workAreaWidth = screen ? screen->availableGeometry().width() : 640;
    winId();
    metrics.nonClient = CSize(frameGeometry().width() - geometry().width(), frameGeometry().height() - geometry().height());
    if (!caption.empty()) {
        // The title bar's text in a bold font, beside the window's icon and
        // its buttons, each about as wide as the bar is high.
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        const int bar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        metrics.captionWidth = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 4 * bar - metrics.nonClient.cx;
    }

    const int icon = GetMessageBoxIcon(type);
    QLabel* iconLabel = nullptr;
    if (icon) {
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        iconLabel = new QLabel(this);
        SetControlId(iconLabel, kStaticId);
        iconLabel->setPixmap(style()->standardIcon(StandardIcon(icon), nullptr, this).pixmap(side, side));
        iconLabel->setProperty("systemIcon", icon);
        metrics.icon = CSize(side, side);
    }

    const std::vector<int> buttons = GetMessageBoxButtons(type);
    const MessageBoxLayout layout = LayOutMessageBox(metrics, static_cast<int>(buttons.size()), [&](int maxWidth) {
        return CStaticText::Measure(text, font, maxWidth);
    });
    const auto place = [](QWidget* w, const CRect& r) { w->setGeometry(r.left, r.top, r.Width(), r.Height()); };
    if (iconLabel)
        place(iconLabel, layout.icon);
    auto* label = new CStaticText(text, font, (type & MB_RIGHT) != 0, this);
    SetControlId(label, kStaticId);
    place(label, layout.text);

    const int defaultButton = GetMessageBoxDefaultButton(type);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const int id = buttons[i];
        auto* button = new QPushButton(QString::fromUtf8(GetMessageBoxButtonLabel(id)), this);
        SetControlId(button, id);
        place(button, layout.buttons[i]);
        connect(button, &QPushButton::clicked, this, [this, id] { OnButton(id); });
        if (static_cast<int>(i) == defaultButton) {
            button->setDefault(true);
            button->setFocus(Qt::OtherFocusReason);
        }
    }
    setFixedSize(layout.client.cx, layout.client.cy);
}

void CMessageBoxDlg::OnButton(int id)
{
    if (id == IDHELP) {
        if (m_owner) {
            CHelpRequestEvent help(IDHELP, this, QCursor::pos());
            QCoreApplication::sendEvent(m_owner, &help);
        }
        return;
    }
    if (id != 0)
        done(id);
}

void CMessageBoxDlg::reject()
{
    if (const int answer = GetMessageBoxEscapeResult(m_type))
        done(answer);
}

void CMessageBoxDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_type & MB_SETFOREGROUND) {
        raise();
        activateWindow();
    }
}

} // namespace

QEvent::Type CHelpRequestEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

int MessageBoxFromTemplate(QWidget* owner, const std::string& text, const std::string& caption, unsigned type)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return 0;
    CMessageBoxDlg box(owner, text, caption, type);
    return box.exec();
}
