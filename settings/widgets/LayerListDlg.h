#pragma once

#include "settings/LayerListManager.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <vector>

class CDrelDoc;
class CLayer;
class QTreeWidget;
class QTreeWidgetItem;

// Dialog 387 "Sluoksnių sąrašo nustatymai": the kinds of entries the layer
// list shows ("Sluoksnių grupė" 1016, "Taškas" 1065, "Linija" 1069,
// "Sritis" 1095, "Trasa" 1107, "Rastrinis žemėlapis" 1018, "Rastrinis
// reljefo modelis ir padengimo zonos" 1019, "Visi tipai" 1015, checked
// exactly when the seven are, and turning all seven on or off) and
// whether shown (1122) and hidden (1123) ones are. OK keeps them for the run.
class CLayerListSettingsDlg : public CDialogBase {
public:
    static constexpr int kGroupsCheck = 1016, kPointsCheck = 1065, kLinesCheck = 1069, kAreasCheck = 1095,
                         kTracksCheck = 1107, kRastersCheck = 1018, kElevationsCheck = 1019, kAllCheck = 1015,
                         kVisibleCheck = 1122, kInvisibleCheck = 1123;

    explicit CLayerListSettingsDlg(QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void UpdateAll();
    void SetAll(bool on);
};

// Dialog 385 "Sluoksnių sąrašas": the layer list manager (list 1014 with
// the visibility check, the filter, active and kind pictures and the
// name of each entry) and its buttons, which act on the selected entries
// at once (CLayerListManager). Its changes are made as they are asked;
// closing tells the map window's views once.
class CLayerListDlg : public CDialogBase {
public:
    static constexpr int kList = 1014;
    // The buttons.
    static constexpr int kActivate = 1130, kSymbol = 1131, kLabels = 1132, kFilter = 1133, kNotes = 1134,
                         kMove = 1135, kRemove = 1136, kUp = 1137, kDown = 1138, kSettings = 1139;
    // The columns: the check, the filter, the active mark, the kind, the name.
    static constexpr int kCheckColumn = 0, kNameColumn = 4;

    CLayerListDlg(CDrelDoc& document, CLayer* active, QWidget* parent = nullptr);

    CLayerListManager& Manager() { return m_manager; }
    QTreeWidget* GetList() const { return m_list; }
    // The entries of the selected rows, in the list's order.
    std::vector<CLayer*> GetSelection() const;
    // Selects the rows of the entries (the rest not).
    void Select(const std::vector<CLayer*>& entries);
    // A double click on the entry's row.
    void OnDoubleClick(CLayer* entry);
    // A click on the row's check.
    void ToggleShown(CLayer* entry);
    // "Aktyvuoti" selects the entry in the map window's legend too.
    std::function<void(CLayer* entry)> selectInLegend;

protected:
    void OnOK() override;
    void OnCancel() override;

private:
    void Refill();
    void UpdateButtons();
    void OnActivate();
    void OnPages(ELayerListPages pages);
    void OnMove();
    void OnRemove();
    void OnUpDown(bool up);
    void OnSettings();
    CLayer* EntryOf(const QTreeWidgetItem* item) const;

    CLayerListManager m_manager;
    QTreeWidget* m_list;
};

// Runs 385 modal over the active window on the document and the legend's
// active entry; "Aktyvuoti" selects through selectInLegend.
void RunLayerListDialog(CDrelDoc& document, CLayer* active, const std::function<void(CLayer*)>& selectInLegend);
