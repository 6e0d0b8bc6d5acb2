#include "core/ShapeArray.h"

#include "core/PolygonUnion.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <new>

int CShapeArray::Add(std::unique_ptr<CShape> shape)
{
    m_shapes.push_back(std::move(shape));
    return GetSize() - 1;
}

bool CShapeArray::AddCopy(const CShape& shape)
{
    try {
        auto copy = std::make_unique<CShape>();
        copy->Copy(shape);
        m_shapes.push_back(std::move(copy));
        return true;
    } catch (const std::bad_alloc&) {
        AppMessageBox("Not enough memory.");
        return false;
    }
}

void CShapeArray::RemoveAt(int i)
{
    if (i >= 0 && i < GetSize())
        m_shapes.erase(m_shapes.begin() + i);
}

bool CShapeArray::UnionAll(CShape& out)
{
    if (m_shapes.empty())
        return false;
    bool ok = false;
    try {
        std::vector<CPolygonSet> sets(m_shapes.size());
        for (size_t i = 0; i < m_shapes.size(); ++i)
            sets[i].FromShape(*m_shapes[i]);
        CPolygonSet united;
        if (std::none_of(sets.begin(), sets.end(), [](const CPolygonSet& s) { return s.Failed(); }) &&
            UnitePolygonSets(sets, united)) {
            CShape shape;
            united.ToShape(shape);
            out = std::move(shape);
            ok = out.GetPointCount() > 0;
        }
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    RemoveAll();
    return ok;
}
