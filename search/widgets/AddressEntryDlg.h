#pragma once

#include "search/AddressRecord.h"
#include "search/NameList.h"
#include "shell/widgets/DialogBase.h"

class CDrelDoc;
class CLayer;
class CNameCombo;
class QLineEdit;

// Dialog 196 "Adreso įvedimas": the street of the first address (1012)
// and its house number (1017), and of the second (1021, 1007, label
// 1060), which stay disabled without it. The street boxes list the
// streets of the map's street layer (ReadStreetEntries, the dialog
// cancelled when it cannot) as MakeStreetChoice orders them, the
// current codes selected, and complete typed names. OK refuses a house
// number that its field cannot hold and gives the codes of the streets
// meant (ResolveStreetCode) and the number texts.
class CAddressEntryDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 196;
    static constexpr int kStreet = 1012, kNumber = 1017;
    static constexpr int kStreet2 = 1021, kNumber2 = 1007, kStreet2Label = 1060;
    static constexpr int kNumberLength = 4;

    CAddressEntryDlg(CAddressEntryValues& values, CLayer& streets, CDrelDoc& document, QWidget* parent = nullptr);

    // Reads the streets first (cancelled, after message 1004, when it
    // cannot); hides the base's, which would show an empty list.
    int DoModal();

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    CAddressEntryValues& m_values;
    CLayer& m_streets;
    CDrelDoc& m_document;
    CNameList m_list;
    CStreetChoice m_choice;
    CNameCombo* m_street[2];
    QLineEdit* m_number[2];
};

// The address entry as the step before the record form asks for it.
bool RunAddressEntry(CAddressEntryValues& values, CLayer& streets, CDrelDoc& document, QWidget* parent);
