#include "platform/Rgn.h"

#include "platform/Gdi.h"

#include <QPolygon>
#include <QRegion>

#include <cstdint>

namespace {

QRect ToQRect(const CRect& r)
{
    CRect n = r;
    n.NormalizeRect();
    return QRect(QPoint(n.left, n.top), QPoint(n.right - 1, n.bottom - 1));
}

int Kind(const QRegion& region)
{
    if (region.isEmpty())
        return NULLREGION;
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace

CRgn::CRgn() = default;
CRgn::~CRgn() = default;

CRgn::CRgn(const CRgn& other)
{
    if (other.m_region)
        m_region = std::make_unique<QRegion>(*other.m_region);
}

CRgn& CRgn::operator=(const CRgn& other)
{
    if (this != &other)
        m_region = other.m_region ? std::make_unique<QRegion>(*other.m_region) : nullptr;
    return *this;
}

bool CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return CreateRectRgnIndirect(CRect(left, top, right, bottom));
}

bool CRgn::CreateRectRgnIndirect(const CRect& rect)
{
    CRect n = rect;
    n.NormalizeRect();
    m_region = std::make_unique<QRegion>(n.IsRectEmpty() ? QRegion() : QRegion(ToQRect(n)));
    return true;
}

bool CRgn::CreatePolygonRgn(const CPoint* points, int count, int fillMode)
{
    return CreatePolyPolygonRgn(points, &count, 1, fillMode);
}

bool CRgn::CreatePolyPolygonRgn(const CPoint* points, const int* counts, int polyCount, int fillMode)
{
    m_region.reset();
    if (!points || !counts || polyCount <= 0 || (fillMode != ALTERNATE && fillMode != WINDING))
        return false;
    const Qt::FillRule rule = fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    // Every ring goes through one polygon that returns to a common start
    // point, so the fill rule sees all rings at once.
    QPolygon all;
    std::int64_t offset = 0;
    for (int i = 0; i < polyCount; ++i) {
        if (counts[i] < 0)
            return false;
        if (counts[i] < 2) {
            offset += counts[i];
            continue;
        }
        for (int k = 0; k < counts[i]; ++k)
            all << QPoint(points[offset + k].x, points[offset + k].y);
        all << QPoint(points[offset].x, points[offset].y);
        if (!all.isEmpty() && i + 1 < polyCount)
            all << all.first();
        offset += counts[i];
    }
    m_region = std::make_unique<QRegion>(all.size() >= 3 ? QRegion(all, rule) : QRegion());
    return true;
}

int CRgn::CombineRgn(const CRgn& a, const CRgn& b, int mode)
{
    if (!a.m_region || (mode != RGN_COPY && !b.m_region))
        return RGN_ERROR;
    QRegion result;
    switch (mode) {
    case RGN_AND:
        result = a.m_region->intersected(*b.m_region);
        break;
    case RGN_OR:
        result = a.m_region->united(*b.m_region);
        break;
    case RGN_XOR:
        result = a.m_region->xored(*b.m_region);
        break;
    case RGN_DIFF:
        result = a.m_region->subtracted(*b.m_region);
        break;
    case RGN_COPY:
        result = *a.m_region;
        break;
    default:
        return RGN_ERROR;
    }
    m_region = std::make_unique<QRegion>(result);
    return Kind(*m_region);
}

int CRgn::OffsetRgn(int dx, int dy)
{
    if (!m_region)
        return RGN_ERROR;
    m_region->translate(dx, dy);
    return Kind(*m_region);
}

int CRgn::GetRgnBox(CRect* box) const
{
    if (!m_region)
        return RGN_ERROR;
    if (box) {
        const QRect r = m_region->boundingRect();
        *box = r.isEmpty() ? CRect() : CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    }
    return Kind(*m_region);
}

bool CRgn::PtInRegion(int x, int y) const
{
    return m_region && m_region->contains(QPoint(x, y));
}

bool CRgn::RectInRegion(const CRect& rect) const
{
    CRect n = rect;
    n.NormalizeRect();
    return m_region && !n.IsRectEmpty() && m_region->intersects(ToQRect(n));
}

void CRgn::DeleteObject()
{
    m_region.reset();
}

const QRegion& CRgn::Region() const
{
    static const QRegion empty;
    return m_region ? *m_region : empty;
}

CRgn CRgn::FromRegion(const QRegion& region)
{
    CRgn rgn;
    rgn.m_region = std::make_unique<QRegion>(region);
    return rgn;
}
