#pragma once

#include "layers/PointStyle.h"
#include "shell/widgets/PropertySheet.h"

#include <string>
#include <vector>

class CCharListBox;
class CColorButton;
class QComboBox;
class QLineEdit;

// Page 30795 "Tekstinis" of the point symbol sheet: a character of a
// scalable font with its size, angle, colour, outline, bold and shadow,
// and a base scale when it follows the map's scale. Each change shows the
// page's style in the sheet; a double-click on a character also closes
// the sheet with OK.
class CDlgSymbFont : public CPropertyPage {
public:
    static constexpr int kDialogId = 30795;

    CDlgSymbFont();

    CPointStyle m_style;

protected:
    void OnInitDialog() override;
    void OnSetActive() override;

private:
    void Changed();
    void OnFace(int index);
    void OnFlag(uint32_t flag, bool on);
    void OnScalesWithMap(bool on);

    std::vector<std::string> m_faces;
    QComboBox* m_face = nullptr;
    QComboBox* m_size = nullptr;
    CColorButton* m_colour = nullptr;
    QLineEdit* m_angle = nullptr;
    QLineEdit* m_baseScale = nullptr;
    CCharListBox* m_chars = nullptr;
    // Edits are the user's only once the page is filled, and not while
    // the page writes them.
    bool m_ready = false;
    int m_writing = 0;
};
