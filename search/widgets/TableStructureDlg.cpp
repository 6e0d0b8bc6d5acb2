#include "search/widgets/TableStructureDlg.h"

#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "search/widgets/FieldDescDlg.h"
#include "settings/widgets/SheetControls.h"
#include "shell/widgets/DlgItems.h"
#include "shell/widgets/ListViewEx.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kNameTaken = 1120;
constexpr int kColumnTitles[] = {3029, 3030, 3031, 3032};
constexpr int kColumnCount = 4;

} // namespace

CTableStructureDlg::CTableStructureDlg(QWidget* parent)
    : CDialogBase(parent), m_list(new CListViewEx(this)), m_model(new QStandardItemModel(0, kColumnCount, this))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Duomenų bazės struktūra"));
    SetControlId(m_list, kFieldList);
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < kColumnCount; ++column)
        m_model->setHeaderData(column, Qt::Horizontal, ToQString(LoadString(kColumnTitles[column])));
    const QFontMetrics metrics(m_list->font());
    m_list->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("Aaaaaaaaaa")) + 15);
    for (int column = 1; column < kColumnCount; ++column)
        m_list->setColumnWidth(column, metrics.horizontalAdvance(ToQString(LoadString(kColumnTitles[column]))) + 24);
    m_list->setMinimumSize(300, 240);

    auto* buttons = new QVBoxLayout;
    const auto add = [&](int id, const char* text, auto handler) {
        auto* button = MakeButton(this, id, text);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
    };
    add(kEditButton, "&Redaguoti...", [this] { OnEdit(); });
    add(kAddButton, "&Pridėti...", [this] { OnAdd(false); });
    add(kInsertButton, "Į&terpti...", [this] { OnAdd(true); });
    add(kRemoveButton, "Pašalinti", [this] { OnRemove(); });
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(MakeOkCancelRow());

    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { OnEdit(); });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateButtons(); });
}

void CTableStructureDlg::OnInitDialog()
{
    if (!m_structure.Load(m_path))
        AppMessageBoxArg(1007, m_path);
    ShowRows(m_structure.GetCount() > 0 ? 0 : -1);
}

void CTableStructureDlg::ShowRows(int selected)
{
    m_model->removeRows(0, m_model->rowCount());
    for (const CStructureRow& row : m_structure.GetRows()) {
        QList<QStandardItem*> items;
        for (const std::string& text : CTableStructure::RowTexts(row))
            items.append(new QStandardItem(ToQString(text)));
        items.front()->setData(row.oldIndex, Qt::UserRole);
        m_model->appendRow(items);
    }
    m_list->clearSelection();
    if (selected >= 0 && selected < m_model->rowCount()) {
        m_list->setCurrentIndex(m_model->index(selected, 0));
        m_list->selectionModel()->select(m_model->index(selected, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    UpdateButtons();
}

std::vector<int> CTableStructureDlg::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CTableStructureDlg::UpdateButtons()
{
    const bool selected = !SelectedRows().empty();
    EnableDlgItem(this, kEditButton, selected);
    EnableDlgItem(this, kRemoveButton, selected);
    EnableDlgItem(this, IDOK, m_structure.CanApply());
}

bool CTableStructureDlg::AskField(CDbfFieldInfo& field, int except)
{
    for (;;) {
        CFieldDescDlg dialog(this);
        dialog.SetField(field);
        if (dialog.DoModal() != IDOK)
            return false;
        field = dialog.GetField();
        if (m_structure.FindName(field.name, except) < 0)
            return true;
        AppMessageBox(kNameTaken);
    }
}

void CTableStructureDlg::OnEdit()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    CDbfFieldInfo field = m_structure.GetRows()[static_cast<size_t>(rows.front())].info;
    if (!AskField(field, rows.front()))
        return;
    m_structure.Edit(rows.front(), field);
    ShowRows(rows.front());
}

void CTableStructureDlg::OnAdd(bool insert)
{
    CDbfFieldInfo field{};
    field.Set("", 'C', 10, 0);
    if (!AskField(field, -1))
        return;
    const std::vector<int> rows = SelectedRows();
    const int at = insert && !rows.empty() ? rows.front() : m_structure.GetCount();
    m_structure.Insert(at, field);
    ShowRows(at);
}

void CTableStructureDlg::OnRemove()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    m_structure.Remove(rows);
    ShowRows(std::min(rows.front(), m_structure.GetCount() - 1));
}

void CTableStructureDlg::OnOK()
{
    switch (ApplyTableStructure(m_path, m_structure.GetRows())) {
    case StructureAnswer::StayOpen:
        return;
    case StructureAnswer::CloseUnchanged:
    case StructureAnswer::Rebuilt:
        EndDialog(IDOK);
        return;
    }
}
