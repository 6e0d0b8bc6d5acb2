#include "settings/widgets/LayerListDlg.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "settings/widgets/GroupDialogs.h"
#include "settings/widgets/LayerIcons.h"
#include "settings/widgets/RemoveLayerDialogs.h"
#include "settings/widgets/SheetControls.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kLayerListDialog = 385;
constexpr int kSettingsDialog = 387;
constexpr int kEntryRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kColumnWidths[] = {17, 11, 7, 16};

// The check of column 0 in three states, and the pictures of columns 1
// to 3 fitted into their narrow columns.
class CLayerRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() == CLayerListDlg::kNameColumn) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        background.icon = QIcon();
        background.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
        if (index.column() == CLayerListDlg::kCheckColumn) {
            QStyleOptionButton check;
            check.rect = option.rect;
            const int side = std::min({option.rect.width(), option.rect.height(), 13});
            check.rect.setSize(QSize(side, side));
            check.rect.moveCenter(option.rect.center());
            const int state = index.data(kImageRole).toInt();
            check.state = QStyle::State_Enabled |
                          (state == 1 ? QStyle::State_On : state == 2 ? QStyle::State_NoChange : QStyle::State_Off);
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter, widget);
            return;
        }
        const QIcon icon = LayerListIcon(index.data(kImageRole).toInt());
        if (icon.isNull())
            return;
        const int side = std::min(option.rect.width(), option.rect.height());
        QRect place(0, 0, side, side);
        place.moveCenter(option.rect.center());
        icon.paint(painter, place);
    }
};

} // namespace

// ------------------------------------------------------------ 387

CLayerListSettingsDlg::CLayerListSettingsDlg(QWidget* parent) : CDialogBase(parent)
{
    SetControlId(this, kSettingsDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnių sąrašo nustatymai"));
    auto* types = new QGroupBox(QString::fromUtf8("Rodomi sluoksnių tipai"), this);
    auto* typeChecks = new QVBoxLayout(types);
    const struct {
        int id;
        const char* text;
    } kinds[] = {
        {kGroupsCheck, "Sluoksnių grupė"}, {kPointsCheck, "Taškas"}, {kLinesCheck, "Linija"},
        {kAreasCheck, "Sritis"},           {kTracksCheck, "Trasa"},  {kRastersCheck, "Rastrinis žemėlapis"},
        {kElevationsCheck, "Rastrinis reljefo modelis ir padengimo zonos"},
    };
    for (const auto& kind : kinds) {
        QCheckBox* check = MakeCheck(types, kind.id, kind.text);
        connect(check, &QCheckBox::clicked, this, [this] { UpdateAll(); });
        typeChecks->addWidget(check);
    }
    QCheckBox* all = MakeCheck(types, kAllCheck, "Visi tipai");
    connect(all, &QCheckBox::clicked, this, [this](bool on) { SetAll(on); });
    typeChecks->addWidget(all);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(types);
    layout->addWidget(MakeCheck(this, kVisibleCheck, "Rodyti matomus sluoksnius"));
    layout->addWidget(MakeCheck(this, kInvisibleCheck, "Rodyti nematomus sluoksnius"));
    layout->addStretch();
    layout->addLayout(MakeOkCancelRow());
}

void CLayerListSettingsDlg::OnInitDialog()
{
    const CLayerListSettings& s = LayerListSettings();
    const std::pair<int, bool> checks[] = {
        {kGroupsCheck, s.groups}, {kPointsCheck, s.points},   {kLinesCheck, s.lines},
        {kAreasCheck, s.areas},   {kTracksCheck, s.tracks},   {kRastersCheck, s.rasters},
        {kElevationsCheck, s.elevations}, {kVisibleCheck, s.visible}, {kInvisibleCheck, s.invisible},
    };
    for (const auto& [id, on] : checks)
        FindControl<QCheckBox>(this, id)->setChecked(on);
    UpdateAll();
}

void CLayerListSettingsDlg::UpdateAll()
{
    bool all = true;
    for (const int id : {kGroupsCheck, kPointsCheck, kLinesCheck, kAreasCheck, kTracksCheck, kRastersCheck,
                         kElevationsCheck})
        all = all && FindControl<QCheckBox>(this, id)->isChecked();
    FindControl<QCheckBox>(this, kAllCheck)->setChecked(all);
}

void CLayerListSettingsDlg::SetAll(bool on)
{
    for (const int id : {kGroupsCheck, kPointsCheck, kLinesCheck, kAreasCheck, kTracksCheck, kRastersCheck,
                         kElevationsCheck})
        FindControl<QCheckBox>(this, id)->setChecked(on);
}

void CLayerListSettingsDlg::OnOK()
{
    const auto on = [this](int id) { return FindControl<QCheckBox>(this, id)->isChecked(); };
    CLayerListSettings& s = LayerListSettings();
    s.groups = on(kGroupsCheck);
    s.points = on(kPointsCheck);
    s.lines = on(kLinesCheck);
    s.areas = on(kAreasCheck);
    s.tracks = on(kTracksCheck);
    s.rasters = on(kRastersCheck);
    s.elevations = on(kElevationsCheck);
    s.visible = on(kVisibleCheck);
    s.invisible = on(kInvisibleCheck);
    EndDialog(IDOK);
}

// ------------------------------------------------------------ 385

CLayerListDlg::CLayerListDlg(CDrelDoc& document, CLayer* active, QWidget* parent)
    : CDialogBase(parent), m_manager(document, active), m_list(WithId(kList, new QTreeWidget(this)))
{
    SetControlId(this, kLayerListDialog);
    setWindowTitle(QString::fromUtf8("Sluoksnių sąrašas"));
    setSizeGripEnabled(true);
    m_list->setColumnCount(5);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setIndentation(0);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setIconSize(QSize(16, 16));
    m_list->setItemDelegate(new CLayerRowDelegate(m_list));
    m_list->header()->setMinimumSectionSize(1);
    for (int column = 0; column < 4; ++column) {
        m_list->header()->setSectionResizeMode(column, QHeaderView::Fixed);
        m_list->setColumnWidth(column, kColumnWidths[column]);
    }
    m_list->header()->setStretchLastSection(true);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OnDoubleClick(EntryOf(item)); });
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column == kCheckColumn)
            ToggleShown(EntryOf(item));
    });

    const struct {
        int id;
        const char* text;
    } buttonTexts[] = {
        {kActivate, "Aktyvuoti"}, {kSymbol, "Ženklas..."}, {kLabels, "Užrašai..."},  {kFilter, "Filtras..."},
        {kNotes, "Pastabos..."},  {kMove, "Perkelti..."},  {kRemove, "Pašalinti"},   {kUp, "Aukštyn"},
        {kDown, "Žemyn"},         {kSettings, "Nustatymai..."},
    };
    auto* buttons = new QVBoxLayout;
    for (const auto& b : buttonTexts) {
        QPushButton* button = MakeButton(this, b.id, b.text);
        buttons->addWidget(button);
        if (b.id == kNotes || b.id == kRemove || b.id == kDown)
            buttons->addSpacing(8);
    }
    buttons->addStretch();
    buttons->addWidget(MakeButton(this, IDCANCEL, "Uždaryti"));

    const auto on = [this](int id, auto action) {
        connect(FindControl<QPushButton>(this, id), &QPushButton::clicked, this, action);
    };
    on(kActivate, [this] { OnActivate(); });
    on(kSymbol, [this] { OnPages(ELayerListPages::kSymbol); });
    on(kLabels, [this] { OnPages(ELayerListPages::kLabels); });
    on(kFilter, [this] { OnPages(ELayerListPages::kFilter); });
    on(kNotes, [this] { OnPages(ELayerListPages::kNotes); });
    on(kMove, [this] { OnMove(); });
    on(kRemove, [this] { OnRemove(); });
    on(kUp, [this] { OnUpDown(true); });
    on(kDown, [this] { OnUpDown(false); });
    on(kSettings, [this] { OnSettings(); });

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(460, 380);
    Refill();
}

CLayer* CLayerListDlg::EntryOf(const QTreeWidgetItem* item) const
{
    return item ? static_cast<CLayer*>(item->data(0, kEntryRole).value<void*>()) : nullptr;
}

void CLayerListDlg::Refill()
{
    const std::vector<CLayer*> selected = GetSelection();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const CLayerListRow& row : m_manager.Rows()) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setData(0, kEntryRole, QVariant::fromValue(static_cast<void*>(row.entry)));
        item->setData(kCheckColumn, kImageRole, row.check);
        item->setData(1, kImageRole, row.filterImage);
        item->setData(2, kImageRole, row.activeImage);
        item->setData(3, kImageRole, row.typeImage);
        item->setText(kNameColumn, ToQString(row.text));
    }
    Select(selected);
    UpdateButtons();
}

std::vector<CLayer*> CLayerListDlg::GetSelection() const
{
    std::vector<CLayer*> entries;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        if (QTreeWidgetItem* item = m_list->topLevelItem(row); item->isSelected())
            entries.push_back(EntryOf(item));
    return entries;
}

void CLayerListDlg::Select(const std::vector<CLayer*>& entries)
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->clearSelection();
        for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = m_list->topLevelItem(row);
            if (std::find(entries.begin(), entries.end(), EntryOf(item)) != entries.end()) {
                item->setSelected(true);
                m_list->setCurrentItem(item, kNameColumn, QItemSelectionModel::NoUpdate);
            }
        }
    }
    UpdateButtons();
}

void CLayerListDlg::UpdateButtons()
{
    const std::vector<CLayer*> selection = GetSelection();
    const bool any = !selection.empty();
    FindControl(this, kActivate)->setEnabled(selection.size() == 1);
    for (const int id : {kSymbol, kLabels, kFilter, kNotes, kMove, kRemove})
        FindControl(this, id)->setEnabled(any);
    FindControl(this, kUp)->setEnabled(m_manager.CanMove(selection, true));
    FindControl(this, kDown)->setEnabled(m_manager.CanMove(selection, false));
}

void CLayerListDlg::OnDoubleClick(CLayer* entry)
{
    if (!entry)
        return;
    if (entry == m_manager.GetOpenGroup())
        m_manager.GoUp();
    else if (entry->HasFlag(CLayer::kGroup))
        m_manager.OpenGroup(entry);
    else
        return;
    m_list->clearSelection();
    Refill();
}

void CLayerListDlg::ToggleShown(CLayer* entry)
{
    if (!entry)
        return;
    // A partly shown group is shown whole.
    const bool whole = entry->HasFlag(CLayer::kShown) && !entry->HasFlag(CLayer::kPartlyVisibleGroup);
    m_manager.SetShown(entry, !whole);
    Refill();
}

void CLayerListDlg::OnActivate()
{
    const std::vector<CLayer*> selection = GetSelection();
    if (selection.size() != 1)
        return;
    m_manager.SetActive(selection.front());
    if (selectInLegend)
        selectInLegend(selection.front());
    Refill();
}

void CLayerListDlg::OnPages(ELayerListPages pages)
{
    const std::vector<CLayer*> selection = GetSelection();
    if (!m_manager.CanEditPages(pages, selection))
        return;
    if (!selection.front()->EditProperties(&m_manager.GetDocument(), static_cast<int>(pages)))
        return;
    m_manager.CopyPages(pages, selection);
    Refill();
}

void CLayerListDlg::OnMove()
{
    const std::vector<CLayer*> selection = GetSelection();
    if (selection.empty())
        return;
    CGroupChoiceDlg choice(m_manager.GetDocument(), m_manager.GetOpenGroup(), this);
    if (choice.DoModal() != IDOK)
        return;
    m_manager.MoveInto(selection, choice.GetGroup());
    Refill();
}

void CLayerListDlg::OnRemove()
{
    const std::vector<CLayer*> selection = GetSelection();
    if (selection.empty())
        return;
    const bool holdsGroup = std::any_of(selection.begin(), selection.end(), [](const CLayer* entry) {
        return entry->HasFlag(CLayer::kGroup);
    });
    CRemoveLayersDlg question(holdsGroup, this);
    if (question.DoModal() != IDOK)
        return;
    m_manager.Remove(selection, question.GetWithMembers(), question.GetDeleteFiles());
    m_list->clearSelection();
    Refill();
}

void CLayerListDlg::OnUpDown(bool up)
{
    m_manager.Move(GetSelection(), up);
    Refill();
}

void CLayerListDlg::OnSettings()
{
    CLayerListSettingsDlg settings(this);
    if (settings.DoModal() == IDOK)
        Refill();
}

void CLayerListDlg::OnOK()
{
    m_manager.Finish();
    EndDialog(IDOK);
}

void CLayerListDlg::OnCancel()
{
    m_manager.Finish();
    EndDialog(IDCANCEL);
}

void RunLayerListDialog(CDrelDoc& document, CLayer* active, const std::function<void(CLayer*)>& selectInLegend)
{
    CLayerListDlg dialog(document, active, QApplication::activeWindow());
    dialog.selectInLegend = selectInLegend;
    dialog.DoModal();
}
