#include "search/CheckTreeModel.h"

#include <cstddef>

int CCheckTreeModel::AddItem(int parent)
{
    const int item = GetCount();
    if (!IsItem(parent))
        parent = kNoItem;
    m_items.push_back({parent, kUnchecked, {}});
    (parent == kNoItem ? m_topLevel : m_items[static_cast<std::size_t>(parent)].children).push_back(item);
    return item;
}

int CCheckTreeModel::GetParent(int item) const
{
    return IsItem(item) ? m_items[static_cast<std::size_t>(item)].parent : kNoItem;
}

int CCheckTreeModel::GetState(int item) const
{
    return IsItem(item) ? m_items[static_cast<std::size_t>(item)].state : kUnchecked;
}

bool CCheckTreeModel::IsChecked(int item) const
{
    return GetState(item) != kUnchecked;
}

void CCheckTreeModel::SetCheck(int item, bool check)
{
    if (IsItem(item))
        m_items[static_cast<std::size_t>(item)].state = check ? kChecked : kUnchecked;
}

void CCheckTreeModel::SetDescendants(int item, int state)
{
    if (!IsItem(item))
        return;
    // An explicit stack: layer groups may nest deeply.
    std::vector<int> pending(m_items[static_cast<std::size_t>(item)].children);
    while (!pending.empty()) {
        Item& below = m_items[static_cast<std::size_t>(pending.back())];
        pending.pop_back();
        below.state = state;
        pending.insert(pending.end(), below.children.begin(), below.children.end());
    }
}

void CCheckTreeModel::UpdateParents(int item)
{
    for (int parent = GetParent(item); parent != kNoItem; parent = GetParent(parent)) {
        Item& above = m_items[static_cast<std::size_t>(parent)];
        bool anyChecked = false, anyUnchecked = false, anyPartly = false;
        for (const int child : above.children) {
            const int state = GetState(child);
            anyChecked |= state == kChecked;
            anyUnchecked |= state == kUnchecked;
            anyPartly |= state == kPartlyChecked;
        }
        above.state = anyPartly || (anyChecked && anyUnchecked) ? kPartlyChecked
                      : anyChecked                              ? kChecked
                                                                : kUnchecked;
    }
}

void CCheckTreeModel::CheckAll()
{
    for (const int item : m_topLevel) {
        SetCheck(item, true);
        SetDescendants(item, kChecked);
    }
}

void CCheckTreeModel::Toggle(int item)
{
    if (!IsItem(item))
        return;
    const bool check = GetState(item) != kChecked;
    SetCheck(item, check);
    SetDescendants(item, check ? kChecked : kUnchecked);
    UpdateParents(item);
}
