#pragma once

#include "search/AddressRecord.h"
#include "shell/widgets/DialogBase.h"

#include <QFrame>

#include <memory>
#include <string>
#include <vector>

class CDbfTable;
class CDrelDoc;
class CLayer;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The scrolling panel of the record form (101): one row per shown field,
// a label and an edit box or, for a memo, a "Tekstas..." button (ids 102
// + r), moved by whole rows. Tab, Shift+Tab, Up, Down, Page Up and Page
// Down move the focus between the rows (RecordForm::MoveFocus), and a row
// that gets the focus scrolls into view.
class CRecordFormPanel : public QFrame {
public:
    static constexpr int kPanelId = 101;

    struct Row {
        int field = -1;
        QLabel* label = nullptr;
        QLineEdit* edit = nullptr;   // none for a memo
        QPushButton* memo = nullptr; // none for other fields
        std::string memoText;
        bool memoChanged = false;
    };

    explicit CRecordFormPanel(QWidget* parent = nullptr);

    // The rows, each placed one row height lower; the panel shows the
    // visible rows of them exactly.
    void SetRows(std::vector<Row> rows, int rowHeight, int visibleRows, int labelWidth, int editWidth);
    std::vector<Row>& Rows() { return m_rows; }
    int GetRowHeight() const { return m_rowHeight; }
    int GetVisibleRows() const { return m_visible; }
    int GetScroll() const;
    void SetScroll(int scroll);
    // Row r's edit box or memo button.
    QWidget* RowControl(int row) const;
    // Focuses the row, scrolled into view; by Tab its whole text selected.
    void FocusRow(int row, Qt::FocusReason reason);
    // Where Tab and Shift+Tab leave the panel to.
    void SetNeighbours(QWidget* next, QWidget* previous);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int RowOf(const QObject* control) const;
    void PlaceRows();

    std::vector<Row> m_rows;
    QWidget* m_viewport;
    QScrollBar* m_bar;
    QWidget* m_next = nullptr;
    QWidget* m_previous = nullptr;
    int m_rowHeight = 1;
    int m_visible = 0;
};

// Dialog 172 "Informacijos redagavimas": the attribute values of one
// record of a table. With a map document and a layer the step before it
// (EditAddressRecord) runs first; when that handles every field the
// record is written and the dialog ends with OK unshown. "Išsaugoti"
// writes the modified edits and changed memos (RecordForm::Save) and
// ends only when the record was written.
class CRecordEditDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 172;
    static constexpr int kSaveButton = 1, kCancelButton = 2;
    // How many rows the template's area holds.
    static constexpr int kAreaRows = 12;

    // The record -1 is the one the table stands on; document and layer
    // may be null.
    CRecordEditDlg(CDbfTable* table, int record, CDrelDoc* document, CLayer* layer, QWidget* parent = nullptr);

    // The address entry the step before the form opens; dialog 196 unless set.
    void SetAddressPrompt(CAddressEntryPrompt prompt) { m_addressPrompt = std::move(prompt); }

    // Runs the step before the form, then the form unless that step
    // handled the record; hides the base's, which shows the form alone.
    int DoModal();
    CRecordFormPanel* Panel() const { return m_panel; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildRows();
    void OnMemo(int row);

    CDbfTable* m_table;
    int m_record;
    CDrelDoc* m_document;
    CLayer* m_layer;
    CAddressEntryPrompt m_addressPrompt;
    CRecordFormPanel* m_panel;
    QPushButton* m_save;
    QPushButton* m_cancel;
};
