#include "core/RectClipper.h"

#include "core/Shape.h"

#include <algorithm>

bool CRectClipper::Contains(const CMapPoint& p) const
{
    return p.x >= m_rect.left && p.x <= m_rect.right && p.y >= m_rect.bottom && p.y <= m_rect.top;
}

double CRectClipper::Side(int stage, const CMapPoint& p) const
{
    switch (stage) {
    case 0:
        return p.x - m_rect.left;
    case 1:
        return m_rect.top - p.y;
    case 2:
        return m_rect.right - p.x;
    default:
        return p.y - m_rect.bottom;
    }
}

// Called only for a and b strictly on opposite sides, so the divisor is not 0.
CMapPoint CRectClipper::Crossing(int stage, const CMapPoint& a, const CMapPoint& b) const
{
    if (stage == 0 || stage == 2) {
        const double x = stage == 0 ? m_rect.left : m_rect.right;
        return CMapPoint(x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x));
    }
    const double y = stage == 1 ? m_rect.top : m_rect.bottom;
    return CMapPoint(a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y);
}

void CRectClipper::ResetStages()
{
    for (Stage& s : m_stages)
        s.empty = true;
}

void CRectClipper::Emit(const CMapPoint& p)
{
    m_out->Points().Add(p);
}

void CRectClipper::Feed(int stage, const CMapPoint& p)
{
    if (stage == 4) {
        Emit(p);
        return;
    }
    Stage& s = m_stages[stage];
    const double side = Side(stage, p);
    if (s.empty) {
        s.first = p;
        s.empty = false;
    } else {
        const double lastSide = Side(stage, s.last);
        if ((lastSide < 0 && side > 0) || (lastSide > 0 && side < 0))
            Feed(stage + 1, Crossing(stage, s.last, p));
    }
    s.last = p;
    if (side >= 0)
        Feed(stage + 1, p);
}

void CRectClipper::ClipRing(const CMapPoint* points, int n)
{
    const int start = m_out->GetPointCount();
    ResetStages();
    for (int i = 0; i < n; ++i)
        Feed(0, points[i]);
    // The closing edge of each stage, in stage order: a crossing found by
    // one stage still passes through the later ones.
    for (int k = 0; k < 4; ++k) {
        const Stage& s = m_stages[k];
        if (s.empty)
            continue;
        const double a = Side(k, s.last);
        const double b = Side(k, s.first);
        if ((a < 0 && b > 0) || (a > 0 && b < 0))
            Feed(k + 1, Crossing(k, s.last, s.first));
    }
    const int produced = m_out->GetPointCount() - start;
    if (produced < 2) {
        m_out->Points().RemoveAt(start, produced);
        return;
    }
    const CMapPoint first = m_out->GetPoint(start);
    if (!(m_out->GetPoint(m_out->GetPointCount() - 1) == first))
        Emit(first);
}

void CRectClipper::ClipLine(const CMapPoint* points, int n)
{
    auto visible = [&](int i) {
        CMapPoint p, q;
        return m_rect.ClipSegment(points[i], points[i + 1], p, q);
    };
    // Runs outside at either end would only add joins along the border.
    while (n >= 3 && !visible(n - 2))
        --n;
    int first = 0;
    while (first + 1 < n && !visible(first))
        ++first;
    if (first + 1 >= n)
        first = std::max(n - 2, 0);

    ResetStages();
    bool previousInside = false;
    bool wroteStraight = false;
    for (int i = first; i < n; ++i) {
        const CMapPoint& p = points[i];
        const bool inside = Contains(p);
        // From one inside point to the next nothing can cross a border.
        if (inside && previousInside) {
            Emit(p);
            wroteStraight = true;
        } else {
            if (wroteStraight) {
                for (Stage& s : m_stages)
                    s.last = points[i - 1];
                wroteStraight = false;
            }
            Feed(0, p);
        }
        previousInside = inside;
    }
}

bool CRectClipper::Clip(const CShape& source, CShape& out, bool rings)
{
    if (&source == &out) {
        CShape copy;
        copy.Copy(source);
        return Clip(copy, out, rings);
    }
    out.SetSize(0, 0);
    CMapPointArray& points = out.Points();
    out.PartSizes().reserve(static_cast<size_t>(source.GetPartCount()));
    m_out = &out;
    for (int k = 0, first = 0; k < source.GetPartCount(); ++k) {
        // Part sizes are not trusted beyond the points there are.
        const int size = std::clamp(source.GetPartSize(k), 0, source.GetPointCount() - first);
        const CMapPoint* part = source.Points().GetData() + first;
        first += size;
        const int start = out.GetPointCount();
        bool clip = true;
        if (k > 0) {
            CMapRect extent;
            for (int i = 0; i < size; ++i)
                extent.UnionPoint(part[i]);
            CMapRect common;
            if (!common.IntersectRect(extent, m_rect))
                continue;
            if (common == extent) {
                points.Append(part, size);
                clip = false;
            }
        }
        if (clip && size > 0) {
            if (rings)
                ClipRing(part, size);
            else
                ClipLine(part, size);
        }
        if (out.GetPointCount() > start)
            out.PartSizes().push_back(static_cast<uint32_t>(out.GetPointCount() - start));
    }
    m_out = nullptr;
    points.FreeExtra();
    if (out.GetPartCount() == 0)
        out.RemoveAll();
    out.RecalcBounds();
    return out.GetPointCount() > 0;
}

bool CRectClipper::ClipPolygon(const CShape& source, CShape& out)
{
    return Clip(source, out, true);
}

bool CRectClipper::ClipPolyline(const CShape& source, CShape& out)
{
    return Clip(source, out, false);
}
