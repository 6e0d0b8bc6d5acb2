#pragma once

#include <QListWidget>

class CLayer;
class CThemeClassList;

// The classes of a classification, one item each: its sample for the
// layer type and its text; an elevation layer's classes show the height
// ranges between their values.
class CThemeClassListBox : public QListWidget {
public:
    explicit CThemeClassListBox(QWidget* parent = nullptr);

    void SetLayerType(int type) { m_layerType = type; }
    int GetLayerType() const { return m_layerType; }
    // The elevation layer whose flags choose the texts (not owned).
    void SetLayer(const CLayer* layer) { m_layer = layer; }
    // One item per class; the list must stay while it is shown (null empties).
    void Fill(const CThemeClassList* classes);
    const CThemeClassList* GetClasses() const { return m_classes; }

private:
    class CItemDelegate;
    void PaintItem(QPainter& painter, const QRect& rect, int index, bool selected, bool focused) const;

    const CThemeClassList* m_classes = nullptr;
    const CLayer* m_layer = nullptr;
    int m_layerType = -1;
};
