#pragma once

#include "mapdoc/LegendList.h"

#include <QListWidget>

class CLayer;
class ILegendListOwner;

// The legend's list box: one row per layer or layer group of the map (the
// layers stay the document's), with a check box, a sample of the style in
// force at the legend's scale, the name and, for a layer that lists its
// classes, a line per class (shell/LayerListRows.h). Rows can be dragged
// to a new place, into a group or out of the open group; what happens is
// reported to the owner (mapdoc/LegendListOwner.h) together with the
// clicks on the check boxes, check and selection changes, double clicks
// and the keys the map view takes. The right mouse button chooses the row
// under it and opens the legend's popup menu (107) of the main frame.
class CDragCheckListBox : public QListWidget, public ILegendList {
public:
    enum CheckStyle {
        kCheckBox,      // the owner decides on clicks
        kAutoCheckBox,  // a click toggles
        kThreeState,    // the owner decides, three states
        kAutoThreeState // a click cycles through three states
    };
    static constexpr int kPopupMenu = 107;

    explicit CDragCheckListBox(QWidget* parent = nullptr);

    void SetOwner(ILegendListOwner* owner) { m_owner = owner; }
    void SetCheckStyle(CheckStyle style) { m_checkStyle = style; }
    CheckStyle GetCheckStyle() const { return m_checkStyle; }
    // Several rows selected at once (with Ctrl and Shift).
    void SetMultipleSelection(bool on);
    // While a name is edited no row can be dragged.
    void SetEditing(bool editing) { m_editing = editing; }
    bool IsEditing() const { return m_editing; }
    // The list shows a group's contents, the group's own row first (the
    // way back up).
    bool ShowsGroupContents() const { return m_groupContents; }

    // Rows: the index of the new row; -1 appends.
    int AddLayer(CLayer* layer, int check = 0) { return InsertLayer(-1, layer, check); }
    int InsertLayer(int index, CLayer* layer, int check = 0) override;
    void DeleteRow(int index) override;
    void ResetContent() override;
    int GetCount() const override { return count(); }
    CLayer* GetLayer(int index) const override;
    int FindLayer(const CLayer* layer) const override;
    int GetCheck(int index) const override;
    void SetCheck(int index, int check) override;
    // The selected row (the current one of several), -1 when none; -1 clears.
    int GetCurSel() const override;
    void SetCurSel(int index) override;
    // The height a layer's row takes at the legend's scale.
    int MeasureRow(const CLayer& layer) const override;
    // The height the row had when it was measured last.
    int GetRowHeight(int index) const override;
    // Measures and paints a row again after its layer changed.
    void RefreshRow(int index) override;
    void Repaint() override { viewport()->update(); }
    void SetShowsGroupContents(bool on) override;
    void SetRedraw(bool on) override { setUpdatesEnabled(on); }
    // The row at a point of the viewport; -1 outside the rows.
    int RowAt(const QPoint& point) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    class CRowDelegate;
    friend class CRowDelegate;

    void PaintRow(QPainter* painter, const QRect& rect, int row) const;
    bool InCheckBox(int row, const QPoint& point) const;
    bool IsGroupRow(int row) const;
    void ClickBox(int row, QMouseEvent* event);
    void ToggleChecks(int row);
    void BeginDrag(int row);
    void TrackDrag(const QPoint& point);
    void Drop(const QPoint& point);
    void CancelDrag();
    int DropKindAt(const QPoint& point, int& target) const;

    ILegendListOwner* m_owner = nullptr;
    CheckStyle m_checkStyle = kAutoCheckBox;
    bool m_editing = false;
    bool m_groupContents = false;
    // The row pressed on, and where, until the mouse goes up.
    int m_pressRow = -1;
    QPoint m_pressPoint;
    // A press on a box that the list box's own handling did not see.
    bool m_unseenPress = false;
    int m_dragRow = -1;
    // While dragging: the row whose edge shows where the row would go
    // (above it -1, below it 1), or the row it would go into.
    int m_markRow = -1;
    int m_markSide = 0;
    int m_intoRow = -1;
    // Selection changes made by the program are not reported.
    int m_quiet = 0;
};
