#pragma once

class CLayer;

// The legend's list box as the legend fills it: rows of layers and groups
// (the document's entries) with their check boxes. Changes made through
// these calls are not reported back to the list's owner.
class ILegendList {
public:
    virtual ~ILegendList() = default;

    // The index of the new row; -1 appends.
    virtual int InsertLayer(int index, CLayer* layer, int check) = 0;
    virtual void DeleteRow(int index) = 0;
    virtual void ResetContent() = 0;
    virtual int GetCount() const = 0;
    // Null outside the rows.
    virtual CLayer* GetLayer(int index) const = 0;
    // -1 when the layer has no row.
    virtual int FindLayer(const CLayer* layer) const = 0;
    virtual int GetCheck(int index) const = 0;
    virtual void SetCheck(int index, int check) = 0;
    // -1 when no row is selected; -1 clears the selection.
    virtual int GetCurSel() const = 0;
    virtual void SetCurSel(int index) = 0;
    // The height a row of the layer takes now, and the one the row was
    // given when it was measured last.
    virtual int MeasureRow(const CLayer& layer) const = 0;
    virtual int GetRowHeight(int index) const = 0;
    // Measures and paints the row again.
    virtual void RefreshRow(int index) = 0;
    virtual void Repaint() = 0;
    // The rows show a group's contents, the group's own row first.
    virtual void SetShowsGroupContents(bool on) = 0;
    // While off, filling the list shows nothing.
    virtual void SetRedraw(bool on) = 0;
};
