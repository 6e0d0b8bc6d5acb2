#include "shell/widgets/ScrollFrame.h"

#include "shell/ScrollRanges.h"

#include <QScrollBar>
#include <QStyle>

CScrollFrame::CScrollFrame(QWidget* parent) : QAbstractScrollArea(parent)
{
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(kLineStep);
        bar->setPageStep(kLineStep);
        bar->setRange(0, 0);
    }
}

void CScrollFrame::SetContentSize(int width, int height)
{
    m_contentWidth = std::max(width, 0);
    m_contentHeight = std::max(height, 0);
    RecalcScrollBars();
}

QPoint CScrollFrame::GetScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CScrollFrame::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    RecalcScrollBars();
}

void CScrollFrame::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

void CScrollFrame::RecalcScrollBars()
{
    // Changing the bars resizes the client area, which asks again.
    if (m_busy)
        return;
    m_busy = true;
    const QPoint position = GetScrollPosition();
    const QSize client = contentsRect().size();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const CSize excess = GetScrollExcess(CSize(m_contentWidth, m_contentHeight), CSize(client.width(), client.height()),
                                         CSize(client.width() - bar, client.height() - bar));
    horizontalScrollBar()->setRange(0, excess.cx);
    verticalScrollBar()->setRange(0, excess.cy);
    horizontalScrollBar()->setPageStep(std::max(excess.cx / 2, 1));
    verticalScrollBar()->setPageStep(std::max(excess.cy / 2, 1));
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
    m_busy = false;
}
