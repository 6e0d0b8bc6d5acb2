#pragma once

#include "settings/PageSetup.h"
#include "shell/widgets/DialogBase.h"

class CDataExchange;
class QGroupBox;

// The map's page setup (dialog 166 "Puslapio parametrai") on the page
// setup of the run: the scale on the page, margins, captions and their
// fonts, frame, first page only, page borders in the map window and the
// title block with its fields (dialog 329) and font. OK stores what the
// dialog edits; fonts and title-block fields chosen are kept also when it
// is then cancelled.
class CPageSetupDlg : public CDialogBase {
public:
    explicit CPageSetupDlg(CPageSetup& setup, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void OnTitleBlockCheck(bool on);
    void OnTitleBlockFields();

    CPageSetup& m_setup;
    CMapPageSetup m_values;
};

// Shared by the map's and the table's page setup.
// The margins group: edits 1008, 1009, 1017, 1007 with spins 1028, 1029,
// 1085, 1088, 0 to kMaxMargin millimetres.
QGroupBox* MakeMarginsGroup(QWidget* dialog);
void ExchangeMargins(CDataExchange& dx, CPageMargins& margins);
// The font dialog on a font of the page setup (height in tenths of a
// point); true when one was chosen.
bool ChoosePageFont(QWidget* parent, LOGFONT& font);
