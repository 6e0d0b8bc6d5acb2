#pragma once

#include "shell/widgets/DialogBase.h"

class CPlacemarkEdit;
class CStyleSampleButton;

// Dialog 402 "Taško informacija" on a placemark: its name (1017, at most
// 30 characters), description (1007, at most 100), longitude (1008, -180
// to 180), latitude (1009, -90 to 90) and symbol (1070, a sample button
// that opens the symbol list when the placemark keeps a symbol of its own
// and the list is installed). OK writes the record and closes only when
// the write succeeded.
class CPointInfoDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 402;
    static constexpr int kName = 1017, kDescription = 1007, kLongitude = 1008, kLatitude = 1009;
    static constexpr int kSymbol = 1070;
    static constexpr int kNameLength = 30, kDescriptionLength = 100;

    explicit CPointInfoDlg(CPlacemarkEdit& placemark, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void ShowSymbol();
    void OnSymbol();

    CPlacemarkEdit& m_placemark;
    CStyleSampleButton* m_symbol;
};

// The placemark dialog as the map's placemark tools ask for it.
bool RunPointInfo(CPlacemarkEdit& placemark, QWidget* parent);
