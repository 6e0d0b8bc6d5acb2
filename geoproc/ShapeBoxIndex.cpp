#include "geoproc/ShapeBoxIndex.h"

#include "core/SegmentPairs.h"
#include "core/ShapeArray.h"

#include <algorithm>

namespace {

bool IsIndexable(const CMapRect& box)
{
    return box.IsValid() && box.IsFinite();
}

} // namespace

bool CShapeBoxIndex::Build(const CShapeArray& shapes)
{
    m_shapes = &shapes;
    m_index.Free();
    m_growX = m_growY = 0;
    const int count = shapes.GetSize();
    m_indexed.assign(static_cast<size_t>(count), CMapRect());
    m_found.assign(static_cast<size_t>(count), 0);
    CMapRect all;
    for (int i = 0; i < count; ++i) {
        const CMapRect& box = shapes[i]->GetExtent();
        if (!IsIndexable(box))
            continue;
        m_indexed[static_cast<size_t>(i)] = box;
        m_found[static_cast<size_t>(i)] = 1;
        all.UnionRect(all, box);
    }
    if (!all.IsValid())
        return true; // nothing to find
    if (!m_index.Create(all, count, CSpatialIndex::kSourceCellCount))
        return false;
    for (int i = 0; i < count; ++i)
        if (m_found[static_cast<size_t>(i)] && !m_index.AddBox(m_indexed[static_cast<size_t>(i)], i))
            return false;
    return m_index.Build();
}

void CShapeBoxIndex::Query(const CMapRect& rect, std::vector<int>& hits)
{
    hits.clear();
    if (!m_shapes)
        return;
    const CMapRect wide(rect.left - m_growX, rect.top + m_growY, rect.right + m_growX, rect.bottom - m_growY);
    for (int i = m_index.BeginRectQuery(wide); i >= 0; i = m_index.Next())
        if (i < m_shapes->GetSize() && ExtentsMeet((*m_shapes)[i]->GetExtent(), rect))
            hits.push_back(i);
    std::sort(hits.begin(), hits.end());
}

void CShapeBoxIndex::Moved(int shape)
{
    if (!m_shapes || shape < 0 || shape >= static_cast<int>(m_found.size()) || !m_found[static_cast<size_t>(shape)])
        return;
    const CMapRect& now = (*m_shapes)[shape]->GetExtent();
    const CMapRect& was = m_indexed[static_cast<size_t>(shape)];
    if (!IsIndexable(now)) {
        m_found[static_cast<size_t>(shape)] = 0;
        return;
    }
    m_growX = std::max({m_growX, was.left - now.left, now.right - was.right});
    m_growY = std::max({m_growY, was.bottom - now.bottom, now.top - was.top});
}
