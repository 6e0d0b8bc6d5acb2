#pragma once

#include <functional>
#include <string>

// The application's message box rules, before any box shows: a plain OK
// box while another plain OK box shows is dropped (a burst of one warning
// shows once), the program's own box gets the exclamation icon for the
// OK, OK/Cancel, Yes/No/Cancel and Yes/No sets without an icon, and every
// box the caption given (the application's name). Texts are code page 1257.
class CMessageBoxRules {
public:
    // Shows a box and answers the button pressed (IDOK ...); ownBox: the
    // program's own box rather than the system's.
    using Presenter = std::function<int(const std::string& text, const std::string& caption, unsigned type, bool ownBox)>;

    CMessageBoxRules(std::string caption, Presenter presenter);

    void SetOwnBox(bool ownBox) { m_ownBox = ownBox; }
    bool IsOwnBox() const { return m_ownBox; }
    void SetPresenter(Presenter presenter) { m_presenter = std::move(presenter); }

    // The button pressed; 0 for a plain OK box dropped, or when no box could be shown.
    int DoMessageBox(const std::string& text, unsigned type, unsigned helpId);
    bool IsOkBoxOpen() const { return m_okBoxOpen; }

private:
    std::string m_caption;
    Presenter m_presenter;
    bool m_ownBox = false;
    bool m_okBoxOpen = false;
};
