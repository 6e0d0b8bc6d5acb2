#pragma once

#include "shell/ColorPalette.h"

#include <QWidget>

#include <functional>
#include <string>

// The palette that drops down from a colour button (CColorButton): a
// popup window kept on the screen below the button (above it at the
// bottom edge), marking the initial colour. The entry under the mouse, or
// reached with the arrows, becomes current and is reported; a click on
// the popup or Enter or Space chooses it, a click outside, Escape or the
// popup closing otherwise cancels. Choosing the custom entry opens the
// colour dialog (171), whose cancel cancels.
class ColorPopup : public QWidget {
public:
    using SelChangeFunction = std::function<void(COLORREF colour)>;
    // ok false: cancelled, colour the initial one.
    using EndFunction = std::function<void(bool ok, COLORREF colour)>;

    // The button's rectangle on the screen.
    ColorPopup(const QRect& button, COLORREF colour, const std::string& defaultText, const std::string& customText,
               QWidget* owner);
    ~ColorPopup() override;

    void SetHandlers(SelChangeFunction selChange, EndFunction end);
    const CColorPalette& Palette() const { return m_palette; }
    int GetCurrentEntry() const { return m_current; }
    COLORREF GetColor() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ChangeSelection(int entry);
    void EndSelection(bool ok);

    CColorPalette m_palette;
    int m_current;
    COLORREF m_colour;
    bool m_ended = false;
    SelChangeFunction m_selChange;
    EndFunction m_end;
};
