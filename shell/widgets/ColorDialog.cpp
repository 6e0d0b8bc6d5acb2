#include "shell/widgets/ColorDialog.h"

#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DialogTexts.h"
#include "shell/widgets/PaletteColors.h"

namespace {

// Qt's labels and the template's; the template has no hue, saturation,
// value, HTML or screen-picking controls, so those texts are ours.
constexpr DialogText kLabels[] = {
    {"&Basic colors", "&Pagrindinės spalvos:"},
    {"&Custom colors", "&Apibrėžtos spalvos:"},
    {"&Add to Custom Colors", "Pridėti spa&lvą"},
    {"&Pick Screen Color", "Paimti iš &ekrano"},
    {"Hu&e:", "A&tspalvis:"},
    {"&Sat:", "&Sodrumas:"},
    {"&Val:", "Š&viesumas:"},
    {"&Red:", "&Raudona:"},
    {"&Green:", "Ž&alia:"},
    {"Bl&ue:", "&Mėlyna:"},
    {"A&lpha channel:", "Permatomumas:"},
    {"&HTML:", "&HTML:"},
    {"OK", "OK"},
    {"Cancel", "Atsisakyti"},
};

} // namespace

CColorDialog::CColorDialog(COLORREF initial, QWidget* parent) : QColorDialog(parent)
{
    SetControlId(this, kTemplateId);
    setOption(QColorDialog::DontUseNativeDialog);
    setCurrentColor(QColor(GetRValue(initial), GetGValue(initial), GetBValue(initial)));
    setWindowTitle(QString::fromUtf8("Spalvos"));
    SetDialogTexts(*this, kLabels);
}

int CColorDialog::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

COLORREF CColorDialog::GetColor() const
{
    return ColorRefFromQColor(currentColor());
}
