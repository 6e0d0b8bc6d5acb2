#pragma once

#include "platform/CommandTarget.h"
#include "search/TableTextSearch.h"
#include "search/widgets/TextSearchDlg.h"
#include "shell/widgets/ListViewEx.h"

#include <QPointer>

#include <memory>
#include <vector>

class CTableDoc;
class CTableGridModel;

// The grid of an attribute-table window (CListViewEx over the document's
// CTableGridModel): the selection shows always; a click on a column's
// header sorts by it; a double click on a row is 30239; menu 274 "Table"
// is its context menu, its commands going to the main window. It is the
// first target of its frame's commands: the record information (30239),
// the record form (30240), the text search (30241, dialog 240, one per
// view), the field value change (30242, dialog 30768), the statistics
// (30243, dialog 272), marking the records on the map (30298), moving
// rows to the top (30300), deleting (30433), copying (30434 the selected
// rows, 30435 and 57634 all) and selecting every row (30437).
class CTableView : public CListViewEx {
public:
    static constexpr int kContextMenu = 274;

    explicit CTableView(CTableDoc& doc, QWidget* parent = nullptr);
    ~CTableView() override;

    CTableDoc& Document() const { return m_doc; }
    // Null before the first update.
    CTableGridModel* Model() const { return m_model.get(); }
    CCommandTable& Commands() { return m_commands; }

    // The first update, once the document holds its table: the grid over
    // it, the columns at their starting widths.
    void OnInitialUpdate();

    // The selected rows, ascending.
    std::vector<int> SelectedRows() const;
    // The selection becomes the rows; the first gets the focus and shows.
    void SelectRows(const std::vector<int>& rows);
    // The columns' widths as the user left them.
    std::vector<int> ColumnWidths() const;
    // The text search of dialog 240: the selection cleared, then the rows
    // found selected; false (the user told) when none was.
    bool FindText(const CTableSearchOptions& options);
    // Null until 30241 made it.
    CTextSearchDlg* GetTextSearchDialog() const { return m_textSearch; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RegisterCommands();
    void ShowRecordInfo();
    void EditRecords();
    void ShowTextSearch();
    void ChangeFieldValue();
    void ShowStatistics();
    void ShowOnMap();
    void MoveToTop();
    void DeleteRows();
    void CopyRows(bool selectedOnly);
    void SelectAllRows();
    // The layer allows editing its values; else message 1035.
    bool CanEditValues() const;

    CTableDoc& m_doc;
    std::unique_ptr<CTableGridModel> m_model;
    CCommandTable m_commands;
    CTableTextSearch m_search;
    QPointer<CTextSearchDlg> m_textSearch;
};
