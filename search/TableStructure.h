#pragma once

#include "core/DbfFieldInfo.h"

#include <string>
#include <string_view>
#include <vector>

struct DbfHandle;

// ------------------------------------------------------------ one field

// The control of the field description that a refusal sends the user to.
enum class FieldDescControl { Name, Size, Decimals };

// The length a type has whatever is typed (M 10, L 1, D 8); 0 for C, N and F.
int FixedFieldLength(char type);
// The type as the field description shows it: "F" as "N".
char ShownFieldType(char type);

// The field description's OK: the name upper-cased must begin with a
// letter or "_" and hold letters, digits and "_" (at most 10) (message
// 1047); C sizes 1 to 254 (1048); N and F sizes 1 to 20 (1049) with
// decimals above 0 at most size - 2 (1050); M, L and D take their fixed
// size. The message id, 0 when the field is made: named "Name" (the first
// letter upper-case), no decimals but for N and F.
int CheckFieldDesc(std::string_view name, char type, std::string_view sizeText, std::string_view decimalsText,
                   CDbfFieldInfo& field, FieldDescControl& focus);

// ------------------------------------------------------- the field list

// A field of the new structure and the field of the old table it is
// made from (-1 for a field added).
struct CStructureRow {
    CDbfFieldInfo info;
    int oldIndex = -1;
};

// The fields of a table as the structure dialog edits them.
class CTableStructure {
public:
    // The fields of the table file; false when it does not open.
    bool Load(const std::string& path);
    void SetRows(std::vector<CStructureRow> rows) { m_rows = std::move(rows); }
    const std::vector<CStructureRow>& GetRows() const { return m_rows; }
    int GetCount() const { return static_cast<int>(m_rows.size()); }

    // The row holding the name (letter case ignored) other than the row
    // except; -1 when none.
    int FindName(std::string_view name, int except = -1) const;
    void Add(const CDbfFieldInfo& info);
    // Before the row; at the end for a row outside the list.
    void Insert(int before, const CDbfFieldInfo& info);
    // The row keeps the old field it is made from.
    void Edit(int row, const CDbfFieldInfo& info);
    // Rows outside the list are passed over.
    void Remove(std::vector<int> rows);

    // Whether the structure may be written: after an add, insert or edit,
    // and after a removal that left rows.
    bool CanApply() const { return m_canApply; }

    // The texts of a row's columns: name, type, length, and the decimals
    // of F and N fields.
    static std::vector<std::string> RowTexts(const CStructureRow& row);

private:
    std::vector<CStructureRow> m_rows;
    bool m_canApply = false;
};

// --------------------------------------------------------- the rebuild

// The records of the old table copied into the new one (empty, of the
// rows' fields), each in its place with its deletion mark, the fields
// with an old field converted from it, the rest blank. A record that
// cannot be read is written blank and marked deleted, so later records
// keep their numbers; unreadable counts them. False, after its message,
// when a memo text cannot be read (1028) or the new table cannot be
// written (1045).
bool CopyIntoStructure(DbfHandle& oldTable, DbfHandle& newTable, const std::vector<CStructureRow>& rows,
                       int& unreadable);

// Rebuilds T.dbf with the rows' fields: the new table is written as
// ~T.dbf (and ~T.fpt), then T.dbf becomes T.~db and T.fpt T.~fp, and the
// new files take their names. False, after its message, when anything
// fails: then T.dbf and its memo file are as they were. A table cut short
// (1044), a missing memo file (1007), or a table that does not open
// (1007) is refused before anything is written; a move that fails shows
// the system's text.
bool RebuildTable(const std::string& path, const std::vector<CStructureRow>& rows);

// The structure dialog's OK over the table: question 2004; Yes rebuilds
// (a read-only table refused with 1044).
enum class StructureAnswer { StayOpen, CloseUnchanged, Rebuilt };
StructureAnswer ApplyTableStructure(const std::string& path, const std::vector<CStructureRow>& rows);
