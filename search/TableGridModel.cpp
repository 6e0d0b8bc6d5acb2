#include "search/TableGridModel.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "search/TableDoc.h"

#include <algorithm>
#include <numeric>

namespace {

// Rows read at a time as the view scrolls: enough for a screen at first,
// then in proportion to what is there, so that each step costs the view
// about as much as all before it, up to a bound.
constexpr int kFirstFetch = 512;
constexpr int kMaxFetch = 65536;

bool IsNumericType(char type)
{
    return type == 'F' || type == 'N';
}

} // namespace

CTableGridModel::CTableGridModel(CTableDoc& doc, QObject* parent) : QAbstractTableModel(parent), m_doc(doc)
{
    if (const CDbfTable* table = Table())
        for (int field = 0; field < table->GetFieldCount(); ++field)
            if (table->IsFieldShown(field))
                m_fields.push_back(field);
    AddNewRows();
}

CTableGridModel::~CTableGridModel() = default;

CDbfTable* CTableGridModel::Table() const
{
    return m_doc.GetTable();
}

int CTableGridModel::FieldOfColumn(int column) const
{
    return column >= 0 && column < static_cast<int>(m_fields.size()) ? m_fields[static_cast<size_t>(column)] : -1;
}

bool CTableGridModel::IsNumericColumn(int column) const
{
    const CDbfTable* table = Table();
    return table && IsNumericType(table->GetFieldType(FieldOfColumn(column)));
}

int CTableGridModel::ColumnWidth(int column) const
{
    const CDbfTable* table = Table();
    const int field = FieldOfColumn(column);
    if (!table || field < 0)
        return 0;
    const int length = table->GetFieldLength(field);
    const int caption = static_cast<int>(table->GetFieldCaption(field).size());
    return std::clamp(std::max(length * 9 + 4, caption * 9 + 4), 40, 200);
}

std::string CTableGridModel::ColumnCaption(int column) const
{
    const CDbfTable* table = Table();
    return table ? table->GetFieldCaption(FieldOfColumn(column)) : std::string();
}

int CTableGridModel::ListIndexOfRow(int row) const
{
    return row >= 0 && row < RowCount() ? m_rows[static_cast<size_t>(row)] : -1;
}

int CTableGridModel::RecordOfRow(int row) const
{
    const int entry = ListIndexOfRow(row);
    return entry < 0 ? -1 : m_doc.RecordList()[static_cast<size_t>(entry)];
}

void CTableGridModel::FetchAll()
{
    m_doc.ReadAll();
    AddNewRows();
}

void CTableGridModel::AddNewRows()
{
    const std::vector<int32_t>& list = m_doc.RecordList();
    if (list.size() <= m_listSeen)
        return;
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(list.size() - m_listSeen) - 1);
    for (; m_listSeen < list.size(); ++m_listSeen)
        m_rows.push_back(static_cast<int32_t>(m_listSeen));
    // A block that ended with the rows it now goes on into is read again.
    m_cache.remove_if([](const CBlock& block) { return block.rows.size() < static_cast<size_t>(kBlockRows); });
    endInsertRows();
}

void CTableGridModel::ReadFieldText(const CDbfTable& table, int field, std::string& text) const
{
    table.GetFieldText(field, text, kMaxCellText + 1);
}

bool CTableGridModel::ReadRowTexts(int row, std::vector<std::string>& texts) const
{
    CDbfTable* table = Table();
    const int record = RecordOfRow(row);
    if (!table || record < 0 || !table->ReadRecordAhead(record))
        return false;
    texts.resize(m_fields.size());
    for (size_t c = 0; c < m_fields.size(); ++c)
        ReadFieldText(*table, m_fields[c], texts[c]);
    return true;
}

std::string CTableGridModel::CellText(int row, int column) const
{
    CDbfTable* table = Table();
    const int record = RecordOfRow(row);
    std::string text;
    if (table && record >= 0 && FieldOfColumn(column) >= 0 && table->ReadRecordAhead(record))
        ReadFieldText(*table, FieldOfColumn(column), text);
    return text;
}

const CTableGridModel::CBlock& CTableGridModel::Block(int row) const
{
    const int first = row - row % kBlockRows;
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it)
        if (it->first == first) {
            m_cache.splice(m_cache.begin(), m_cache, it);
            return m_cache.front();
        }
    if (static_cast<int>(m_cache.size()) >= kCachedBlocks)
        m_cache.pop_back();
    CBlock& block = m_cache.emplace_front();
    block.first = first;
    const int count = std::min(kBlockRows, RowCount() - first);
    block.rows.resize(static_cast<size_t>(std::max(count, 0)));
    CDbfTable* table = Table();
    if (!table || count <= 0)
        return block;
    // The block's records in file order, each read once through the read-ahead.
    std::vector<std::pair<int, int>> records; // record, row in the block
    for (int i = 0; i < count; ++i)
        if (const int record = RecordOfRow(first + i); record >= 0)
            records.emplace_back(record, i);
    std::sort(records.begin(), records.end());
    const int reach = records.empty() ? -1 : records.back().first;
    std::string text;
    for (const auto& [record, i] : records) {
        if (!table->ReadRecordAhead(record, reach))
            continue;
        std::vector<QString>& cells = block.rows[static_cast<size_t>(i)];
        cells.reserve(m_fields.size());
        for (const int field : m_fields) {
            ReadFieldText(*table, field, text);
            cells.push_back(ToQString(text));
        }
    }
    return block;
}

int CTableGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int CTableGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_fields.size());
}

QVariant CTableGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= RowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (IsNumericColumn(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole)
        return {};
    const CBlock& block = Block(index.row());
    const std::vector<QString>& cells = block.rows[static_cast<size_t>(index.row() - block.first)];
    return static_cast<size_t>(index.column()) < cells.size() ? cells[static_cast<size_t>(index.column())] : QString();
}

QVariant CTableGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return ToQString(ColumnCaption(section));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (IsNumericColumn(section) ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

bool CTableGridModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_doc.IsListComplete();
}

void CTableGridModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid())
        return;
    m_doc.ReadMore(std::clamp(RowCount(), kFirstFetch, kMaxFetch));
    AddNewRows();
}

void CTableGridModel::SortByColumn(int column)
{
    const int field = FieldOfColumn(column);
    CDbfTable* table = Table();
    if (field < 0 || !table)
        return;
    FetchAll();
    m_ascending = field == m_sortField ? !m_ascending : true;
    m_sortField = field;
    const bool numeric = IsNumericType(table->GetFieldType(field));

    // Each row's value, reading the records in file order.
    const size_t count = m_rows.size();
    std::vector<std::pair<int, int>> byRecord; // record, row
    byRecord.reserve(count);
    for (size_t row = 0; row < count; ++row)
        if (const int record = RecordOfRow(static_cast<int>(row)); record >= 0)
            byRecord.emplace_back(record, static_cast<int>(row));
    std::sort(byRecord.begin(), byRecord.end());
    std::vector<double> numbers(numeric ? count : 0);
    std::vector<std::string> texts(numeric ? 0 : count);
    for (const auto& [record, row] : byRecord) {
        if (!table->ReadRecordAhead(record))
            continue;
        if (numeric)
            numbers[static_cast<size_t>(row)] = DbfGetDouble(*table->GetHandle(), field);
        else
            ReadFieldText(*table, field, texts[static_cast<size_t>(row)]);
    }
    // Folded once, so that the comparisons are plain byte compares.
    for (std::string& text : texts)
        std::transform(text.begin(), text.end(), text.begin(),
                       [](char c) { return static_cast<char>(Cp1257ToUpper(static_cast<unsigned char>(c))); });

    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    const auto less = [&](int a, int b) {
        if (numeric)
            return numbers[static_cast<size_t>(a)] < numbers[static_cast<size_t>(b)];
        return texts[static_cast<size_t>(a)] < texts[static_cast<size_t>(b)];
    };
    if (m_ascending)
        std::stable_sort(order.begin(), order.end(), less);
    else
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(b, a); });
    std::vector<int> newRowOf(count);
    for (size_t k = 0; k < count; ++k)
        newRowOf[static_cast<size_t>(order[k])] = static_cast<int>(k);
    Reorder(newRowOf);
}

void CTableGridModel::MoveRowsToTop(const std::vector<int>& rows)
{
    const size_t count = m_rows.size();
    std::vector<bool> moved(count, false);
    std::vector<int> newRowOf(count, -1);
    int next = 0;
    for (const int row : rows)
        if (row >= 0 && static_cast<size_t>(row) < count && !moved[static_cast<size_t>(row)]) {
            moved[static_cast<size_t>(row)] = true;
            newRowOf[static_cast<size_t>(row)] = next++;
        }
    if (next == 0)
        return;
    for (size_t row = 0; row < count; ++row)
        if (!moved[row])
            newRowOf[row] = next++;
    Reorder(newRowOf);
}

void CTableGridModel::Reorder(const std::vector<int>& newRowOf)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int32_t> rows(m_rows.size());
    for (size_t row = 0; row < m_rows.size(); ++row)
        rows[static_cast<size_t>(newRowOf[row])] = m_rows[row];
    m_rows = std::move(rows);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(index.row() >= 0 && static_cast<size_t>(index.row()) < newRowOf.size()
                      ? this->index(newRowOf[static_cast<size_t>(index.row())], index.column())
                      : QModelIndex());
    changePersistentIndexList(from, to);
    m_cache.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CTableGridModel::RemoveRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= RowCount(); }),
               rows.end());
    // Runs of neighbouring rows, from the last.
    for (size_t i = 0; i < rows.size();) {
        const int last = rows[i];
        int first = last;
        for (++i; i < rows.size() && rows[i] == first - 1; ++i)
            first = rows[i];
        beginRemoveRows(QModelIndex(), first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        m_cache.clear();
        endRemoveRows();
    }
}

void CTableGridModel::Refresh()
{
    m_cache.clear();
    if (RowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(RowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}
