#pragma once

#include "settings/widgets/OwnerDrawCombo.h"

// The 51 fills of area styles, each drawn as a box in its brush ("<Nėra>"
// for the hollow one); item data the entry's index, 20 pixels high.
class CFillPatternCombo : public COwnerDrawCombo {
public:
    static constexpr int kItemHeight = 20;

    explicit CFillPatternCombo(QWidget* parent = nullptr);

    void Fill();
    // The entry of the brush style and hatch; -1, nothing selected, for none.
    int SelectPattern(int32_t brushStyle, int32_t hatch);

protected:
    void DrawEntry(CDC& dc, const CRect& rect, int index, bool selected, const ControlColors& colours,
                   const CFont& font) const override;
};
