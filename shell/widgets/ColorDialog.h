#pragma once

#include "platform/Gdi.h"

#include <QColorDialog>

// The colour dialog of the program (resource 171, "Spalvos"): Qt's own,
// fully open, any colour allowed, with the Lithuanian labels of the
// program's template.
class CColorDialog : public QColorDialog {
public:
    static constexpr int kTemplateId = 171;

    explicit CColorDialog(COLORREF initial, QWidget* parent = nullptr);

    // IDOK or IDCANCEL.
    int DoModal();
    COLORREF GetColor() const;
};
