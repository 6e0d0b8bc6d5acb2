#include "platform/Rgn.h"

#include "platform/Gdi.h"
#include "platform/ScanConverter.h"

#include <QRegion>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// Polygon regions are cut to this far from the origin in device pixels.
constexpr int kRegionReach = 1 << 20;

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
    // The pixels a polygon fill covers, all rings under one fill rule, found
    // by the fills' own scan converter: Qt's polygon regions differ from the
    // fills at slanted edges and take the square of the crossings on a row.
    CScanConverter scan(CScanConverter::kInterfaceShiftX, CScanConverter::kInterfaceShiftY);
    std::int64_t offset = 0;
    CRect box;
    bool any = false;
    for (int i = 0; i < polyCount; ++i) {
        if (counts[i] < 0)
            return false;
        const CPoint* ring = points + offset;
        offset += counts[i];
        if (counts[i] < 2)
            continue;
        scan.AddRing(ring, static_cast<std::size_t>(counts[i]));
        for (int k = 0; k < counts[i]; ++k) {
            const CPoint& p = ring[k];
            if (!any)
                box = CRect(p.x, p.y, p.x, p.y);
            any = true;
            box = CRect(std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                        std::max(box.bottom, p.y));
        }
    }
    // Regions reach no further than any device does.
    CRect reach;
    reach.IntersectRect(box, CRect(-kRegionReach, -kRegionReach, kRegionReach, kRegionReach));
    // Rows of the same runs become one band, as regions keep them.
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> row, band;
    int rowY = 0, bandTop = 0, bandBottom = 0;
    auto closeBand = [&] {
        for (const auto& [x0, x1] : band)
            rects.emplace_back(x0, bandTop, x1 - x0, bandBottom - bandTop);
        band.clear();
    };
    auto closeRow = [&] {
        if (!band.empty() && row == band && rowY == bandBottom) {
            ++bandBottom;
        } else {
            closeBand();
            band.swap(row);
            bandTop = rowY;
            bandBottom = rowY + 1;
        }
        row.clear();
    };
    scan.Fill(fillMode == WINDING, reach, [&](int y, int x0, int x1) {
        if (!row.empty() && y != rowY)
            closeRow();
        rowY = y;
        row.emplace_back(x0, x1);
    });
    if (!row.empty())
        closeRow();
    closeBand();
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    m_region = std::make_unique<QRegion>(region);
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
