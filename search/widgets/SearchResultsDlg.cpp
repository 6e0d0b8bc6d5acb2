#include "search/widgets/SearchResultsDlg.h"

#include "mapdoc/DrelView.h"
#include "mapdoc/ViewWindow.h"
#include "platform/Codepage.h"
#include "platform/Collation.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"
#include "search/ObjectActions.h"
#include "search/TextSearch.h"
#include "shell/widgets/DialogControls.h"
#include "shell/widgets/ListViewEx.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

enum Column { kLayerColumn, kFieldColumn, kValueColumn, kColumnCount };
constexpr int kColumnCaptions[kColumnCount] = {3044, 3045, 3046};
constexpr int kStartWidth = 520;
constexpr int kStartHeight = 320;

} // namespace

// The rows of the list: hits by index, in the order the user sorted them.
class CSearchResultsModel : public QAbstractTableModel {
public:
    CSearchResultsModel(const CTextSearchResults& results, QObject* parent)
        : QAbstractTableModel(parent), m_results(results)
    {
        m_rows.resize(static_cast<size_t>(std::min(results.GetCount(), CTextSearchResults::kMostHits)));
        std::iota(m_rows.begin(), m_rows.end(), 0);
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kColumnCount; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount({}))
            return {};
        return ToQString(Text(HitOf(index.row()), index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount)
            return {};
        return ToQString(LoadString(kColumnCaptions[section]));
    }

    int HitOf(int row) const { return row >= 0 && row < rowCount({}) ? m_rows[static_cast<size_t>(row)] : -1; }
    void RemoveRow(int row)
    {
        beginRemoveRows({}, row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    }
    // By the column, ascending; the same column again reverses the order.
    // Texts compare without letter case, in Lithuanian order.
    void SortBy(int column)
    {
        m_descending = column == m_sortColumn && !m_descending;
        m_sortColumn = column;
        const bool descending = m_descending;
        std::vector<std::string> keys(static_cast<size_t>(m_results.GetCount()));
        for (const int hit : m_rows)
            keys[static_cast<size_t>(hit)] = ToUpper1257(Text(hit, column));
        beginResetModel();
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](int a, int b) {
            const int order = CompareLithuanian(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
            return descending ? order > 0 : order < 0;
        });
        endResetModel();
    }
    int GetSortColumn() const { return m_sortColumn; }
    bool IsDescending() const { return m_descending; }

private:
    const std::string& Text(int hit, int column) const
    {
        switch (column) {
        case kLayerColumn:
            return m_results.GetLayerName(hit);
        case kFieldColumn:
            return m_results.GetFieldName(hit);
        default:
            return m_results.GetHit(hit).text;
        }
    }

    const CTextSearchResults& m_results;
    std::vector<int> m_rows;
    int m_sortColumn = -1;
    bool m_descending = false;
};

CSearchResultsDlg::CSearchResultsDlg(const CTextSearchResults& results, CDrelView& view, QWidget* opener)
    : CDialogBase(opener ? opener->parentWidget() : nullptr),
      m_results(results),
      m_view(view),
      m_opener(opener),
      m_model(new CSearchResultsModel(results, this)),
      m_list(WithId(kList, new CListViewEx(this))),
      m_count(WithId(kCount, new QLabel(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Paieškos rezultatai"));
    m_list->setModel(m_model);
    m_list->SetFullRowSelection(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->header()->setStretchLastSection(false);

    auto* count = new QHBoxLayout;
    count->addWidget(MakeLabel(this, 0, "Rasta objektų:"));
    count->addWidget(m_count);
    count->addStretch();
    auto* buttons = new QHBoxLayout;
    auto* show = MakeButton(this, kShowButton, "Parodyti");
    show->setDefault(true);
    buttons->addWidget(show);
    buttons->addWidget(MakeButton(this, kInfoButton, "Informacija..."));
    buttons->addWidget(MakeButton(this, kEditButton, "Red. info..."));
    buttons->addWidget(MakeButton(this, kDeleteButton, "Pašalinti"));
    buttons->addStretch();
    buttons->addWidget(MakeButton(this, IDCANCEL, "Uždaryti"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(count);
    layout->addLayout(buttons);
    resize(kStartWidth, kStartHeight);

    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this](int column) { SortBy(column); });
    connect(FindControl<QPushButton>(this, kInfoButton), &QPushButton::clicked, this, [this] { OnInfo(); });
    connect(FindControl<QPushButton>(this, kDeleteButton), &QPushButton::clicked, this, [this] { OnDelete(); });
}

CSearchResultsDlg::~CSearchResultsDlg() = default;

void CSearchResultsDlg::SortBy(int column)
{
    m_model->SortBy(column);
    m_list->header()->setSortIndicator(column, m_model->IsDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int CSearchResultsDlg::HitOfRow(int row) const
{
    return m_model->HitOf(row);
}

int CSearchResultsDlg::GetRowCount() const
{
    return m_model->rowCount({});
}

void CSearchResultsDlg::OnInitDialog()
{
    if (IViewWindow* window = m_view.GetWindow()) {
        const CPoint corner = window->ClientToScreen(CPoint(0, 0));
        move(corner.x, corner.y);
    }
    // A third of the width each, the values taking what is left and then what they need.
    const int width = m_list->viewport()->width() > 0 ? m_list->viewport()->width() : kStartWidth - 24;
    m_list->header()->resizeSection(kLayerColumn, width / 3);
    m_list->header()->resizeSection(kFieldColumn, width / 3 - 16);
    // Long values widen it; short ones leave it filling the list.
    const int rest = width - width / 3 - (width / 3 - 16);
    m_list->resizeColumnToContents(kValueColumn);
    m_list->header()->resizeSection(kValueColumn, std::max(rest, m_list->header()->sectionSize(kValueColumn)));
    if (GetRowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0, 0));
    UpdateCount();
    if (m_opener)
        m_opener->hide();
    CDialogBase::OnInitDialog();
}

void CSearchResultsDlg::done(int result)
{
    if (m_opener)
        m_opener->show();
    CDialogBase::done(result);
}

int CSearchResultsDlg::SelectedHit() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : HitOfRow(rows.front().row());
}

void CSearchResultsDlg::OnOK()
{
    if (const int hit = SelectedHit(); hit >= 0)
        ShowTextHit(m_results, hit, m_view);
}

void CSearchResultsDlg::OnInfo()
{
    if (const int hit = SelectedHit(); hit >= 0)
        ShowTextHitInfo(m_results, hit, m_view.GetDocument());
}

void CSearchResultsDlg::OnDelete()
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const int row = rows.front().row();
    if (!DeleteTextHit(m_results, HitOfRow(row), m_view.GetDocument()))
        return;
    m_model->RemoveRow(row);
    UpdateCount();
}

void CSearchResultsDlg::UpdateCount()
{
    m_count->setText(QString::number(GetRowCount()));
}
