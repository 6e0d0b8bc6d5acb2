#pragma once

#include "settings/widgets/LayerPropSheet.h"

class QStandardItemModel;
class QTreeView;

// The table page (dialog 30736 "Duomenų bazė"): one row per field of the
// layer's table, its full name edited in place, its check telling whether
// it is shown. Leaving it writes the aliases and hidden fields.
class CLayerDBPage : public CLayerSheetPage {
public:
    explicit CLayerDBPage(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnKillActive() override;

private:
    void FillList();
    void WriteBack();
    void OnStructure();

    QTreeView* m_list = nullptr;
    QStandardItemModel* m_model = nullptr;
    // The table was read: an unreadable one leaves the fields as they are.
    bool m_filled = false;
};
