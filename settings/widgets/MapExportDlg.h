#pragma once

#include "settings/MapExportRules.h"
#include "shell/widgets/DialogBase.h"

class CDrelView;
class QComboBox;
class QLineEdit;
struct CExportSettings;

// The map export settings (dialog 359 "Žemėlapio eksportas" for pictures,
// 30802 for metafiles, the same controls): colours, resolution, scale,
// extent, tiles, georeference files and a transparent metafile
// background, with the picture's size and the bytes of one tile shown as
// they are edited (settings/MapExportRules.h).
class CMapExportDlg : public CDialogBase {
public:
    CMapExportDlg(int layout, CDrelView& view, const CMapExportValues& values, QWidget* parent = nullptr);

    const CMapExportValues& GetValues() const { return m_values; }
    const CExportViewInfo& GetViewInfo() const { return m_view; }

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    void BuildControls(int layout);
    // A combo's choice applied: the edits it fills, then the preview.
    void OnResolutionChoice(int index);
    void OnScaleChoice(int index);
    void OnExtentChoice(int index);
    void OnDpiTyped();
    void OnScaleTyped();
    void OnEdgeTyped();
    void ShowChoiceValues();
    void UpdatePreview();
    QComboBox* Combo(int id) const;
    QLineEdit* Edit(int id) const;
    void SetEditText(int id, const std::string& text);
    std::string EditText(int id) const;

    CMapExportValues m_values;
    CExportViewInfo m_view;
    bool m_silent = true; // the dialog sets its own controls
};

// Runs the dialog of the layout with the run's last values; on OK they
// are kept and become the settings. False when cancelled.
bool EditMapExportSettings(int layout, CDrelView& view, CExportSettings& settings);
