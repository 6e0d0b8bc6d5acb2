#pragma once

#include <QListWidget>

class CThemeClassList;

// The classes of a classification, one item each: its sample for the
// layer type and its text.
class CThemeClassListBox : public QListWidget {
public:
    explicit CThemeClassListBox(QWidget* parent = nullptr);

    void SetLayerType(int type) { m_layerType = type; }
    int GetLayerType() const { return m_layerType; }
    // One item per class; the list must stay while it is shown (null empties).
    void Fill(const CThemeClassList* classes);
    const CThemeClassList* GetClasses() const { return m_classes; }

private:
    class CItemDelegate;
    void PaintItem(QPainter& painter, const QRect& rect, int index, bool selected, bool focused) const;

    const CThemeClassList* m_classes = nullptr;
    int m_layerType = -1;
};
