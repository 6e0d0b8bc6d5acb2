#pragma once

#include <string>
#include <vector>

class CMapLinks;

// The view modes of the maps list, as [Map List] "View Type" keeps them.
enum MapListView : int { kMapListLargeIcons = 0, kMapListDetails = 1, kMapListSmallIcons = 3 };
// A stored view type as a mode: large icons, details, or small icons
// (shown as a list) for the two small kinds.
MapListView MapListViewOf(int viewType);

// One entry of the maps list: a map link's title and map path, and its
// index among the links.
struct CMapListItem {
    std::string title;
    std::string path;
    int link = -1;
};

// The entries of the map chooser (dialog 252) over the application's map
// links: adding, removing and renaming go through the links, and the
// entries follow only what the links took.
class CMapChooserList {
public:
    // The links in their order.
    explicit CMapChooserList(CMapLinks& links);

    const std::vector<CMapListItem>& GetItems() const { return m_items; }
    // The link a map file was given, appended; false when the links refused it.
    bool Add(const std::string& mapPath);
    // After message 2017 answered Yes the link goes, and so does the entry;
    // the entries of the links after it move down one index. False when
    // the user or the links said no.
    bool Remove(int item);
    // The link takes the title; false (the entry keeps its old one) when
    // it could not.
    bool Rename(int item, const std::string& title);

private:
    CMapLinks& m_links;
    std::vector<CMapListItem> m_items;
};
