#pragma once

#include "settings/widgets/OwnerDrawCombo.h"

// The 15 line types of line and outline styles, each drawn as its line
// ("<Nėra>" for no line); item data the entry's index.
class CLineTypeCombo : public COwnerDrawCombo {
public:
    explicit CLineTypeCombo(QWidget* parent = nullptr);

    void Fill();
    // The selected entry's code; -1 with none selected.
    int GetCode() const;
    // Selects the first entry of the code; its index, or -1 (nothing
    // selected then) when no entry has it.
    int SelectCode(int code);

protected:
    void DrawEntry(CDC& dc, const CRect& rect, int index, bool selected, const ControlColors& colours,
                   const CFont& font) const override;
};
