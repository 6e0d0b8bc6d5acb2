#include "shell/widgets/PropertySheet.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"

#include <QDialogButtonBox>
#include <QLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The sheet's buttons as the program's own message box labels them.
const char* const kOkLabel = "OK";
const char* const kCancelLabel = "Atsisakyti";

} // namespace

CPropertyPage::CPropertyPage(std::string caption) : m_caption(std::move(caption)) {}

CPropertyPage::~CPropertyPage()
{
    if (m_sheet)
        m_sheet->RemovePage(this);
}

bool CPropertyPage::UpdateData(bool save)
{
    CDataExchange dx(this, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CPropertyPage::OnInitDialog()
{
    UpdateData(false);
}

void CPropertyPage::OnSetActive()
{
    if (!m_firstSetActive)
        UpdateData(false);
    m_firstSetActive = false;
}

bool CPropertyPage::OnKillActive()
{
    return UpdateData(true);
}

CPropertySheet::CPropertySheet(const std::string& caption, QWidget* parent)
    : CDialogBase(parent),
      m_tabs(new QTabBar(this)),
      m_stack(new QStackedWidget(this)),
      m_ok(new QPushButton(QString::fromUtf8(kOkLabel), this)),
      m_cancel(new QPushButton(QString::fromUtf8(kCancelLabel), this))
{
    setWindowTitle(ToQString(caption));
    SetControlId(m_ok, IDOK);
    SetControlId(m_cancel, IDCANCEL);
    m_ok->setDefault(true);
    m_stack->setFrameShape(QFrame::StyledPanel);
    m_tabs->setExpanding(false);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);
    layout->addWidget(buttons);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) { OnTabChanged(index); });
}

CPropertySheet::~CPropertySheet()
{
    for (CPropertyPage* page : m_pages) {
        page->hide();
        page->setParent(nullptr);
        page->m_sheet = nullptr;
    }
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    page->m_sheet = this;
    m_pages.push_back(page);
    m_stack->addWidget(page);
    m_selecting = true;
    m_tabs->addTab(ToQString(page->GetCaption()));
    m_selecting = false;
    SelectTab(m_active);
}

void CPropertySheet::RemovePage(CPropertyPage* page)
{
    RemovePage(GetPageIndex(page));
}

void CPropertySheet::RemovePage(int index)
{
    CPropertyPage* page = GetPage(index);
    if (!page)
        return;
    m_pages.erase(m_pages.begin() + index);
    m_stack->removeWidget(page);
    page->setParent(nullptr);
    page->m_sheet = nullptr;
    m_selecting = true;
    m_tabs->removeTab(index);
    m_selecting = false;
    if (index < m_active) {
        --m_active;
    } else if (index == m_active) {
        // The page shown went: show the one that takes its place.
        m_active = -1;
        if (m_shown && !m_pages.empty())
            ShowPage(std::min(index, GetPageCount() - 1));
    }
    SelectTab(m_active);
}

bool CPropertySheet::SetActivePage(int index)
{
    if (!m_shown) {
        m_startPage = index;
        return true;
    }
    if (index < 0 || index >= GetPageCount())
        return false;
    if (index == m_active)
        return true;
    if (CPropertyPage* current = GetActivePage(); current && !current->OnKillActive())
        return false;
    ShowPage(index);
    return true;
}

void CPropertySheet::OnInitDialog()
{
    m_shown = true;
    if (m_pages.empty())
        return;
    ShowPage(std::clamp(m_startPage, 0, GetPageCount() - 1));
    // Sized as the first page needs, now that it has its controls.
    layout()->activate();
    adjustSize();
}

void CPropertySheet::SelectTab(int index)
{
    m_selecting = true;
    m_tabs->setCurrentIndex(index);
    m_selecting = false;
}

void CPropertySheet::OnTabChanged(int index)
{
    if (m_selecting || !m_shown || index == m_active)
        return;
    if (!SetActivePage(index))
        SelectTab(m_active);
}

void CPropertySheet::ShowPage(int index)
{
    CPropertyPage* page = GetPage(index);
    if (!page->m_created) {
        page->m_created = true;
        // The stack shows its first page with the sheet, before the page
        // has controls; a visible widget leaves the children made in it
        // hidden, so the page is made hidden and shown again.
        const bool visible = page->isVisible();
        page->hide();
        page->OnInitDialog();
        if (visible)
            page->show();
    }
    m_active = index;
    m_stack->setCurrentWidget(page);
    SelectTab(index);
    page->OnSetActive();
}

void CPropertySheet::OnOK()
{
    if (CPropertyPage* current = GetActivePage(); current && !current->OnKillActive())
        return;
    for (CPropertyPage* page : m_pages)
        if (page->IsCreated())
            page->OnOK();
    EndDialog(IDOK);
}

void CPropertySheet::OnCancel()
{
    for (CPropertyPage* page : m_pages)
        if (page->IsCreated())
            page->OnCancel();
    EndDialog(IDCANCEL);
}
