#pragma once

#include "geoproc/BufferZoneRules.h"
#include "shell/widgets/DialogBase.h"

class CStyleSampleButton;

// Dialog 262 "Buferinės zonos skaičiavimas" of the buffer-zone tool: the
// radius in kilometres (edit 1017, any number but 0), the zone style on
// its symbol button (1055, which opens the area-style dialog on a copy)
// and "&Pašalinti ankstesnius rezultatus" (check 1015), on a working copy
// of the tool's settings (CBufferZoneRules) that OK gives back.
class CBufferZoneDlg : public CDialogBase {
public:
    explicit CBufferZoneDlg(const CBufferZoneSettings& settings, QWidget* parent = nullptr);

    // OK: the settings become the dialog's.
    bool Apply(CBufferZoneSettings& settings) const { return m_rules.Apply(settings); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    void EditStyle();

    CBufferZoneRules m_rules;
    CStyleSampleButton* m_symbol;
};
