#include "geoproc/widgets/MergeFieldsDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
constexpr int kMergeFieldsDialog = 30801;
constexpr int kFieldList = 1014;
constexpr char kExplanation[] = "Jeigu norite, kad būtų apjungti tik tie gretimi objektai, kurių kai kurių laukų "
                                "reikšmės sutampa, tai pažymėkite šiuos laukus varnelėmis:";
} // namespace

CMergeFieldsDlg::CMergeFieldsDlg(const CLayer& layer, QWidget* parent)
    : CDialogBase(parent), m_fields(MergeFieldChoices(layer))
{
    SetControlId(this, kMergeFieldsDialog);
    setWindowTitle(QString::fromUtf8("Gretimų objektų apjungimas"));
    auto* explanation = new QLabel(QString::fromUtf8(kExplanation), this);
    explanation->setWordWrap(true);
    m_list = new QListWidget(this);
    SetControlId(m_list, kFieldList);
    for (size_t i = 0; i < m_fields.size(); ++i) {
        auto* item = new QListWidgetItem(ToQString(m_fields[i].caption), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, static_cast<int>(i));
    }
    m_list->setMinimumSize(280, 160);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(m_list, 1);
    layout->addSpacing(4);
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(340);
}

void CMergeFieldsDlg::OnOK()
{
    std::vector<std::string> ticked;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        const int field = item->data(Qt::UserRole).toInt();
        if (item->checkState() == Qt::Checked && field >= 0 && field < static_cast<int>(m_fields.size()))
            ticked.push_back(m_fields[static_cast<size_t>(field)].name);
    }
    m_fieldNames = JoinMergeFields(ticked);
    EndDialog(IDOK);
}
