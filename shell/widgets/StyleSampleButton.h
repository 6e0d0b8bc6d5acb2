#pragma once

#include "shell/StyleSample.h"

#include <QPushButton>

// A push button whose face is a sample of a style (shell/StyleSample.h):
// a point symbol, a line or area style, a text style, a plain colour or
// a symbol over a background. Each setter sets the kind and repaints, but
// SetTextStyle only when asked to.
class CStyleSampleButton : public QPushButton {
public:
    explicit CStyleSampleButton(QWidget* parent = nullptr);

    void SetPointStyle(const CPointStyle& style);
    // The default point style with the symbol.
    void SetSymbolNumber(int symbol);
    // Only the pens count (the first 16 bytes).
    void SetLineStyle(const CDrawStyle& style);
    void SetAreaStyle(const CDrawStyle& style);
    // The frame and halo flags and, when given, the frame's style (its
    // brush colour is the halo's).
    void SetTextStyle(bool frame, bool halo, const CDrawStyle* frameStyle, bool redraw);
    // The text's font (height in points) and colour.
    void SetTextFont(const CLabelStyle& font);
    void SetColor(COLORREF colour);
    // A track style's symbol over its line (its first 24 bytes).
    void SetMarkerStyle(const CTrackStyle& style);
    // "<Nėra>" in place of the sample; the kind stays.
    void SetShowNone(bool none);
    void SetCrosshair(bool crosshair);

    const StyleSample& GetSample() const { return m_sample; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetKind(int kind, bool redraw = true);

    StyleSample m_sample;
};
