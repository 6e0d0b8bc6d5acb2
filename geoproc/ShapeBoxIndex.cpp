#include "geoproc/ShapeBoxIndex.h"

#include "core/SegmentPairs.h"
#include "core/ShapeArray.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Cells in the grid per indexed box, at most.
constexpr int64_t kCellsPerBox = 2;
// A box over more cells than this is kept apart, so that a few boxes as
// large as the data cannot fill every cell.
constexpr int64_t kWideBoxCells = 64;
// How many shapes ahead the build asks memory for what it will read or
// write: over data larger than the cache, waiting for each in turn costs
// more than the work.
constexpr int kAhead = 16;

bool IsIndexable(const CMapRect& box)
{
    return box.IsValid() && box.IsFinite();
}

// How many cells of a typical size cover a side of the extent.
double CellsAlong(double side, double typical)
{
    if (!(side > 0))
        return 1;
    return typical > 0 ? std::max(1.0, side / typical) : HUGE_VAL;
}

} // namespace

// Inline: every loop over cells starts here, and a call costs as much.
inline int CShapeBoxIndex::Column(double x) const
{
    const double at = (x - m_extent.left) * m_columnsPerUnit;
    if (!(at > 0))
        return 0;
    return at >= m_columns ? m_columns - 1 : static_cast<int>(at);
}

inline int CShapeBoxIndex::Row(double y) const
{
    const double at = (y - m_extent.bottom) * m_rowsPerUnit;
    if (!(at > 0))
        return 0;
    return at >= m_rows ? m_rows - 1 : static_cast<int>(at);
}

bool CShapeBoxIndex::Build(const CShapeArray& shapes)
{
    m_shapes = &shapes;
    m_growX = m_growY = 0;
    m_columns = m_rows = 0;
    m_cellStart.clear();
    m_cellEntries.clear();
    m_wide.clear();
    const int count = shapes.GetSize();
    try {
        m_indexed.assign(static_cast<size_t>(count), CMapRect());
        m_found.assign(static_cast<size_t>(count), 0);
        CMapRect all;
        int indexable = 0;
        double widths = 0, heights = 0;
        for (int i = 0; i < count; ++i) {
            // The shapes lie anywhere in memory.
            if (i + kAhead < count)
                __builtin_prefetch(&shapes[i + kAhead]->GetExtent());
            const CMapRect& box = shapes[i]->GetExtent();
            if (!IsIndexable(box))
                continue;
            m_indexed[static_cast<size_t>(i)] = box;
            m_found[static_cast<size_t>(i)] = 1;
            all.UnionRect(all, box);
            ++indexable;
            widths += box.Width();
            heights += box.Height();
        }
        if (indexable == 0)
            return true; // nothing to find

        // Cells about the mean box, unless that makes too many of them.
        const double budget = static_cast<double>(kCellsPerBox * indexable);
        double columns = std::min(CellsAlong(all.Width(), widths / indexable), budget);
        double rows = std::min(CellsAlong(all.Height(), heights / indexable), budget);
        if (columns * rows > budget) {
            const double shrink = std::sqrt(budget / (columns * rows));
            if (columns * shrink < 1)
                rows = budget / columns;
            else if (rows * shrink < 1)
                columns = budget / rows;
            else {
                columns *= shrink;
                rows *= shrink;
            }
        }
        m_extent = all;
        m_columns = std::max(1, static_cast<int>(columns));
        m_rows = std::max(1, static_cast<int>(rows));
        m_columnsPerUnit = all.Width() > 0 ? m_columns / all.Width() : 1;
        m_rowsPerUnit = all.Height() > 0 ? m_rows / all.Height() : 1;
        m_slackX = std::max(std::fabs(all.left), std::fabs(all.right)) * 1e-9;
        m_slackY = std::max(std::fabs(all.bottom), std::fabs(all.top)) * 1e-9;

        // Counted first, then laid out in one array.
        const size_t cells = static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows);
        m_cellStart.assign(cells + 1, 0);
        const auto forCells = [this](const Entry& entry, auto visit) {
            const int c1 = Column(entry.box.right), r1 = Row(entry.box.top);
            for (int r = entry.row; r <= r1; ++r)
                for (int c = entry.column; c <= c1; ++c)
                    visit(static_cast<size_t>(r) * static_cast<size_t>(m_columns) + static_cast<size_t>(c));
        };
        std::vector<Entry> entries;
        entries.reserve(static_cast<size_t>(indexable));
        for (int i = 0; i < count; ++i) {
            if (!m_found[static_cast<size_t>(i)])
                continue;
            const CMapRect& box = m_indexed[static_cast<size_t>(i)];
            const Entry entry{box, i, Column(box.left), Row(box.bottom)};
            const int64_t covered = static_cast<int64_t>(Column(box.right) - entry.column + 1) *
                                    static_cast<int64_t>(Row(box.top) - entry.row + 1);
            if (covered > kWideBoxCells) {
                m_wide.push_back(entry);
            } else {
                entries.push_back(entry);
                forCells(entry, [this](size_t cell) { ++m_cellStart[cell + 1]; });
            }
        }
        for (size_t cell = 0; cell < cells; ++cell)
            m_cellStart[cell + 1] += m_cellStart[cell];
        m_cellEntries.resize(static_cast<size_t>(m_cellStart[cells]));
        std::vector<int> filled(m_cellStart.begin(), m_cellStart.end() - 1);
        for (size_t k = 0; k < entries.size(); ++k) {
            // Written all over the array.
            if (k + kAhead < entries.size()) {
                const Entry& ahead = entries[k + kAhead];
                const size_t cell = static_cast<size_t>(ahead.row) * static_cast<size_t>(m_columns) +
                                    static_cast<size_t>(ahead.column);
                __builtin_prefetch(&m_cellEntries[static_cast<size_t>(filled[cell])], 1);
            }
            forCells(entries[k], [&](size_t cell) { m_cellEntries[static_cast<size_t>(filled[cell]++)] = entries[k]; });
        }
    } catch (const std::bad_alloc&) {
        m_shapes = nullptr;
        m_columns = m_rows = 0;
        return false;
    }
    return true;
}

bool CShapeBoxIndex::Widened(const CMapRect& rect, CMapRect& wide) const
{
    if (!m_shapes || m_columns == 0)
        return false;
    // A box that grew is found through the one indexed, which lies within
    // the growth of it.
    const double reachX = m_growX + m_slackX, reachY = m_growY + m_slackY;
    wide = CMapRect(rect.left - reachX, rect.top + reachY, rect.right + reachX, rect.bottom - reachY);
    return ExtentsMeet(wide, m_extent);
}

template <typename Visit>
void CShapeBoxIndex::ForIndexed(const CMapRect& wide, int below, Visit visit) const
{
    for (const Entry& entry : m_wide)
        if (entry.shape < below && ExtentsMeet(entry.box, wide))
            visit(entry);
    // A box in several of the cells is met in the first of them the query reaches.
    const int c0 = Column(wide.left), c1 = Column(wide.right), r0 = Row(wide.bottom), r1 = Row(wide.top);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(m_columns) + static_cast<size_t>(c);
            for (int k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
                const Entry& entry = m_cellEntries[static_cast<size_t>(k)];
                if (std::max(entry.column, c0) == c && std::max(entry.row, r0) == r && entry.shape < below &&
                    ExtentsMeet(BoxOf(entry), wide))
                    visit(entry);
            }
        }
}

void CShapeBoxIndex::Query(const CMapRect& rect, std::vector<int>& hits, int limit)
{
    hits.clear();
    CMapRect wide;
    if (!Widened(rect, wide))
        return;
    ForIndexed(wide, std::min(limit, m_shapes->GetSize()), [&](const Entry& entry) {
        if (ExtentsMeet((*m_shapes)[entry.shape]->GetExtent(), rect))
            hits.push_back(entry.shape);
    });
    std::sort(hits.begin(), hits.end());
}

void CShapeBoxIndex::QueryKept(const CMapRect& rect, std::vector<CFound>& hits, int limit)
{
    hits.clear();
    CMapRect wide;
    if (!Widened(rect, wide))
        return;
    ForIndexed(wide, std::min(limit, m_shapes->GetSize()), [&](const Entry& entry) {
        CFound found;
        found.shape = entry.shape;
        if (entry.kept == kTwoEnds) {
            found.box = BoxOf(entry);
            if (!ExtentsMeet(found.box, rect))
                return;
            found.count = 2;
            found.ends[0] = CMapPoint(entry.box.left, entry.box.top);
            found.ends[1] = CMapPoint(entry.box.right, entry.box.bottom);
            hits.push_back(found);
            return;
        }
        if (entry.kept != kNotKept && !ExtentsMeet(entry.box, rect))
            return;
        const CShape& shape = *(*m_shapes)[entry.shape];
        if (entry.kept == kNotKept && !ExtentsMeet(shape.GetExtent(), rect))
            return;
        found.box = shape.GetExtent();
        found.count = shape.GetPointCount();
        found.points = shape.Points().GetData();
        hits.push_back(found);
    });
    std::sort(hits.begin(), hits.end(), [](const CFound& a, const CFound& b) { return a.shape < b.shape; });
}

void CShapeBoxIndex::Prefetch(const CMapRect& rect) const
{
    // A query over many cells costs more than waiting for them.
    constexpr int kMostCells = 16;
    constexpr size_t kCacheLine = 64;
    CMapRect wide;
    if (!Widened(rect, wide))
        return;
    const int c0 = Column(wide.left), c1 = Column(wide.right), r0 = Row(wide.bottom), r1 = Row(wide.top);
    if (static_cast<int64_t>(c1 - c0 + 1) * static_cast<int64_t>(r1 - r0 + 1) > kMostCells)
        return;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(m_columns) + static_cast<size_t>(c);
            const int begin = m_cellStart[cell], end = m_cellStart[cell + 1];
            if (begin == end)
                continue;
            const char* first = reinterpret_cast<const char*>(&m_cellEntries[static_cast<size_t>(begin)]);
            const size_t bytes = static_cast<size_t>(end - begin) * sizeof(Entry);
            for (size_t at = 0; at < bytes; at += kCacheLine)
                __builtin_prefetch(first + at);
            __builtin_prefetch(first + bytes - 1);
        }
}

void CShapeBoxIndex::Keep(int shape)
{
    if (!m_shapes || shape < 0 || shape >= static_cast<int>(m_found.size()) || !m_found[static_cast<size_t>(shape)] ||
        shape >= m_shapes->GetSize())
        return;
    const CShape& kept = *(*m_shapes)[shape];
    const CMapRect& box = m_indexed[static_cast<size_t>(shape)];
    const int c0 = Column(box.left), c1 = Column(box.right), r0 = Row(box.bottom), r1 = Row(box.top);
    if (static_cast<int64_t>(c1 - c0 + 1) * static_cast<int64_t>(r1 - r0 + 1) > kWideBoxCells)
        return; // among the wide ones, not kept
    // The box as it is now lies within the indexed one grown by the growth,
    // so that a query still reaches the entries, and meets the query's
    // widened rectangle wherever it meets the rectangle.
    Entry copy;
    copy.box = kept.GetExtent();
    copy.kept = kept.GetPointCount();
    if (copy.kept == 2) {
        const CMapPoint& p = kept.GetPoint(0);
        const CMapPoint& q = kept.GetPoint(1);
        copy.box = CMapRect(p.x, p.y, q.x, q.y);
        copy.kept = kTwoEnds;
        if (!(BoxOf(copy) == kept.GetExtent())) {
            copy.box = kept.GetExtent();
            copy.kept = 2;
        }
    }
    SetEntries(shape, copy.box, copy.kept);
    m_found[static_cast<size_t>(shape)] = kFoundKept;
}

void CShapeBoxIndex::SetEntries(int shape, const CMapRect& box, int kept)
{
    const CMapRect& indexed = m_indexed[static_cast<size_t>(shape)];
    const int c0 = Column(indexed.left), c1 = Column(indexed.right), r0 = Row(indexed.bottom), r1 = Row(indexed.top);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(m_columns) + static_cast<size_t>(c);
            for (int k = m_cellStart[cell]; k < m_cellStart[cell + 1]; ++k) {
                Entry& entry = m_cellEntries[static_cast<size_t>(k)];
                if (entry.shape == shape) {
                    entry.box = box;
                    entry.kept = kept;
                }
            }
        }
}

void CShapeBoxIndex::Moved(int shape)
{
    if (!m_shapes || shape < 0 || shape >= static_cast<int>(m_found.size()) || !m_found[static_cast<size_t>(shape)])
        return;
    // Moved after all: what its entries kept is stale, so they go back to
    // the indexed box and the shape is read again.
    if (m_found[static_cast<size_t>(shape)] == kFoundKept) {
        SetEntries(shape, m_indexed[static_cast<size_t>(shape)], kNotKept);
        m_found[static_cast<size_t>(shape)] = 1;
    }
    const CMapRect& now = (*m_shapes)[shape]->GetExtent();
    const CMapRect& was = m_indexed[static_cast<size_t>(shape)];
    if (!IsIndexable(now)) {
        m_found[static_cast<size_t>(shape)] = 0;
        return;
    }
    m_growX = std::max({m_growX, was.left - now.left, now.right - was.right});
    m_growY = std::max({m_growY, was.bottom - now.bottom, now.top - was.top});
}
