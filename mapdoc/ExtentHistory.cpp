#include "mapdoc/ExtentHistory.h"

void CExtentHistory::Push(const CMapRect& entry)
{
    if (m_index < -1)
        return;
    if (m_index >= 0 && m_index < GetSize() && m_entries[static_cast<size_t>(m_index)] == entry)
        return;
    ++m_index;
    m_entries.resize(static_cast<size_t>(m_index));
    m_entries.push_back(entry);
}
