#include "settings/widgets/LineTypeCombo.h"

#include "settings/StyleDialogRules.h"

namespace {
constexpr int kItemHeight = 16;
} // namespace

CLineTypeCombo::CLineTypeCombo(QWidget* parent) : COwnerDrawCombo(kItemHeight, parent) {}

void CLineTypeCombo::Fill()
{
    clear();
    for (size_t i = 0; i < kLineTypeCodes.size(); ++i)
        addItem(QString(), static_cast<int>(i));
}

int CLineTypeCombo::GetCode() const
{
    const int index = currentIndex();
    if (index < 0 || index >= static_cast<int>(kLineTypeCodes.size()))
        return -1;
    return kLineTypeCodes[static_cast<size_t>(itemData(index).toInt())];
}

int CLineTypeCombo::SelectCode(int code)
{
    const int entry = FindLineType(code);
    setCurrentIndex(entry < count() ? entry : -1);
    return currentIndex();
}

void CLineTypeCombo::DrawEntry(CDC& dc, const CRect& rect, int index, bool selected, const ControlColors& colours,
                               const CFont& font) const
{
    if (index >= 0 && index < static_cast<int>(kLineTypeCodes.size()))
        DrawLineTypeEntry(dc, rect, kLineTypeCodes[static_cast<size_t>(index)], selected, colours, font);
}
