#pragma once

#include "platform/Gdi.h"
#include "shell/widgets/ColorPopup.h"

#include <QPointer>
#include <QPushButton>

#include <functional>
#include <string>

// A push button that shows a colour and, when pressed, drops down the
// colour palette (ColorPopup) to choose another. The palette offers a
// default entry when the button has a default text (choosing it gives
// kDefaultColorValue, drawn in the default colour) and a custom entry that
// opens the colour dialog when it has a custom text (string 108 "Kitos
// spalvos..." at first). With track selection the button shows the colour
// under the mouse while the palette is open; a cancel puts the colour
// back. Every step is told to the owner with the button's control id.
class CColorButton : public QPushButton {
public:
    // What the owner is told, by number.
    enum Notification {
        kSelChange = 2025,    // a colour was hovered (while tracking) or a different one chosen
        kDropDown = 2026,     // the palette opens
        kCloseUp = 2027,      // the palette closed
        kSelEndOk = 2028,     // a colour was chosen
        kSelEndCancel = 2029, // cancelled; the colour is the one before
    };
    using NotifyFunction = std::function<void(int notification, COLORREF colour, int controlId)>;

    explicit CColorButton(QWidget* parent = nullptr);
    ~CColorButton() override;

    // Shown at once.
    void SetColor(COLORREF colour);
    COLORREF GetColor() const { return m_colour; }
    // At first the colour of the application's workspace.
    void SetDefaultColor(COLORREF colour);
    COLORREF GetDefaultColor() const { return m_defaultColour; }
    // Empty texts leave the entries out of the palette.
    void SetDefaultText(std::string text) { m_defaultText = std::move(text); }
    const std::string& GetDefaultText() const { return m_defaultText; }
    void SetCustomText(std::string text) { m_customText = std::move(text); }
    const std::string& GetCustomText() const { return m_customText; }
    void SetTrackSelection(bool track) { m_trackSelection = track; }
    bool GetTrackSelection() const { return m_trackSelection; }
    void SetNotify(NotifyFunction notify) { m_notify = std::move(notify); }

    bool IsPopupOpen() const { return m_popup != nullptr; }
    // The open palette; null when closed.
    ColorPopup* GetPopup() const { return m_popup; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OpenPopup();
    void OnSelChange(COLORREF colour);
    void OnSelEnd(bool ok, COLORREF colour);
    void Notify(int notification, COLORREF colour);

    COLORREF m_colour = 0;
    COLORREF m_defaultColour;
    std::string m_defaultText;
    std::string m_customText;
    bool m_trackSelection = false;
    COLORREF m_colourBeforeOpen = 0;
    QPointer<ColorPopup> m_popup;
    NotifyFunction m_notify;
};
