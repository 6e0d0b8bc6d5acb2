#include "settings/MapChooserList.h"

#include "platform/UserServices.h"
#include "shell/MapLinks.h"

namespace {

constexpr int kAskRemove = 2017;

} // namespace

MapListView MapListViewOf(int viewType)
{
    switch (viewType & 3) {
    case kMapListLargeIcons:
        return kMapListLargeIcons;
    case kMapListDetails:
        return kMapListDetails;
    default:
        return kMapListSmallIcons;
    }
}

CMapChooserList::CMapChooserList(CMapLinks& links) : m_links(links)
{
    for (int i = 0; i < links.GetCount(); ++i)
        m_items.push_back({links.GetTitle(i), links.GetMapPath(i), i});
}

bool CMapChooserList::Add(const std::string& mapPath)
{
    const int link = m_links.AddMapLink(mapPath);
    if (link < 0 || link >= m_links.GetCount())
        return false;
    m_items.push_back({m_links.GetTitle(link), m_links.GetMapPath(link), link});
    return true;
}

bool CMapChooserList::Remove(int item)
{
    if (item < 0 || item >= static_cast<int>(m_items.size()))
        return false;
    if (AppMessageBox(kAskRemove, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    const int link = m_items[static_cast<size_t>(item)].link;
    if (!m_links.DeleteMapLink(link))
        return false;
    m_items.erase(m_items.begin() + item);
    for (CMapListItem& other : m_items)
        if (other.link > link)
            --other.link;
    return true;
}

bool CMapChooserList::Rename(int item, const std::string& title)
{
    if (item < 0 || item >= static_cast<int>(m_items.size()))
        return false;
    CMapListItem& entry = m_items[static_cast<size_t>(item)];
    if (!m_links.RenameMapLink(entry.link, title))
        return false;
    entry.title = m_links.GetTitle(entry.link);
    return true;
}
