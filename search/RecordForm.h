#pragma once

#include <string>
#include <vector>

class CDbfTable;

// The rules of the record form (dialog 172): its rows, how many show,
// where the keys move the focus and the scroll position, and saving.
namespace RecordForm {

// Row r's edit box or memo button has this id plus r.
constexpr int kFirstRowId = 102;
constexpr int kMinVisibleRows = 3;

// The field index of each row: the fields not hidden, in table order.
std::vector<int> RowFields(const CDbfTable& table);
// The rows that fit the area, at most the rows there are and at least 3.
int VisibleRows(int areaHeight, int rowHeight, int rows);
// The largest scroll position, in rows.
int ScrollMax(int rows, int visible);
// The position nearest to scroll that shows the row.
int ScrollToShow(int scroll, int row, int rows, int visible);
// A scroll position kept within 0 to ScrollMax.
int ClampScroll(int scroll, int rows, int visible);

enum class Key { kTab, kBacktab, kUp, kDown, kPageUp, kPageDown };

// Where a key in row `row` sends the focus: another row (and the scroll
// that shows it), or out of the panel to the dialog's next control (Tab
// on the last row) or previous one (Shift+Tab on the first).
struct Move {
    enum Kind { kRow, kNextControl, kPreviousControl } kind = kRow;
    int row = 0;
    int scroll = 0;
};
Move MoveFocus(Key key, int row, int rows, int visible, int scroll);

// One row as the form hands it to saving.
struct RowValue {
    int field = -1;
    // An edit the user modified, a memo changed in its dialog.
    bool changed = false;
    std::string text;
};

// "Išsaugoti": the changed values into the record (made current; -1 the
// current one) and the record into the table. False, so that the form
// stays, after message 1044 for a read-only or damaged table, 1045 when
// a value (a memo without its memo file) could not be stored, or the
// table's message when the write failed.
bool Save(CDbfTable& table, int record, const std::vector<RowValue>& rows);

} // namespace RecordForm
