#pragma once

#include "platform/Gdi.h"
#include "platform/Icon.h"

#include <QTreeView>

#include <vector>

class CDC;

// A report list over a model (columns from its header, texts from its
// display role, the small image from the first column's decoration, a
// state image from kStateImageRole) that paints its rows itself through
// the device context: the selection highlights the whole row over all
// columns, grid lines part the columns and rows, and a text that does not
// fit its column is cut to its first letters and "...". A right-aligned
// or centred column keeps its alignment only for texts that fit.
class CListViewEx : public QTreeView {
public:
    // 1-based index into the state images; 0 for none.
    static constexpr int kStateImageRole = Qt::UserRole + 100;
    // The margins a cell's text leaves: the first column's, and the other
    // columns' when aligned right or centred, or left.
    static constexpr int kFirstColumnExtra = 3, kAlignedExtra = 12, kLeftExtra = 7;
    static constexpr int kMaxItemText = 259;

    explicit CListViewEx(QWidget* parent = nullptr);

    // The colours of texts, of the cells behind them and of the rest of
    // the list; the system window colours at first.
    void SetTextColor(COLORREF colour);
    void SetTextBkColor(COLORREF colour);
    void SetBkColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_textColour; }
    COLORREF GetTextBkColor() const { return m_textBkColour; }
    COLORREF GetBkColor() const { return m_bkColour; }
    void SetFullRowSelection(bool on);
    bool GetFullRowSelection() const { return m_fullRow; }
    // Whether selected rows stay highlighted without the focus (on at creation).
    void SetShowSelectionAlways(bool on);
    void SetStateImages(std::vector<CIcon> images);
    // Repaints the focused row and, unless the selection shows always, the selected ones.
    void RepaintSelectedItems();

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DrawRow(CDC& dc, const QRect& row, const QModelIndex& index) const;
    std::string CellText(const QModelIndex& index) const;

    bool m_fullRow = true;
    bool m_showSelectionAlways = true;
    COLORREF m_textColour;
    COLORREF m_textBkColour;
    COLORREF m_bkColour;
    std::vector<CIcon> m_stateImages;
};
