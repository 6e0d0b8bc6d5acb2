#include "search/widgets/TableView.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/QueryDialogs.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/ViewWindow.h"
#include "platform/UserServices.h"
#include "res/CommandIds.h"
#include "search/TableDoc.h"
#include "search/TableGridModel.h"
#include "search/TableRowCommands.h"
#include "search/widgets/FieldValueChangeDlg.h"
#include "search/widgets/StatisticsDlg.h"
#include "search/widgets/TextSearchDlg.h"
#include "shell/DocManager.h"
#include "shell/MapFrameWindow.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenu>

#include <algorithm>

namespace {

enum : int {
    kCmdRecordInfo = 30239,
    kCmdEditRecords = 30240,
    kCmdFindText = 30241,
    kCmdChangeFieldValue = 30242,
    kCmdStatistics = 30243,
    kCmdShowOnMap = 30298,
    kCmdMoveToTop = 30300,
    kCmdDeleteRows = 30433,
    kCmdCopySelected = 30434,
    kCmdCopyTable = 30435,
    kCmdSelectAll = 30437,
};

constexpr int kValuesProtected = 1035;

// The map view of the first window of the map; null when it has none.
CDrelView* FirstMapView(CDrelDoc& map)
{
    CDrelApp* app = CDrelApp::Instance();
    CShellDocument* document = app ? app->DocManager().FindDocumentFor(map) : nullptr;
    if (!document)
        return nullptr;
    for (IDocFrame* frame : document->GetFrames())
        if (auto* window = dynamic_cast<IMapFrameWindow*>(frame))
            return window->GetMapView();
    return nullptr;
}

} // namespace

CTableView::CTableView(CTableDoc& doc, QWidget* parent) : CListViewEx(parent), m_doc(doc)
{
    SetShowSelectionAlways(true);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (!m_model)
            return;
        CWaitCursor wait;
        m_model->SortByColumn(column);
    });
    RegisterCommands();
}

CTableView::~CTableView()
{
    delete m_textSearch;
    // The view lets its model go first.
    setModel(nullptr);
}

void CTableView::OnInitialUpdate()
{
    if (m_model)
        return;
    CWaitCursor wait;
    m_model = std::make_unique<CTableGridModel>(m_doc);
    setModel(m_model.get());
    for (int column = 0; column < m_model->columnCount(); ++column)
        header()->resizeSection(column, m_model->ColumnWidth(column));
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [] { NotifyCommandStatesChanged(); });
}

std::vector<int> CTableView::SelectedRows() const
{
    std::vector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CTableView::SelectRows(const std::vector<int>& rows)
{
    if (!m_model || !selectionModel())
        return;
    std::vector<int> sorted(rows);
    std::sort(sorted.begin(), sorted.end());
    QItemSelection selection;
    const int lastColumn = std::max(m_model->columnCount() - 1, 0);
    for (size_t i = 0; i < sorted.size();) {
        const int first = sorted[i];
        int last = first;
        for (++i; i < sorted.size() && sorted[i] <= last + 1; ++i)
            last = sorted[i];
        selection.select(m_model->index(first, 0), m_model->index(last, lastColumn));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.empty()) {
        const QModelIndex focus = m_model->index(rows.front(), 0);
        selectionModel()->setCurrentIndex(focus, QItemSelectionModel::NoUpdate);
        scrollTo(focus);
    }
}

std::vector<int> CTableView::ColumnWidths() const
{
    std::vector<int> widths;
    for (int column = 0; m_model && column < m_model->columnCount(); ++column)
        widths.push_back(header()->isSectionHidden(column) ? 0 : header()->sectionSize(column));
    return widths;
}

bool CTableView::FindText(const CTableSearchOptions& options)
{
    if (!m_model)
        return false;
    std::vector<int> found;
    {
        CWaitCursor wait;
        clearSelection();
        found = m_search.Find(*m_model, options);
    }
    SelectRows(found);
    return !found.empty();
}

void CTableView::contextMenuEvent(QContextMenuEvent* event)
{
    const CDrelApp* app = CDrelApp::Instance();
    CMainFrame* main = app ? app->GetMainFrame() : nullptr;
    if (QMenu* menu = main ? main->Actions().PopupMenu(kContextMenu, 0) : nullptr)
        menu->popup(event->globalPos());
}

void CTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    CListViewEx::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        ShowRecordInfo();
}

void CTableView::RegisterCommands()
{
    CCommandTable& c = m_commands;
    c.On(kCmdRecordInfo, [this] { ShowRecordInfo(); });
    c.On(kCmdEditRecords, [this] { EditRecords(); });
    c.On(kCmdFindText, [this] { ShowTextSearch(); });
    c.On(kCmdChangeFieldValue, [this] { ChangeFieldValue(); });
    c.On(kCmdStatistics, [this] { ShowStatistics(); });
    c.On(kCmdShowOnMap, [this] { ShowOnMap(); });
    c.On(kCmdMoveToTop, [this] { MoveToTop(); });
    c.On(kCmdDeleteRows, [this] { DeleteRows(); });
    c.On(kCmdCopySelected, [this] { CopyRows(true); });
    c.On(kCmdCopyTable, [this] { CopyRows(false); });
    c.On(kCmdEditCopy, [this] { CopyRows(false); });
    c.On(kCmdSelectAll, [this] { SelectAllRows(); });
    const auto withTable = [this](CCommandState& state) { state.Enable(m_model && m_model->Table()); };
    for (const int id : std::initializer_list<int>{kCmdRecordInfo, kCmdEditRecords, kCmdFindText, kCmdChangeFieldValue, kCmdStatistics,
                         kCmdShowOnMap, kCmdMoveToTop, kCmdCopyTable, kCmdEditCopy, kCmdSelectAll})
        c.OnUpdate(id, withTable);
    const auto withSelection = [this](CCommandState& state) {
        state.Enable(m_model && selectionModel() && selectionModel()->hasSelection());
    };
    c.OnUpdate(kCmdDeleteRows, withSelection);
    c.OnUpdate(kCmdCopySelected, withSelection);
}

bool CTableView::CanEditValues() const
{
    const CLayer* layer = m_doc.GetLayer();
    if (layer && layer->HasFlag(CLayer::kInfoEditable))
        return true;
    AppMessageBox(kValuesProtected, MB_OK | MB_ICONWARNING);
    return false;
}

void CTableView::ShowRecordInfo()
{
    std::vector<std::string> lines;
    if (m_model && RecordInfoLines(*m_model, SelectedRows(), lines))
        ViewHost().ShowObjectInfo(lines, GetPathFolder(m_doc.GetTablePath()));
}

void CTableView::EditRecords()
{
    CDbfTable* table = m_model ? m_model->Table() : nullptr;
    CLayer* layer = m_doc.GetLayer();
    CDrelDoc* map = m_doc.GetBoundMap();
    if (!table || !layer || !map || !CanEditValues())
        return;
    for (const int32_t record : RowRecords(*m_model, SelectedRows())) {
        if (!table->GoToRecord(record) || !QueryDialogs().EditRecord(*table, *layer, *map))
            break;
        m_model->Refresh();
    }
}

void CTableView::ShowTextSearch()
{
    if (!m_model)
        return;
    if (!m_textSearch)
        m_textSearch = new CTextSearchDlg(*this, window());
    m_textSearch->show();
    m_textSearch->raise();
    m_textSearch->activateWindow();
}

void CTableView::ChangeFieldValue()
{
    CDbfTable* table = m_model ? m_model->Table() : nullptr;
    if (!table || !CanEditValues())
        return;
    CFieldValueChangeDlg dialog(*table, window());
    if (dialog.DoModal() != IDOK)
        return;
    ::ChangeFieldValue(*m_model, SelectedRows(), dialog.GetFieldCaption(), dialog.GetValue(), dialog.GetScope());
}

void CTableView::ShowStatistics()
{
    if (CDbfTable* table = m_model ? m_model->Table() : nullptr) {
        CStatisticsDlg dialog(*table, window());
        dialog.DoModal();
    }
}

void CTableView::ShowOnMap()
{
    CLayer* layer = m_doc.GetLayer();
    CDrelDoc* map = m_doc.GetBoundMap();
    CDrelView* view = map ? FirstMapView(*map) : nullptr;
    if (!m_model || !layer || !view)
        return;
    const std::vector<int32_t> records = RowRecords(*m_model, SelectedRows());
    if (records.empty())
        return;
    layer->ShowRecords(records, *view, true);
    if (IViewWindow* window = view->GetWindow())
        window->ActivateFrame();
    ViewHost().SetMessageText({});
}

void CTableView::MoveToTop()
{
    if (!m_model)
        return;
    m_model->MoveRowsToTop(SelectedRows());
    scrollToTop();
}

void CTableView::DeleteRows()
{
    if (m_model)
        DeleteTableRows(*m_model, SelectedRows());
}

void CTableView::CopyRows(bool selectedOnly)
{
    if (!m_model)
        return;
    std::vector<int> rows;
    if (selectedOnly) {
        rows = SelectedRows();
    } else {
        CWaitCursor wait;
        m_model->FetchAll();
        rows.resize(static_cast<size_t>(m_model->RowCount()));
        for (size_t row = 0; row < rows.size(); ++row)
            rows[row] = static_cast<int>(row);
    }
    CopyTableRows(*m_model, rows, ColumnWidths());
}

void CTableView::SelectAllRows()
{
    if (!m_model)
        return;
    {
        CWaitCursor wait;
        m_model->FetchAll();
    }
    selectAll();
}
