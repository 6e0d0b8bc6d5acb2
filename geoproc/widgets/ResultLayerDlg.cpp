#include "geoproc/widgets/ResultLayerDlg.h"

#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kResultLayerDialog = 311;
constexpr int kNewLayerRadio = 1024;
constexpr int kSourceLayerRadio = 1025;
} // namespace

CResultLayerDlg::CResultLayerDlg(int choice, QWidget* parent) : CDialogBase(parent), m_choice(choice)
{
    SetControlId(this, kResultLayerDialog);
    setWindowTitle(QString::fromUtf8("Rezultatų sluoksnis"));
    auto* layout = new QVBoxLayout(this);
    for (const auto& [id, text] : {std::pair{kNewLayerRadio, "&Sukurti naują sluoksnį"},
                                   std::pair{kSourceLayerRadio, "&Rašyti į pradinį sluoksnį"}}) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), this);
        SetControlId(radio, id);
        layout->addWidget(radio);
    }
    layout->addSpacing(8);
    layout->addLayout(MakeOkCancelRow());
}

void CResultLayerDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kNewLayerRadio, kSourceLayerRadio}, m_choice);
}
