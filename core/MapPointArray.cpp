#include "core/MapPointArray.h"

#include <algorithm>

void CMapPointArray::Reserve(size_t needed)
{
    if (needed <= m_points.capacity())
        return;
    const size_t growBy = m_growBy > 0 ? static_cast<size_t>(m_growBy)
                                       : std::clamp<size_t>(m_points.size() / 8, 4, 1024);
    m_points.reserve(std::max(needed, m_points.capacity() + growBy));
}

size_t CMapPointArray::ClampIndex(int index) const
{
    return std::min(static_cast<size_t>(std::max(index, 0)), m_points.size());
}

void CMapPointArray::SetSize(int newSize, int growBy)
{
    if (growBy >= 0)
        m_growBy = growBy;
    if (newSize <= 0) {
        std::vector<CMapPoint>().swap(m_points);
        return;
    }
    Reserve(static_cast<size_t>(newSize));
    m_points.resize(static_cast<size_t>(newSize));
}

int CMapPointArray::Add(const CMapPoint& p)
{
    const CMapPoint value = p; // p may live in this array
    Reserve(m_points.size() + 1);
    m_points.push_back(value);
    return GetSize() - 1;
}

int CMapPointArray::Append(const CMapPoint* points, int count)
{
    const int first = GetSize();
    InsertAt(first, points, count);
    return first;
}

void CMapPointArray::Copy(const CMapPointArray& other)
{
    if (this != &other)
        m_points = other.m_points;
}

void CMapPointArray::InsertAt(int index, const CMapPoint& p, int count)
{
    if (count <= 0)
        return;
    const CMapPoint value = p; // p may live in this array
    Reserve(m_points.size() + static_cast<size_t>(count));
    m_points.insert(m_points.begin() + static_cast<std::ptrdiff_t>(ClampIndex(index)),
                    static_cast<size_t>(count), value);
}

void CMapPointArray::InsertAt(int index, const CMapPoint* points, int count)
{
    if (count <= 0)
        return;
    const size_t at = ClampIndex(index);
    // A source inside this array would move with the storage: copy it first.
    if (points >= begin() && points < end()) {
        const std::vector<CMapPoint> source(points, points + count);
        InsertAt(index, source.data(), count);
        return;
    }
    Reserve(m_points.size() + static_cast<size_t>(count));
    m_points.insert(m_points.begin() + static_cast<std::ptrdiff_t>(at), points, points + count);
}

void CMapPointArray::RemoveAt(int index, int count)
{
    const size_t first = ClampIndex(index);
    const size_t last = std::min(m_points.size(), first + static_cast<size_t>(std::max(count, 0)));
    m_points.erase(m_points.begin() + static_cast<std::ptrdiff_t>(first),
                   m_points.begin() + static_cast<std::ptrdiff_t>(last));
}
