#pragma once

#include "shell/widgets/DialogBase.h"

#include <QPointer>

#include <vector>

class CCustomToolBar;
class QListWidget;
class QPushButton;

// The toolbar list (dialog 379 "Įrankių juostos"): check list 1014 of the
// toolbars by their captions, checked while shown; a check shows or hides
// its bar at once. "Priderinti..." (1055) customises the selected bar and
// is enabled only for a bar the user may rearrange; "Uždaryti" closes.
class CToolbarsDlg : public CDialogBase {
public:
    static constexpr int kMaxToolbars = 20;

    // The bars in the list's order (at most 20).
    CToolbarsDlg(const std::vector<CCustomToolBar*>& bars, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;

private:
    void OnCheckChanged(int row);
    void OnSelectionChanged();
    void OnCustomize();

    std::vector<QPointer<CCustomToolBar>> m_bars;
    QListWidget* m_list;
    QPushButton* m_customize;
};
