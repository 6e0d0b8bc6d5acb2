#include "shell/widgets/ColorPopup.h"

#include "platform/DC.h"
#include "platform/UserServices.h"
#include "shell/DialogFont.h"
#include "shell/widgets/ColorDialog.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

namespace {

// The system's edge width.
constexpr int kMargin = 2;

CRect ToCRect(const QRect& r)
{
    return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

} // namespace

ColorPopup::ColorPopup(const QRect& button, COLORREF colour, const std::string& defaultText,
                       const std::string& customText, QWidget* owner)
    : QWidget(owner, Qt::Popup), m_palette(colour, defaultText, customText, kMargin, MakeDialogFont()),
      m_current(m_palette.GetInitialEntry()), m_colour(colour)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    const CSize size = m_palette.GetWindowSize();
    QScreen* screen = QGuiApplication::screenAt(button.center());
    if (!screen)
        screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const CRect area = screen ? ToCRect(screen->availableGeometry()) : CRect(0, 0, 1 << 16, 1 << 16);
    const CPoint at = PlacePopupBelow(ToCRect(button), size, area);
    setGeometry(at.x, at.y, size.cx, size.cy);
    // The program losing activation cancels.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && isVisible())
            EndSelection(false);
    });
}

ColorPopup::~ColorPopup() = default;

void ColorPopup::SetHandlers(SelChangeFunction selChange, EndFunction end)
{
    m_selChange = std::move(selChange);
    m_end = std::move(end);
}

void ColorPopup::paintEvent(QPaintEvent*)
{
    QImage image = MakeControlImage(*this);
    if (image.isNull())
        return;
    {
        CDC dc(image);
        m_palette.Draw(dc, m_current, GetControlColors(this));
    }
    QPainter(this).drawImage(0, 0, image);
}

void ColorPopup::ChangeSelection(int entry)
{
    if (entry == CColorPalette::kNoEntry || entry == m_current)
        return;
    m_current = entry;
    m_colour = m_palette.GetEntryColor(entry);
    update();
    if (m_selChange)
        m_selChange(m_colour);
}

void ColorPopup::EndSelection(bool ok)
{
    if (m_ended)
        return;
    m_ended = true;
    hide();
    if (ok && m_current == CColorPalette::kCustomEntry) {
        const QPointer<ColorPopup> alive(this);
        CColorDialog dialog(m_palette.GetInitialColor(), parentWidget() ? parentWidget()->window() : nullptr);
        ok = dialog.DoModal() == IDOK;
        // The button (and the popup with it) may have gone meanwhile.
        if (!alive)
            return;
        if (ok)
            m_colour = dialog.GetColor();
    }
    if (!ok)
        m_colour = m_palette.GetInitialColor();
    if (m_end)
        m_end(ok, m_colour);
}

void ColorPopup::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    ChangeSelection(m_palette.EntryAt(CPoint(p.x(), p.y())));
}

void ColorPopup::mousePressEvent(QMouseEvent* event)
{
    // A press outside the popup cancels; inside, the release chooses.
    if (!rect().contains(event->position().toPoint()))
        EndSelection(false);
    event->accept();
}

void ColorPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    if (rect().contains(p)) {
        ChangeSelection(m_palette.EntryAt(CPoint(p.x(), p.y())));
        EndSelection(true);
    } else {
        EndSelection(false);
    }
}

void ColorPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: ChangeSelection(m_palette.MoveHorizontal(m_current, -1)); break;
    case Qt::Key_Right: ChangeSelection(m_palette.MoveHorizontal(m_current, 1)); break;
    case Qt::Key_Up: ChangeSelection(m_palette.MoveVertical(m_current, -1)); break;
    case Qt::Key_Down: ChangeSelection(m_palette.MoveVertical(m_current, 1)); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: EndSelection(true); break;
    case Qt::Key_Escape: EndSelection(false); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

// Closed by anything else: cancelled.
void ColorPopup::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    EndSelection(false);
}
