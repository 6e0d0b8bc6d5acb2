#include "geoproc/widgets/ZoneStyleButton.h"

#include "platform/DC.h"
#include "render/StyleSamples.h"

#include <QImage>
#include <QPainter>

namespace {
constexpr int kMargin = 5;
} // namespace

CZoneStyleButton::CZoneStyleButton(QWidget* parent) : QPushButton(parent)
{
    setMinimumSize(64, 32);
}

void CZoneStyleButton::SetStyle(const CDrawStyle& style)
{
    m_style = style;
    update();
}

void CZoneStyleButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    const QRect inner = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    QImage swatch(inner.size(), QImage::Format_RGB32);
    if (swatch.isNull())
        return;
    swatch.fill(Qt::white);
    {
        CDC dc(swatch);
        DrawFillSample(m_style, dc, CRect(0, 0, inner.width(), inner.height()));
    }
    QPainter(this).drawImage(inner.topLeft(), swatch);
}
