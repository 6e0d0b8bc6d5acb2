#pragma once

#include "layers/DrawStyle.h"
#include "shell/widgets/DialogBase.h"

class CColorButton;
class CFillPatternCombo;
class CLineTypeCombo;
class CStyleSampleButton;
class QCheckBox;
class QLineEdit;

// Dialog 158 "Srities parametrai": the fill, background and outline of an
// area style; the outline is a single line. The caller fills the style,
// runs DoModal and on IDOK reads it back.
class CAreaStyleDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 158;

    explicit CAreaStyleDlg(QWidget* parent = nullptr);

    CDrawStyle& Style() { return m_style; }

protected:
    void OnInitDialog() override;

private:
    void EnableFill();
    void UpdateSample();

    CDrawStyle m_style;
    CColorButton* m_brushColour;
    CColorButton* m_backColour;
    CColorButton* m_outlineColour;
    CFillPatternCombo* m_pattern;
    CLineTypeCombo* m_outlineType;
    QLineEdit* m_width;
    QCheckBox* m_noBackground;
    CStyleSampleButton* m_sample;
};

// The style through the dialog; true after OK.
bool RunAreaStyleDlg(CDrawStyle& style, QWidget* parent);
