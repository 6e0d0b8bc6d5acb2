#pragma once

#include "settings/StyleDialogRules.h"
#include "shell/widgets/DialogBase.h"

class CColorButton;
class CLineTypeCombo;
class CStyleSampleButton;
class QCheckBox;
class QLineEdit;

// Dialog 157 "Linijos parametrai": the pens of a line style, a double line
// as two superimposed pens. The caller fills the values, runs DoModal and
// on IDOK reads them back.
class CLineStyleDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 157;

    explicit CLineStyleDlg(QWidget* parent = nullptr);

    CLineStyleValues& Values() { return m_values; }

protected:
    void OnInitDialog() override;

private:
    void ShowSecondLine(bool shown);
    void UpdateSample();

    CLineStyleValues m_values;
    CColorButton* m_colour[2];
    CLineTypeCombo* m_type[2];
    QLineEdit* m_width[2];
    QCheckBox* m_double;
    CStyleSampleButton* m_sample;
};

// The line part of a style (its pens) through the dialog; true after OK.
bool RunLineStyleDlg(CDrawStyle& style, QWidget* parent);
