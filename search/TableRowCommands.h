#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTableGridModel;

// The commands of a table window on the rows it has selected (rows in
// display order, ascending), apart from its windows.

// 30239: the lines (caption TAB value) of the one row's record; message
// 1069 "Pažymėkite tik vieną įrašą." for more rows; false for none.
bool RecordInfoLines(const CTableGridModel& model, const std::vector<int>& rows, std::vector<std::string>& lines);

// The records of the rows in order, rows without one left out.
std::vector<int32_t> RowRecords(const CTableGridModel& model, const std::vector<int>& rows);

// 30433: without the layer's kObjectsEditable message 1021; a read-only
// or damaged table is refused once (1044); then the question 2024. With
// Yes the rows' records are deleted through the data source from the last
// row up, each row leaving the grid (its list entry -1) only when its
// record went; the first failure ends the walk. When the layer is shown
// its map's views redraw (kHintRedraw). The rows deleted.
int DeleteTableRows(CTableGridModel& model, const std::vector<int>& rows);

// 30242 after its dialog: the value (FieldValueChange.h) into the field
// of the caption for every record of the list (scope 1, the list read
// whole first) or for the rows' records in order (scope 0); the grid then
// reads its cells again. The records written.
int ChangeFieldValue(CTableGridModel& model, const std::vector<int>& rows, const std::string& caption,
                     const std::string& value, int scope);

// The copied text: the captions of the columns whose width is above 0
// joined by TAB, then a line per row with the cells of those columns.
// Code page 1257, lines ended by "\n".
std::string TableCopyText(const CTableGridModel& model, const std::vector<int>& rows, const std::vector<int>& widths);
// The same put on the clipboard as plain UTF-8 text; message 1005 when
// memory runs out.
bool CopyTableRows(const CTableGridModel& model, const std::vector<int>& rows, const std::vector<int>& widths);
