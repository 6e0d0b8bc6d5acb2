#include "search/widgets/ObjectInfoDlg.h"

#include "search/widgets/InfoListBox.h"
#include "shell/widgets/ControlIds.h"

#include <QVBoxLayout>

namespace {
// Room for a dozen lines of names and values.
constexpr int kStartWidth = 360;
constexpr int kStartHeight = 280;
} // namespace

CObjectInfoDlg::CObjectInfoDlg(QWidget* parent) : QDialog(parent), m_list(new CInfoListBox(this))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Informacija apie objektą"));
    setModal(false);
    // Closed by the user it is gone; the next request makes it anew.
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusProxy(m_list);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    resize(kStartWidth, kStartHeight);
}

void CObjectInfoDlg::SetInfo(const std::vector<std::string>& lines, const std::string& folder)
{
    m_list->SetInfo(lines, folder);
    if (isHidden())
        show();
}
