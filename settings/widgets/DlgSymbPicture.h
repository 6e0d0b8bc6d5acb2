#pragma once

#include "layers/PointStyle.h"
#include "platform/Gdi.h"
#include "platform/Point.h"
#include "shell/widgets/PropertySheet.h"

#include <string>

class CColorButton;
class CPictureCtrl;
class QLabel;
class QLineEdit;
class QPushButton;

// Page 30797 "Piešinys" of the point symbol sheet: a picture file, the
// picture's pixel placed on the point (typed, centred or clicked in the
// picture), a transparent colour for raster pictures (chosen or clicked),
// and the size with its base scale for metafiles. Each change shows the
// page's style in the sheet.
class CDlgSymbPicture : public CPropertyPage {
public:
    static constexpr int kDialogId = 30797;

    CDlgSymbPicture();

    CPointStyle m_style;

    // A picture file chosen ("Fai&lai..." on OK): the style's picture,
    // symbol 0, the anchor at its centre.
    void SetPictureFile(const std::string& path);
    // A click in the picture while a pick button is pressed.
    void SetAnchor(CPoint point);
    void SetTransparentColor(COLORREF colour);
    // 0, 133 (transparent colour) or 134 (anchor).
    int GetPickMode() const { return m_pickMode; }

protected:
    void OnInitDialog() override;
    void OnSetActive() override;

private:
    // The controls after the style changed; load: the picture too.
    void Refresh(bool load);
    void WriteAnchor();
    void WriteSize();
    void SetPickMode(int mode);
    void OnBrowse();
    void Changed();

    CPictureCtrl* m_picture = nullptr;
    QLineEdit* m_file = nullptr;
    QLineEdit* m_anchor[2] = {nullptr, nullptr};
    QPushButton* m_anchorPick = nullptr;
    QPushButton* m_colourPick = nullptr;
    CColorButton* m_colour = nullptr;
    QLabel* m_colourSample = nullptr;
    QLineEdit* m_size = nullptr;
    QLineEdit* m_baseScale = nullptr;
    int m_pickMode = 0;
    // The page's own writes into its edits are no user's edits.
    int m_writing = 0;
};
