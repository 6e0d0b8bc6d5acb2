#include "settings/widgets/FillPatternCombo.h"

#include "settings/StyleDialogRules.h"

CFillPatternCombo::CFillPatternCombo(QWidget* parent) : COwnerDrawCombo(kItemHeight, parent) {}

void CFillPatternCombo::Fill()
{
    clear();
    for (size_t i = 0; i < kFillPatterns.size(); ++i)
        addItem(QString(), static_cast<int>(i));
}

int CFillPatternCombo::SelectPattern(int32_t brushStyle, int32_t hatch)
{
    const int entry = FindFillPattern(brushStyle, hatch);
    setCurrentIndex(entry < count() ? entry : -1);
    return currentIndex();
}

void CFillPatternCombo::DrawEntry(CDC& dc, const CRect& rect, int index, bool selected, const ControlColors& colours,
                                  const CFont& font) const
{
    DrawFillPatternEntry(dc, rect, index, selected, colours, font);
}
