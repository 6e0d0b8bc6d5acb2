#pragma once

class CLayer;

// What the legend's list box (rows of layers and groups with check boxes,
// rows dragged to a new place) reports to the legend that owns it and
// asks of it. Row numbers count from 0 in the list as shown; the layers
// are the document's.
class ILegendListOwner {
public:
    // The notification codes of the list's reports.
    enum Notification : int { kDropNotify = 1000, kBoxClickNotify = 1001 };
    // How a dropped row relates to the row it was dropped on.
    enum DropKind : int {
        kDropBefore = 0,    // moved up, to the target's place
        kDropToParent = 1,  // out of the open group, onto its own row
        kDropIntoGroup = 2, // into the target group
        kDropAfter = 3,     // moved down, to the target's place
    };
    struct CLayerDrop {
        CLayer* dragged;
        CLayer* target;
        int kind;
    };

    virtual ~ILegendListOwner() = default;

    // The scale denominator of the map beside the legend: rows show the
    // sublayer in force at it.
    virtual double GetLegendScale() const { return 0; }
    // A row was dropped (1000). With kDropBefore and kDropAfter the list
    // has already moved the row to the target's place, selected; with the
    // other kinds it has removed it.
    virtual void OnLayerDrop(const CLayerDrop& drop) {}
    // The mouse hit a row's check box (1001), before the box changes.
    virtual void OnBoxClick(int row) {}
    // The check box of a row changed (for a click on a selected row of a
    // list that selects several, once per row that changed).
    virtual void OnCheckChange(int row) {}
    virtual void OnSelectionChange() {}
    // A double click on a group row (30267, open the group) or on the row
    // of the open group (30268, back to the enclosing level).
    virtual void OnListCommand(int id) {}
    // Escape, Page Up, Page Down, End, Home, Delete, the keypad's plus and
    // minus, '=' and '-': the virtual key code (platform/VirtualKeys.h).
    virtual void OnListKey(int virtualKey) {}
};
