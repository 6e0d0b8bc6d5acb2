#include "shell/widgets/PictureCtrl.h"

#include "mapdoc/widgets/ResourceCursor.h"
#include "platform/DC.h"
#include "shell/ControlDrawing.h"
#include "shell/PictureWindowRules.h"
#include "shell/widgets/ControlImage.h"
#include "shell/widgets/PaletteColors.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Pictures drawn larger than this are not kept as one image: the box
// shows their top left part at most.
constexpr int kMaxDrawnSide = 8192;

CPoint PointOf(const QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

} // namespace

CPictureCtrl::CPictureCtrl(QWidget* parent) : QWidget(parent)
{
    setProperty("windowClass", QString::fromLatin1(kClassName));
    setMouseTracking(true);
}

CPictureCtrl::~CPictureCtrl() = default;

bool CPictureCtrl::SetPicture(const std::string& path)
{
    m_dragging = false;
    m_picture.Release();
    m_drawn = QImage();
    m_loaded = !path.empty() && m_picture.Load(path) == 1;
    m_pictureRect = CRect();
    if (m_loaded) {
        const CSize size = m_picture.GetSize();
        const QSize drawn(std::clamp(size.cx, 1, kMaxDrawnSide), std::clamp(size.cy, 1, kMaxDrawnSide));
        m_drawn = QImage(drawn, QImage::Format_RGB32);
        const COLORREF face = GetControlColors(this).face;
        m_drawn.fill(QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
        {
            CDC dc(m_drawn);
            m_picture.Draw(dc, CRect(0, 0, size.cx, size.cy));
        }
        m_pictureRect = CenterPicture(size, ClientRect());
    }
    update();
    return m_loaded;
}

void CPictureCtrl::SetPickCursor(int id)
{
    m_pickCursor = id == kColourPick || id == kPointPick ? id : kNoPick;
    if (const QCursor* cursor = m_pickCursor ? ResourceCursor(m_pickCursor) : nullptr)
        setCursor(*cursor);
    else
        unsetCursor();
}

void CPictureCtrl::paintEvent(QPaintEvent*)
{
    QImage image = MakeControlImage(*this);
    if (image.isNull())
        return;
    const ControlColors colours = GetControlColors(this);
    const CRect client = ClientRect();
    image.fill(QColor(GetRValue(colours.face), GetGValue(colours.face), GetBValue(colours.face)));
    if (m_loaded)
        QPainter(&image).drawImage(QPoint(m_pictureRect.left, m_pictureRect.top), m_drawn);
    {
        CDC dc(image);
        if (m_loaded) {
            CRect frame = m_pictureRect;
            frame.InflateRect(1, 1);
            FrameRect(dc, frame, colours.text);
        }
        // The box's edge over whatever of a large picture reaches it.
        DrawEdge(dc, client, BDR_SUNKENOUTER, BF_RECT, colours);
    }
    QPainter(this).drawImage(0, 0, image);
}

void CPictureCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_loaded)
        m_pictureRect = CenterPicture(m_pictureRect.Size(), ClientRect());
}

void CPictureCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_loaded)
        return QWidget::mousePressEvent(event);
    const CPoint at = PointOf(event);
    if (m_pickCursor == kNoPick) {
        m_dragOffset = at - m_pictureRect.TopLeft();
        m_dragging = true;
        return;
    }
    if (!m_pictureRect.PtInRect(at))
        return;
    const CPoint inPicture(at.x - m_pictureRect.left, at.y - m_pictureRect.top);
    if (m_pickCursor == kColourPick && m_colourPicked) {
        const bool drawn = inPicture.x < m_drawn.width() && inPicture.y < m_drawn.height();
        m_colourPicked(drawn ? ColorRefFromQColor(m_drawn.pixelColor(inPicture.x, inPicture.y))
                             : GetControlColors(this).face);
    } else if (m_pickCursor == kPointPick && m_pointPicked) {
        m_pointPicked(inPicture);
    }
}

void CPictureCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || m_pickCursor != kNoPick)
        return QWidget::mouseMoveEvent(event);
    const CRect moved = DragPicture(m_pictureRect, ClientRect(), PointOf(event), m_dragOffset);
    if (moved == m_pictureRect)
        return;
    m_pictureRect = moved;
    update();
}

void CPictureCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
