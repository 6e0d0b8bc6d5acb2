#include "geoproc/widgets/ClassFieldsDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kClassFieldsDialog = 312;
constexpr int kPointFieldCombo = 1012;
constexpr int kAreaFieldCombo = 1021;

void AddCombo(QWidget* dialog, QVBoxLayout* layout, int id, const char* label, const std::vector<CClassField>& fields)
{
    auto* combo = new QComboBox(dialog);
    SetControlId(combo, id);
    combo->setMinimumWidth(260);
    for (const CClassField& field : fields)
        combo->addItem(ToQString(field.alias));
    auto* caption = new QLabel(QString::fromUtf8(label), dialog);
    caption->setBuddy(combo);
    layout->addWidget(caption);
    layout->addWidget(combo);
}

// The name behind the chosen alias; false for no choice.
bool NameAt(const std::vector<CClassField>& fields, int index, std::string& name)
{
    if (index < 0 || index >= static_cast<int>(fields.size()))
        return false;
    name = fields[static_cast<size_t>(index)].name;
    return true;
}

} // namespace

CClassFieldsDlg::CClassFieldsDlg(const CLayer& points, const CLayer& areas, QWidget* parent)
    : CDialogBase(parent), m_pointFields(ClassFields(points)), m_areaFields(ClassFields(areas))
{
    SetControlId(this, kClassFieldsDialog);
    setWindowTitle(QString::fromUtf8("Klasifikavimo laukai"));
    auto* layout = new QVBoxLayout(this);
    AddCombo(this, layout, kPointFieldCombo, "Klasifikavimo laukas &rezultatų sluoksnyje:", m_pointFields);
    layout->addSpacing(4);
    AddCombo(this, layout, kAreaFieldCombo, "Klasifikavimo laukas &sričių sluoksnyje:", m_areaFields);
    layout->addSpacing(8);
    layout->addLayout(MakeOkCancelRow());
}

void CClassFieldsDlg::DoDataExchange(CDataExchange& dx)
{
    dx.ComboIndex(kPointFieldCombo, m_point);
    dx.ComboIndex(kAreaFieldCombo, m_area);
}

void CClassFieldsDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    if (!NameAt(m_pointFields, m_point, m_pointField) || !NameAt(m_areaFields, m_area, m_areaField)) {
        AppBeep();
        return;
    }
    EndDialog(IDOK);
}
