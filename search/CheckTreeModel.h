#pragma once

#include <vector>

// The checks of a three-state check tree (CheckTreeCtrl). An item's state
// is its state image: 1 unchecked, 2 checked, 3 partly checked (some of
// its children checked, some not). Items are numbered in the order they
// were added; an unknown number is left alone.
class CCheckTreeModel {
public:
    enum State { kUnchecked = 1, kChecked = 2, kPartlyChecked = 3 };
    static constexpr int kNoItem = -1;

    // A new unchecked item, last among the children of parent (kNoItem: a
    // top-level item); its number.
    int AddItem(int parent);
    void Clear() { m_items.clear(); }
    int GetCount() const { return static_cast<int>(m_items.size()); }
    bool IsItem(int item) const { return item >= 0 && item < GetCount(); }

    int GetParent(int item) const;
    int GetState(int item) const;
    // Checked or partly checked.
    bool IsChecked(int item) const;

    // The item alone.
    void SetCheck(int item, bool check);
    // Every item below the item, at any depth.
    void SetDescendants(int item, int state);
    // Each item above the item, from its parent upwards, takes the state of
    // its direct children: all unchecked, all checked, else partly checked.
    void UpdateParents(int item);
    // Every top-level item and everything below it.
    void CheckAll();
    // A click on the state image or Space: a checked item becomes
    // unchecked, any other checked; everything below it follows, then the
    // items above it.
    void Toggle(int item);

private:
    struct Item {
        int parent;
        int state;
        std::vector<int> children;
    };
    std::vector<Item> m_items;
    std::vector<int> m_topLevel;
};
