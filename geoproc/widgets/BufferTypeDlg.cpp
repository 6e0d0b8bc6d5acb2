#include "geoproc/widgets/BufferTypeDlg.h"

#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kBufferTypeDialog = 280;
constexpr int kOutlineRadio = 1024;
constexpr int kGrowRadio = 1025;
constexpr int kShrinkRadio = 1026;
} // namespace

CBufferTypeDlg::CBufferTypeDlg(int type, QWidget* parent) : CDialogBase(parent), m_type(type)
{
    SetControlId(this, kBufferTypeDialog);
    setWindowTitle(QString::fromUtf8("Buferinės zonos skaičiavimas"));
    auto* group = new QGroupBox(QString::fromUtf8("Buferinės zonos tipas"), this);
    auto* radios = new QVBoxLayout(group);
    for (const auto& [id, text] :
         {std::pair{kOutlineRadio, "Aplink &kontūrą"}, std::pair{kGrowRadio, "Aplink &objektą"},
          std::pair{kShrinkRadio, "Objekto &viduje"}}) {
        auto* radio = new QRadioButton(QString::fromUtf8(text), group);
        SetControlId(radio, id);
        radios->addWidget(radio);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(MakeOkCancelRow());
}

void CBufferTypeDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kOutlineRadio, kGrowRadio, kShrinkRadio}, m_type);
}
