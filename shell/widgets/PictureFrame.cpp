#include "shell/widgets/PictureFrame.h"

#include "mapdoc/widgets/MapPrinting.h"
#include "platform/DC.h"
#include "shell/PictureWindowRules.h"
#include "shell/widgets/ControlImage.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

CPictureFrame::CPictureFrame(CxImage& picture, QWidget* parent) : CScrollFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    m_picture.Transfer(picture);
    SetContentSize(m_picture.GetWidth(), m_picture.GetHeight());
}

void CPictureFrame::paintEvent(QPaintEvent*)
{
    QImage image = MakeControlImage(*viewport());
    if (image.isNull())
        return;
    {
        CDC dc(image);
        const QPoint at = GetScrollPosition();
        m_picture.Draw(&dc, -at.x(), -at.y());
    }
    QPainter(viewport()).drawImage(0, 0, image);
}

void CPictureFrame::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QString::fromUtf8("&Spausdinti..."), this, [this] { Print(); });
    menu.exec(event->globalPos());
}

int CPictureFrame::PrintPicture(CDC& dc) const
{
    const int width = dc.GetDeviceCaps(HORZRES);
    const int height = PrintedPictureHeight(width, dc.GetDeviceCaps(LOGPIXELSX), dc.GetDeviceCaps(LOGPIXELSY),
                                            CSize(m_picture.GetWidth(), m_picture.GetHeight()));
    if (height <= 0)
        return 0;
    return m_picture.Draw(&dc, 0, 0, width, height);
}

int CPictureFrame::Print()
{
    CPrintJob job;
    job.countPages = [](CDC&) { return 1; };
    job.printPages = [this](CDC& dc, int, int) { return PrintPicture(dc); };
    return RunPrintJob(job, this);
}
