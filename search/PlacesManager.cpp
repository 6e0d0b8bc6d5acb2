#include "search/PlacesManager.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"

#include <algorithm>

std::vector<std::string> CPlacesManager::GetNames() const
{
    std::vector<std::string> names;
    for (int i = 0; i < m_document.GetBookmarkCount(); ++i)
        names.push_back(m_document.GetBookmarkName(i));
    return names;
}

bool CPlacesManager::IsPlace(int index) const
{
    return index >= 0 && index < m_document.GetBookmarkCount();
}

CPlacesManager::CButtons CPlacesManager::GetButtons(int selection) const
{
    const bool selected = IsPlace(selection);
    return {selected, m_document.GetBookmarkCount() > 0, selected};
}

void CPlacesManager::Changed()
{
    m_document.SetModifiedFlag();
    m_document.FillBookmarkCombo();
}

int CPlacesManager::Remove(int index)
{
    if (!m_document.DeleteBookmarkAt(index))
        return -1;
    Changed();
    return std::min(index, m_document.GetBookmarkCount() - 1);
}

void CPlacesManager::RemoveAll()
{
    m_document.DeleteAllBookmarks();
    Changed();
}

bool CPlacesManager::Show(int index, CDrelView& view) const
{
    if (!IsPlace(index))
        return false;
    view.ZoomToRect(m_document.GetBookmarkExtent(index), 0);
    return true;
}
