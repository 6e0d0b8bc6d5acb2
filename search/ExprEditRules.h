#pragma once

#include <string>
#include <vector>

class CDbfTable;

// The message of a filter-language error code (CExpr::GetErrorCode),
// from the string table; empty for a code that has none.
std::string FormatExprError(int code);

// The four lists of the expression editor, each over rows of the
// language's operator and function table (core/ExprTable.h).
enum class ExprEntryGroup { Text, Math, Logical, Date };

struct CExprEntry {
    int row = 0;         // its first row in the table
    std::string name;    // as the list shows it
};

// One entry per name: functions of texts, of numbers (with the
// arithmetic operators), logical constants, operators and functions, and
// functions of dates.
std::vector<CExprEntry> ExprEntries(ExprEntryGroup group);
// The entry's signature, such as "MID(C, N, N) -> C", and what it does
// (its name when nothing more is known). Empty for a row outside the table.
std::string ExprEntrySignature(int row);
std::string ExprEntryExplanation(int row);

// What inserting a table row writes at the caret, and where the caret
// goes within it: operators and constants as they are, the caret after
// them; functions as NAME(,,) with a comma for each argument after the
// first, the caret after "(" (after ")" when there are no arguments).
struct CExprInsertion {
    std::string text;
    int caret = 0;
};
CExprInsertion ExprEntryInsertion(int row);

// A field's value as the language writes it, by the field's dBASE type: C
// quoted (in single quotes when it holds a double quote), D between braces,
// L .T. when it begins with T, t, Y or y and .F. otherwise, numbers as they are.
std::string ExprValueText(char fieldType, const std::string& value);

// A filter expression compiled over the table: 0 when it compiles to a
// logical value, else the error code and the byte position where the
// compiler stopped (0 when it gave none).
struct CExprCheck {
    int code = 0;
    int position = 0;
};
CExprCheck CheckFilterExpression(const CDbfTable& table, const std::string& text);
