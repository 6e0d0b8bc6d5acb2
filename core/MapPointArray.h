#pragma once

#include "core/MapPoint.h"

#include <vector>

// A growable array of map points. Storage grows to the capacity plus the
// grow-by (at least to what is needed); a grow-by of 0 means size / 8,
// kept within 4 ... 1024. Setting the size to 0 frees the storage.
// Indices run from 0 to GetSize() - 1; insertion indices from 0 to GetSize().
class CMapPointArray {
public:
    CMapPointArray() = default;

    int GetSize() const { return static_cast<int>(m_points.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_points.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }
    int GetCapacity() const { return static_cast<int>(m_points.capacity()); }

    // New points are (0, 0). growBy < 0 keeps the current grow-by.
    void SetSize(int newSize, int growBy = -1);
    void FreeExtra() { m_points.shrink_to_fit(); }

    CMapPoint* GetData() { return m_points.data(); }
    const CMapPoint* GetData() const { return m_points.data(); }
    CMapPoint& operator[](int i) { return m_points[static_cast<size_t>(i)]; }
    const CMapPoint& operator[](int i) const { return m_points[static_cast<size_t>(i)]; }
    CMapPoint& ElementAt(int i) { return (*this)[i]; }
    const CMapPoint& GetAt(int i) const { return (*this)[i]; }
    void SetAt(int i, const CMapPoint& p) { (*this)[i] = p; }

    CMapPoint* begin() { return m_points.data(); }
    CMapPoint* end() { return m_points.data() + m_points.size(); }
    const CMapPoint* begin() const { return m_points.data(); }
    const CMapPoint* end() const { return m_points.data() + m_points.size(); }

    // Returns the index of the new point.
    int Add(const CMapPoint& p);
    // Returns the index of the first appended point.
    int Append(const CMapPoint* points, int count);
    int Append(const CMapPointArray& other) { return Append(other.GetData(), other.GetSize()); }
    void Copy(const CMapPointArray& other);

    // count copies of p before index (clamped to the size).
    void InsertAt(int index, const CMapPoint& p, int count = 1);
    void InsertAt(int index, const CMapPoint* points, int count);
    // Removes up to count points from index on.
    void RemoveAt(int index, int count = 1);
    void RemoveAll() { SetSize(0); }

    friend bool operator==(const CMapPointArray& a, const CMapPointArray& b) { return a.m_points == b.m_points; }

private:
    void Reserve(size_t needed);
    size_t ClampIndex(int index) const;

    std::vector<CMapPoint> m_points;
    int m_growBy = 0;
};
