#include "platform/WindowSurface.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMaxSide = 32767;

QImage MakeImage(int width, int height, int dpi)
{
    QImage image(std::clamp(width, 0, kMaxSide), std::clamp(height, 0, kMaxSide), QImage::Format_RGB32);
    if (!image.isNull()) {
        image.fill(Qt::white);
        const int dotsPerMetre = static_cast<int>(dpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
    }
    return image;
}

} // namespace

CWindowSurface::CWindowSurface(int width, int height, int dpi)
    : m_image(std::make_unique<QImage>(MakeImage(width, height, dpi > 0 ? dpi : 96))), m_dpi(dpi > 0 ? dpi : 96)
{
}

CWindowSurface::~CWindowSurface() = default;

int CWindowSurface::Width() const
{
    return m_image->width();
}

int CWindowSurface::Height() const
{
    return m_image->height();
}

void CWindowSurface::Resize(int width, int height)
{
    QImage grown = MakeImage(width, height, m_dpi);
    if (!grown.isNull() && !m_image->isNull()) {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, *m_image);
    }
    *m_image = std::move(grown);
    AddChanged(CRect(0, 0, Width(), Height()));
}

void CWindowSurface::AddChanged(const CRect& rect)
{
    CRect cut;
    if (cut.IntersectRect(rect, CRect(0, 0, Width(), Height())))
        m_changed.UnionRect(m_changed, cut);
}

CRect CWindowSurface::TakeChanged()
{
    const CRect changed = m_changed;
    m_changed.SetRectEmpty();
    return changed;
}

void CWindowSurface::Flush()
{
    if (m_handler && !m_changed.IsRectEmpty())
        m_handler(TakeChanged());
}
