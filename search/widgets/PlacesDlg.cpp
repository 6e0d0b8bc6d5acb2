#include "search/widgets/PlacesDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/DialogControls.h"
#include "shell/widgets/DlgItems.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

CPlacesDlg::CPlacesDlg(CDrelDoc& document, ViewOf view, QWidget* parent)
    : CDialogBase(parent), m_places(document), m_view(std::move(view)), m_list(WithId(kPlaceList, new QListWidget(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Vietų tvarkymas"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* left = new QVBoxLayout;
    left->addWidget(MakeLabel(this, 0, "&Vietos:", m_list));
    left->addWidget(m_list);

    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(m_list->fontMetrics().height());
    buttons->addWidget(MakeButton(this, kRemoveButton, "Pašalinti"));
    buttons->addWidget(MakeButton(this, kRemoveAllButton, "Pašalinti visas"));
    buttons->addWidget(MakeButton(this, kShowButton, "Parodyti"));
    buttons->addStretch();
    auto* close = MakeButton(this, IDCANCEL, "Uždaryti");
    close->setDefault(true);
    buttons->addWidget(close);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

void CPlacesDlg::OnInitDialog()
{
    Fill(-1);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(FindControl<QPushButton>(this, kRemoveButton), &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(FindControl<QPushButton>(this, kRemoveAllButton), &QPushButton::clicked, this, [this] { OnRemoveAll(); });
    connect(FindControl<QPushButton>(this, kShowButton), &QPushButton::clicked, this, [this] { OnShow(); });
    CDialogBase::OnInitDialog();
}

void CPlacesDlg::Fill(int selection)
{
    m_list->clear();
    for (const std::string& name : m_places.GetNames())
        m_list->addItem(ToQString(name));
    if (selection >= 0 && selection < m_list->count())
        m_list->setCurrentRow(selection);
    UpdateButtons();
}

int CPlacesDlg::Selection() const
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void CPlacesDlg::UpdateButtons()
{
    const CPlacesManager::CButtons buttons = m_places.GetButtons(Selection());
    EnableDlgItem(this, kRemoveButton, buttons.remove);
    EnableDlgItem(this, kRemoveAllButton, buttons.removeAll);
    EnableDlgItem(this, kShowButton, buttons.show);
}

void CPlacesDlg::OnRemove()
{
    const int selection = Selection();
    if (selection >= 0)
        Fill(m_places.Remove(selection));
}

void CPlacesDlg::OnRemoveAll()
{
    m_places.RemoveAll();
    Fill(-1);
}

void CPlacesDlg::OnShow()
{
    if (CDrelView* view = m_view ? m_view() : nullptr)
        m_places.Show(Selection(), *view);
}
