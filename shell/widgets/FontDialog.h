#pragma once

#include "platform/Gdi.h"

#include <QFontDialog>

class CColorButton;

// The font dialog of the program (resource 1543): Qt's own, with a face,
// its style, a size in points and the effects (underline, strike-out, and
// a colour when one is given). Its labels are Lithuanian while the program
// shows its own message box (string 136 is not "English"), else Qt's.
class CFontDialog : public QFontDialog {
public:
    static constexpr int kTemplateId = 1543;
    // The colour button in the effects, when there is a colour.
    static constexpr int kColorButtonId = 1139;

    // The font's height is its size in points, of either sign. The labels
    // follow the program's message box.
    explicit CFontDialog(const LOGFONT& font, QWidget* parent = nullptr);
    CFontDialog(const LOGFONT& font, bool lithuanian, QWidget* parent = nullptr);

    // Offers the colour in the effects (a colour button with "Kitos
    // spalvos..." and no default entry).
    void SetColor(COLORREF colour);
    COLORREF GetColor() const;

    // IDOK or IDCANCEL.
    int DoModal();
    // The chosen font: the height minus the size in points, the weight,
    // italic, underline and strike-out as chosen, the face name (code page
    // 1257, at most 31 characters) as given unless another face was
    // chosen, the rest as given.
    LOGFONT GetLogFont() const;

private:
    LOGFONT m_font;
    // The family the dialog first showed for the font's face.
    QString m_shownFamily;
    bool m_lithuanian;
    CColorButton* m_colorButton = nullptr;
};
