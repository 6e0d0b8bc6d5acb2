#pragma once

#include "core/MapRect.h"

#include <vector>

// The extents a map view has shown, for going back and forth. The empty
// rectangle stands for the map's full extent, whatever it is when the
// entry is shown again. Index -1 is an empty history; while it is below
// -1 nothing is recorded.
class CExtentHistory {
public:
    static constexpr int kSuspended = -2;

    int GetIndex() const { return m_index; }
    void SetIndex(int index) { m_index = index; }
    int GetSize() const { return static_cast<int>(m_entries.size()); }
    const CMapRect& GetAt(int index) const { return m_entries.at(static_cast<size_t>(index)); }

    // A new entry after the current one, dropping those ahead of it;
    // nothing when suspended or when the current entry is the same.
    void Push(const CMapRect& entry);
    bool CanGoBack() const { return m_index > 0; }
    bool CanGoForward() const { return m_index >= 0 && m_index < GetSize() - 1; }

private:
    std::vector<CMapRect> m_entries;
    int m_index = -1;
};
