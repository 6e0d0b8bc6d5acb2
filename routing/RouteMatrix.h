#pragma once

#include "routing/RouteAllocation.h"

#include <memory>

// A rows x columns matrix held as separately allocated rows behind an array
// of row pointers, which is the shape the stop ordering takes its costs in.
template <class T>
class CRouteMatrix {
public:
    CRouteMatrix() = default;
    ~CRouteMatrix() { Free(); }
    CRouteMatrix(const CRouteMatrix&) = delete;
    CRouteMatrix& operator=(const CRouteMatrix&) = delete;

    // Frees what is held; no cells for rows <= 0 or columns <= 0 (true).
    // False, and nothing held, when any row cannot be had. New cells are zero.
    bool Allocate(int rows, int columns)
    {
        Free();
        if (rows <= 0 || columns <= 0)
            return true;
        m_rows = AllocateRouteArray<T*>(static_cast<size_t>(rows));
        if (!m_rows)
            return false;
        m_rowCount = rows;
        for (int i = 0; i < rows; ++i) {
            m_rows[i] = AllocateRouteArray<T>(static_cast<size_t>(columns)).release();
            if (!m_rows[i]) {
                Free();
                return false;
            }
        }
        m_columnCount = columns;
        return true;
    }

    void Free()
    {
        for (int i = 0; i < m_rowCount; ++i)
            delete[] m_rows[i];
        m_rows.reset();
        m_rowCount = m_columnCount = 0;
    }

    int GetRowCount() const { return m_rowCount; }
    int GetColumnCount() const { return m_columnCount; }
    T** GetRows() { return m_rows.get(); }
    T* GetRow(int row) { return m_rows[row]; }
    const T* GetRow(int row) const { return m_rows[row]; }
    T& At(int row, int column) { return m_rows[row][column]; }
    const T& At(int row, int column) const { return m_rows[row][column]; }

private:
    std::unique_ptr<T*[]> m_rows;
    int m_rowCount = 0;
    int m_columnCount = 0;
};
