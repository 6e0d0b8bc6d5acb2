#pragma once

#include <string>
#include <string_view>
#include <vector>

class CTableGridModel;

// What the text search of a table window looks for (code page 1257).
struct CTableSearchOptions {
    std::string text;
    // A field's name or caption; one beginning with '<' ("<Visi laukai>")
    // stands for every shown field.
    std::string field;
    bool wholeValue = false;
    bool matchCase = false;
    bool markAll = false;
};

// The value holds the text: the whole value equal to it, or containing
// it, with or without regard to letter case (code page 1257).
bool TextMatches(std::string_view value, std::string_view text, bool wholeValue, bool matchCase);

// The text search of one table window: it remembers the text and the row
// of the last hit, so that searching again for the same text goes on below
// that row. A new text, and marking all, start from the first row.
class CTableTextSearch {
public:
    // The rows found, in order: the first hit alone, or with markAll every
    // hit (the list read whole first). Memo fields are compared by their
    // text. When nothing is found the user is told (1070 "Tekstas
    // nerastas." after a search from the first row, else 1071), the place
    // is forgotten and the answer is empty.
    std::vector<int> Find(CTableGridModel& model, const CTableSearchOptions& options);
    // The row of the last hit; -1 when none.
    int GetLastRow() const { return m_lastRow; }

private:
    std::string m_lastText;
    int m_lastRow = -1;
};
