#pragma once

#include "settings/widgets/LayerPropSheet.h"

class QPlainTextEdit;

// The notes page (dialog 30726 "Pastabos"): the layer's notes, read-only
// until "Redaguoti" is checked; an edited text goes into the working copy
// when the page is left.
class CLayerNotesPage : public CLayerSheetPage {
public:
    explicit CLayerNotesPage(CLayerPropSheet& sheet);

protected:
    void OnInitDialog() override;
    bool OnKillActive() override;

private:
    void OnEdit(bool on);

    QPlainTextEdit* m_edit = nullptr;
};
