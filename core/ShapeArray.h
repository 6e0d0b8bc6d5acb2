#pragma once

#include "core/Shape.h"

#include <memory>
#include <vector>

// Shapes owned by the array: removing them deletes them.
class CShapeArray {
public:
    CShapeArray() = default;
    CShapeArray(const CShapeArray&) = delete;
    CShapeArray& operator=(const CShapeArray&) = delete;

    int GetSize() const { return static_cast<int>(m_shapes.size()); }
    bool IsEmpty() const { return m_shapes.empty(); }
    CShape* GetAt(int i) const { return m_shapes[static_cast<size_t>(i)].get(); }
    CShape* operator[](int i) const { return GetAt(i); }

    // Takes the shape; returns its index.
    int Add(std::unique_ptr<CShape> shape);
    // Adds a copy; false, with "Not enough memory." shown, when it cannot be made.
    bool AddCopy(const CShape& shape);
    void RemoveAt(int i);
    void RemoveAll() { m_shapes.clear(); }

    // The union of all the shapes (as areas) into out, united pairwise in a
    // tree; the shapes are deleted afterwards. True when out received
    // points; false for an empty array, and, out unchanged, when the union
    // cannot be computed.
    bool UnionAll(CShape& out);

private:
    std::vector<std::unique_ptr<CShape>> m_shapes;
};
