#pragma once

#include "search/ObjectsAtPoint.h"
#include "shell/widgets/DialogBase.h"

#include <vector>

class CDrelView;
class CListViewEx;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

// Dialog 30813 "Objektai nurodytame taške": the objects a click found,
// one row each (list 1014: layer, object, length or area), the point
// (edit 1109); the selected row's object highlighted on the map,
// "Informacija..." (1) shows its attributes, "Aktyvuoti sluoksnį" (1055)
// selects its layer in the legend, "Uždaryti" (2) closes. The rules are
// search/ObjectsAtPoint.h.
class CObjectsAtPointDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 30813;
    static constexpr int kList = 1014;
    static constexpr int kPointEdit = 1109;
    static constexpr int kInfoButton = 1;
    static constexpr int kActivateButton = 1055;

    // Hits farther than maxDistance are not listed; screen is the clicked
    // point on the screen, which the window leaves uncovered.
    CObjectsAtPointDlg(const CMapPoint& point, const std::vector<CObjectHit>& hits, double maxDistance,
                       CDrelView& view, const CPoint& screen, QWidget* parent = nullptr);

    const std::vector<CObjectAtPointRow>& Rows() const { return m_rows; }
    // The selected row; -1 none.
    int SelectedRow() const;

protected:
    void OnInitDialog() override;
    // "Informacija..." shows the information and keeps the dialog.
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList();
    void SizeColumns();
    void Place();
    void OnSelectionChanged();
    void ActivateLayer();

    CMapPoint m_point;
    CDrelView& m_view;
    CPoint m_screen;
    std::vector<CObjectAtPointRow> m_rows;
    CListViewEx* m_list;
    QStandardItemModel* m_model;
    QLineEdit* m_pointEdit;
    QPushButton* m_info;
    QPushButton* m_activate;
};
