#pragma once

#include "layers/PointStyle.h"
#include "settings/widgets/DlgSymbFont.h"
#include "settings/widgets/DlgSymbIcon.h"
#include "settings/widgets/DlgSymbPicture.h"
#include "shell/widgets/PropertySheet.h"

class CStyleSampleButton;
class QLabel;

// The point symbol sheet "Sutartinis ženklas" (string 106): a library
// symbol, a symbol-font character or a picture, one page each, with the
// style's sample and "Ženklo numeris: %d" beside the pages. The caller
// puts the style in m_style, runs DoModal and on IDOK takes m_style back;
// the sheet starts on the page of the style's kind.
class CDlgSymbols : public CPropertySheet {
public:
    static constexpr int kCaptionString = 106;
    static constexpr int kSampleId = 4096;
    static constexpr int kNumberId = 4097;
    // How much wider than its pages the sheet is, for the sample.
    static constexpr int kSideWidth = 120;

    explicit CDlgSymbols(QWidget* parent = nullptr);

    // The sheet's style, shown in the sample with its number; a style
    // without a symbol (0xFFFF) is ignored.
    void SetStyle(const CPointStyle& style);

    CPointStyle m_style;
    CDlgSymbIcon m_iconPage;
    CDlgSymbFont m_fontPage;
    CDlgSymbPicture m_picturePage;

protected:
    void OnInitDialog() override;

private:
    CStyleSampleButton* m_sample;
    QLabel* m_number;
};

// The sheet over the parent on the style; true after OK, the style then
// the one chosen.
bool RunDlgSymbols(CPointStyle& style, QWidget* parent);

// What the pages tell the sheet they stand on, when it is the symbol sheet.
void ShowInSymbolSheet(const CPropertyPage& page, const CPointStyle& style);
// A double-click's choice: the sheet's OK.
void CloseSymbolSheet(const CPropertyPage& page);
