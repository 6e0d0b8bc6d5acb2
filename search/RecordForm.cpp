#include "search/RecordForm.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "platform/UserServices.h"

#include <algorithm>

namespace RecordForm {

namespace {
constexpr int kWriteError = 1045;
}

std::vector<int> RowFields(const CDbfTable& table)
{
    std::vector<int> fields;
    for (int i = 0, count = table.GetFieldCount(); i < count; ++i)
        if (table.IsFieldShown(i))
            fields.push_back(i);
    return fields;
}

int VisibleRows(int areaHeight, int rowHeight, int rows)
{
    const int fit = rowHeight > 0 ? areaHeight / rowHeight : 0;
    return std::max(std::min(fit, rows), kMinVisibleRows);
}

int ScrollMax(int rows, int visible)
{
    return std::max(rows - visible, 0);
}

int ClampScroll(int scroll, int rows, int visible)
{
    return std::clamp(scroll, 0, ScrollMax(rows, visible));
}

int ScrollToShow(int scroll, int row, int rows, int visible)
{
    if (row < scroll)
        scroll = row;
    else if (row >= scroll + visible)
        scroll = row - visible + 1;
    return ClampScroll(scroll, rows, visible);
}

Move MoveFocus(Key key, int row, int rows, int visible, int scroll)
{
    Move move;
    move.scroll = scroll;
    if (rows <= 0) {
        move.kind = key == Key::kBacktab ? Move::kPreviousControl : Move::kNextControl;
        return move;
    }
    const int last = rows - 1;
    row = std::clamp(row, 0, last);
    switch (key) {
    case Key::kTab:
        if (row == last) {
            move.kind = Move::kNextControl;
            return move;
        }
        ++row;
        break;
    case Key::kBacktab:
        if (row == 0) {
            move.kind = Move::kPreviousControl;
            return move;
        }
        --row;
        break;
    case Key::kUp: row = std::max(row - 1, 0); break;
    case Key::kDown: row = std::min(row + 1, last); break;
    case Key::kPageUp:
        move.scroll = ClampScroll(scroll - visible, rows, visible);
        row = std::max(row - visible, 0);
        break;
    case Key::kPageDown:
        move.scroll = ClampScroll(scroll + visible, rows, visible);
        row = std::min(row + visible, last);
        break;
    }
    move.row = row;
    move.scroll = ScrollToShow(move.scroll, row, rows, visible);
    return move;
}

bool Save(CDbfTable& table, int record, const std::vector<RowValue>& rows)
{
    if (!table.IsOpen())
        return false;
    if (DbfRefuseIfReadOnly(*table.GetHandle()))
        return false;
    if (record >= 0 && !table.GoToRecord(record)) {
        AppMessageBox(kWriteError);
        return false;
    }
    for (const RowValue& row : rows) {
        if (row.changed && !table.SetField(row.field, row.text)) {
            AppMessageBox(kWriteError);
            return false;
        }
    }
    return table.WriteRecord();
}

} // namespace RecordForm
