#pragma once

#include <QComboBox>

class CDC;
class CRect;
struct ControlColors;
class CFont;

// A drop-down list whose entries draw themselves through a device context,
// in the list and in the closed box alike.
class COwnerDrawCombo : public QComboBox {
public:
    COwnerDrawCombo(int itemHeight, QWidget* parent);

protected:
    virtual void DrawEntry(CDC& dc, const CRect& rect, int index, bool selected, const ControlColors& colours,
                           const CFont& font) const = 0;
    void paintEvent(QPaintEvent* event) override;

private:
    class CEntryDelegate;
    void PaintEntry(QPainter& painter, const QRect& rect, int index, bool selected) const;

    int m_itemHeight;
};
