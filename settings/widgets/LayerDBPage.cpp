#include "settings/widgets/LayerDBPage.h"

#include "core/DbfFieldInfo.h"
#include "layers/Layer.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "settings/BaseScales.h"
#include "settings/LayerSheetRules.h"
#include "settings/widgets/SheetControls.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <vector>

namespace {

constexpr int kPageNumber = 1;
constexpr int kFieldList = 1014;
constexpr int kStructureButton = 1052;
constexpr int kFullNameTitle = 3027;
constexpr int kFieldNameTitle = 3026;

} // namespace

CLayerDBPage::CLayerDBPage(CLayerPropSheet& sheet) : CLayerSheetPage("Duomen\xF8 baz\xEB", sheet) {}

void CLayerDBPage::OnInitDialog()
{
    auto* hint = MakeLabel(this, 0,
                           "Norėdami pakeisti pilną lauko vardą, spragtelėkite pažymėtą vardą. "
                           "Nuimkite žymę nuo lauko, kurio nereikia rodyti.");
    hint->setWordWrap(true);
    m_model = new QStandardItemModel(0, 2, this);
    m_model->setHorizontalHeaderLabels(
        {ToQString(LoadString(kFullNameTitle)), ToQString(LoadString(kFieldNameTitle))});
    m_list = WithId(kFieldList, new QTreeView(this));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    // Half the width each.
    m_list->header()->setSectionResizeMode(QHeaderView::Stretch);
    auto* structure = MakeButton(this, kStructureButton, "Redaguoti &struktūrą...");
    structure->setEnabled(static_cast<bool>(LayerSheetHooks().tableStructure));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(structure);
    layout->addLayout(buttons);
    connect(structure, &QPushButton::clicked, this, [this] { OnStructure(); });
    CLayerSheetPage::OnInitDialog();
}

void CLayerDBPage::OnSetActive()
{
    CLayerSheetPage::OnSetActive();
    FillList();
}

bool CLayerDBPage::OnKillActive()
{
    WriteBack();
    SetLastLayerSheetPage(kPageNumber);
    return true;
}

void CLayerDBPage::FillList()
{
    m_model->removeRows(0, m_model->rowCount());
    std::vector<CDbfFieldInfo> fields;
    m_filled = Layer().ReadFieldList(fields);
    for (const CFieldRow& row : ReadFieldRows(Layer(), fields)) {
        auto* fullName = new QStandardItem(ToQString(row.fullName));
        fullName->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        fullName->setCheckState(row.shown ? Qt::Checked : Qt::Unchecked);
        auto* name = new QStandardItem(ToQString(row.field));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_model->appendRow({fullName, name});
    }
}

void CLayerDBPage::WriteBack()
{
    if (!m_filled)
        return;
    // A full name being typed counts: moving off its row commits it.
    const QModelIndex current = m_list->currentIndex();
    m_list->setCurrentIndex(QModelIndex());
    m_list->setCurrentIndex(current);
    std::vector<CFieldRow> rows;
    for (int i = 0; i < m_model->rowCount(); ++i)
        rows.push_back({FromQString(m_model->item(i, 0)->text()), FromQString(m_model->item(i, 1)->text()),
                        m_model->item(i, 0)->checkState() == Qt::Checked});
    WriteFieldRows(rows, Layer());
}

void CLayerDBPage::OnStructure()
{
    WriteBack();
    if (Sheet().EditTableStructure(this))
        FillList();
}
