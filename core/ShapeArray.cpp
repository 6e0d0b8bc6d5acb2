#include "core/ShapeArray.h"

#include "platform/UserServices.h"

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
