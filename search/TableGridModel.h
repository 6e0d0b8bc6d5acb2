#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <list>
#include <string>
#include <vector>

class CDbfTable;
class CTableDoc;

// The grid of an attribute-table window over its document's record list:
// one column per shown field, one row per entry of the list that is not
// deleted. Nothing is kept per record but its place: cells are read when
// asked for, a block of neighbouring rows at a time, into a small cache;
// the list is read further as the view scrolls towards its end
// (canFetchMore, fetchMore). Sorting, like selecting or copying every row,
// reads the list whole first (FetchAll).
class CTableGridModel : public QAbstractTableModel {
public:
    // Texts of a cell are cut to this many bytes.
    static constexpr int kMaxCellText = 255;
    // Rows read at one time into the cache, and the blocks it keeps.
    static constexpr int kBlockRows = 64;
    static constexpr int kCachedBlocks = 32;

    explicit CTableGridModel(CTableDoc& doc, QObject* parent = nullptr);
    ~CTableGridModel() override;

    CTableDoc& Document() const { return m_doc; }
    // Null while the document has no table open.
    CDbfTable* Table() const;

    // Columns.
    int FieldOfColumn(int column) const;
    bool IsNumericColumn(int column) const;
    // The column's starting width in pixels: nine per character of the
    // field length or of the caption, whichever is longer, and 4, within
    // 40..200.
    int ColumnWidth(int column) const;
    std::string ColumnCaption(int column) const;

    // Rows.
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // The record shown in the row; -1 for none.
    int RecordOfRow(int row) const;
    // The entry of the document's record list the row shows; -1 for none.
    int ListIndexOfRow(int row) const;
    // The rows of the whole record list.
    void FetchAll();
    // The cell's text read from the table now, not through the cache.
    std::string CellText(int row, int column) const;
    // The texts of the columns of the row, read now, for the rows in the
    // order given; each row's texts go to the callback.
    template <class Callback>
    void ForEachRowTexts(const std::vector<int>& rows, Callback callback) const
    {
        std::vector<std::string> texts;
        for (const int row : rows)
            if (ReadRowTexts(row, texts))
                callback(row, texts);
    }

    // Sorting on a column click: another column than last time ascending,
    // the same one again the other way. Numeric fields by value, others by
    // their text ignoring case (code page 1257); equal values keep their
    // order. Rows keep their selection and focus through the persistent
    // indexes.
    void SortByColumn(int column);
    // The field last sorted on (-1 before the first sort) and its direction.
    int GetSortField() const { return m_sortField; }
    bool IsSortAscending() const { return m_ascending; }

    // The rows, ascending, go to the top in their order; the others keep
    // theirs below them.
    void MoveRowsToTop(const std::vector<int>& rows);
    // The rows go from the grid (their list entries stay as they are).
    void RemoveRows(std::vector<int> rows);
    // The records changed in the file: every cell is read again.
    void Refresh();

    // QAbstractItemModel.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    struct CBlock {
        int first = 0;                          // first row
        std::vector<std::vector<QString>> rows; // row, then column
    };

    bool ReadRowTexts(int row, std::vector<std::string>& texts) const;
    void ReadFieldText(const CDbfTable& table, int field, std::string& text) const;
    const CBlock& Block(int row) const;
    // Rows for the list entries the document read since last time.
    void AddNewRows();
    // Moves every row to the place the map gives it (new row of old row).
    void Reorder(const std::vector<int>& newRowOf);

    CTableDoc& m_doc;
    std::vector<int> m_fields;
    // The list entry of each row, in display order.
    std::vector<int32_t> m_rows;
    size_t m_listSeen = 0;
    int m_sortField = -1;
    bool m_ascending = true;
    // Most recently used first.
    mutable std::list<CBlock> m_cache;
};
