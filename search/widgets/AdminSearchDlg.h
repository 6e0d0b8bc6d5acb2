#pragma once

#include "search/AdminSearchParams.h"
#include "shell/widgets/DialogBase.h"

#include <vector>

class CAdminSearchSettings;
class CDrelDoc;
class CLayer;
class QComboBox;
class QLabel;

// Dialog 378 "Administracinės paieškos parametrai": the layers of the
// counties, municipalities, wards, settlements, streets and addresses
// (the address row disabled), each list sorted after "<Nėra>", and beside
// each its "Laukai..." button for the code fields of the layer chosen.
// OK stores the layer names into the settings; the caller refills the bar.
class CAdminSearchDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 378;

    CAdminSearchDlg(CAdminSearchSettings& settings, const CDrelDoc& document, QWidget* parent = nullptr);

protected:
    void OnOK() override;

private:
    // Only with a layer chosen in the row's list.
    void EditFields(const CAdminLayerRow& row, const QComboBox& list);

    CAdminSearchSettings& m_settings;
    const CDrelDoc& m_document;
    std::vector<QComboBox*> m_lists;
};

// Dialog 397 "Laukai": the code fields of one level's layer, in the lists
// 1012, 1021, 1022 and 1024 beside the labels 1059 to 1062; a list shows
// only when its label has a text. OK stores the field names into the
// settings ("<Nėra>" an empty one).
class CAdminFieldsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 397;
    static constexpr int kLists[4] = {1012, 1021, 1022, 1024};
    static constexpr int kLabels[4] = {1059, 1060, 1061, 1062};

    CAdminFieldsDlg(CAdminSearchSettings& settings, const CLayer& layer, const CAdminLayerRow& row,
                    QWidget* parent = nullptr);

protected:
    void OnOK() override;

private:
    CAdminSearchSettings& m_settings;
    const CAdminLayerRow& m_row;
    std::vector<QComboBox*> m_lists;
};

// Command 30453: dialog 378 over the map's settings; after OK the map is
// modified and the bar filled again from its counties.
void EditAdminSearchParameters(CAdminSearchSettings& settings, CDrelDoc& document);
