#include "shell/widgets/PictureWnd.h"

#include "platform/DC.h"
#include "shell/widgets/ControlImage.h"

#include <QKeyEvent>
#include <QPainter>

CPictureWnd::CPictureWnd(std::unique_ptr<CPicture> picture, QWidget* parent)
    : CScrollFrame(parent), m_picture(std::move(picture))
{
    setFrameShape(QFrame::NoFrame);
    const CSize size = m_picture->GetSize();
    SetContentSize(size.cx, size.cy);
}

void CPictureWnd::paintEvent(QPaintEvent*)
{
    QImage image = MakeControlImage(*viewport());
    if (image.isNull())
        return;
    {
        CDC dc(image);
        const QPoint at = GetScrollPosition();
        const CSize size = m_picture->GetSize();
        m_picture->Draw(dc, CRect(CPoint(-at.x(), -at.y()), size));
    }
    QPainter(viewport()).drawImage(0, 0, image);
}

void CPictureWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    CScrollFrame::keyPressEvent(event);
}
