#include "search/widgets/ObjectChoiceDlg.h"

#include "layers/Layer.h"
#include "mapdoc/DrelView.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/DialogControls.h"

#include <QApplication>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
constexpr int kStartWidth = 300;
constexpr int kStartHeight = 260;
} // namespace

CNameChoiceDlg::CNameChoiceDlg(int dialogId, const std::vector<std::string>& names, QWidget* parent)
    : CDialogBase(parent), m_list(WithId(kList, new QListWidget(this)))
{
    SetControlId(this, dialogId);
    setWindowTitle(QString::fromUtf8("Objekto pasirinkimas"));
    for (const std::string& name : names)
        m_list->addItem(ToQString(name));
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(MakeOkCancelRow());
    resize(kStartWidth, kStartHeight);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
}

void CNameChoiceDlg::OnOK()
{
    m_chosen = m_list->currentRow();
    EndDialog(IDOK);
}

CObjectChoiceDlg::CObjectChoiceDlg(const std::vector<CObjectCandidate>& candidates, QWidget* parent)
    : CNameChoiceDlg(kDialogId, ObjectCandidateTexts(candidates), parent)
{
}

CChooseObjectDlg::CChooseObjectDlg(const std::vector<int32_t>& records, const std::vector<std::string>& names,
                                   CLayer& layer, CDrelView& view, QWidget* parent)
    : CNameChoiceDlg(kDialogId, names, parent), m_records(records), m_layer(layer), m_view(view)
{
    connect(&List(), &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
    ShowSelected();
}

int32_t CChooseObjectDlg::GetRecord() const
{
    const int chosen = GetChosen();
    return chosen >= 0 && chosen < static_cast<int>(m_records.size()) ? m_records[static_cast<size_t>(chosen)] : -1;
}

void CChooseObjectDlg::ShowSelected()
{
    const int row = List().currentRow();
    if (row >= 0 && row < static_cast<int>(m_records.size()))
        m_layer.ShowRecord(m_records[static_cast<size_t>(row)], m_view, false);
}

void CChooseObjectDlg::done(int result)
{
    m_view.ClearOverlays();
    CNameChoiceDlg::done(result);
}

int ChooseObject(const std::vector<int32_t>& records, const std::vector<std::string>& names, CLayer& layer,
                 CDrelView& view)
{
    if (records.size() < 2)
        return records.empty() ? -1 : records.front();
    CChooseObjectDlg dialog(records, names, layer, view, QApplication::activeWindow());
    return dialog.DoModal() == IDOK ? dialog.GetRecord() : -1;
}
