#pragma once

#include "layers/DtmLayerPropertySheet.h"
#include "platform/Gdi.h"
#include "settings/ThemeDialogRules.h"
#include "settings/widgets/LayerPropSheet.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CLayerNotesPage;
class CThemeClassList;
class CThemeClassListBox;
class QListWidget;
class QPushButton;

// Dialog 231 "Redaguoti legendą": one class value.
class CLegendValueDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 231, kValueEdit = 1017;

    explicit CLegendValueDlg(double value, QWidget* parent = nullptr);
    double GetValue() const { return m_value; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    double m_value;
};

// Dialog 232 "Informacija apie failą": where a grid file lies and its size.
class CDtmFileInfoDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 232, kNameText = 1059, kLowerLeftText = 1060, kCellSizeText = 1061,
                         kGridSizeText = 1062, kUpperRightText = 1063;

    explicit CDtmFileInfoDlg(const GridFileInfo& info, QWidget* parent = nullptr);
};

// Dialog 30751 "Aprašas": the name, the shown and working flags and the
// grid files of the working copy.
class CDtmLayerDefPage : public CLayerSheetPage {
public:
    static constexpr int kNameEdit = 1004, kTypeText = 1007, kFileList = 1014, kAddButton = 1055, kRemoveButton = 1056,
                         kRemoveAllButton = 1089, kInfoButton = 1019, kMapCheck = 1015, kOverviewCheck = 1016,
                         kWorkingCheck = 1025;

    explicit CDtmLayerDefPage(CLayerPropSheet& sheet);

    // The open dialog of several existing files; false when cancelled.
    std::function<bool(const std::string& filter, std::vector<std::string>& paths)> chooseFiles;

protected:
    void OnInitDialog() override;
    bool OnKillActive() override;

private:
    void OnAdd();
    void OnRemove();
    void OnRemoveAll();
    void OnInfo();
    void EnableButtons();

    QListWidget* m_files = nullptr;
};

// Dialog 30750 "Legenda": the height classes of the working copy's first
// band and their colours.
class CDtmLayerLegendPage : public CLayerSheetPage {
public:
    static constexpr int kClassList = 1001, kAddButton = 1055, kEditButton = 1056, kColourButton = 1089,
                         kRemoveButton = 1019, kRecalculateButton = 1020, kInterpolateCheck = 1015;

    explicit CDtmLayerLegendPage(CLayerPropSheet& sheet);

    // The colour dialog 171 on the colour; false when cancelled.
    std::function<bool(COLORREF& colour, QWidget* parent)> chooseColour;

protected:
    void OnInitDialog() override;

private:
    CThemeClassList* Classes() const;
    void Refill(int selected);
    void EnableButtons();
    void OnAdd();
    void OnEdit();
    void OnColour();
    void OnRemove();
    void OnRecalculate();
    void OnInterpolate(bool on);

    CThemeClassListBox* m_list = nullptr;
};

// "Sluoksnio parametrai" of an elevation layer: the definition, legend and
// notes pages over a working copy, the legend page first. Only
// ApplyToLayer (after OK) changes the layer.
class CDtmLayerPropertySheet : public CLayerPropSheet {
public:
    explicit CDtmLayerPropertySheet(QWidget* parent = nullptr);
    ~CDtmLayerPropertySheet() override;

    // Page group 0 keeps only the legend page, 3 only the notes page.
    void SetLayer(CLayer& layer, CDrelDoc* document, int pageGroup = -1);
    CDtmLayerDefPage& DefPage() const { return *m_def; }
    CDtmLayerLegendPage& LegendPage() const { return *m_legend; }

private:
    std::unique_ptr<CDtmLayerDefPage> m_def;
    std::unique_ptr<CDtmLayerLegendPage> m_legend;
    std::unique_ptr<CLayerNotesPage> m_notes;
};

// The sheet behind IDtmLayerPropertySheet, modal over the active window.
class CDtmSheetRunner : public IDtmLayerPropertySheet {
public:
    bool Run(CDtmLayer& layer, CDrelDoc* document, int pageGroup) override;
};
