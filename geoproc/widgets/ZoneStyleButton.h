#pragma once

#include "layers/DrawStyle.h"

#include <QPushButton>

// A button that shows an area style as a swatch (the symbol button of
// the buffer-zone dialog).
class CZoneStyleButton : public QPushButton {
public:
    explicit CZoneStyleButton(QWidget* parent = nullptr);

    void SetStyle(const CDrawStyle& style);
    const CDrawStyle& GetStyle() const { return m_style; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CDrawStyle m_style{};
};
