#pragma once

#include <string>
#include <string_view>
#include <vector>

class CLayer;

// One simple condition of a layer's filter, (FIELD OP VALUE), with the way
// it joins the conditions before it. It has two texts: the expression
// form, which the filter language reads, and the display form of the
// condition lists, which names fields by their aliases.
class CFilterCondition {
public:
    enum Conjunction : int { kFirst = -1, kAnd = 0, kOr = 1 };
    static constexpr int kOperatorCount = 7;
    // The longest word (field, operator, unquoted value) a stored text may hold.
    static constexpr size_t kMaxWord = 254;

    // "=", "<>", ">", ">=", "<", "<=", ">>"; null outside 0..6.
    static const char* OperatorText(int op);

    // Reads one condition at the start of the text: the characters read,
    // 0 when the text does not start with a condition (and this is left as
    // it was). Never reads past the end of the text.
    size_t Parse(std::string_view text);
    // "(F = V)", ".AND. (F = V)" or ".OR. (F = V)"; empty for another conjunction.
    std::string FormatExpr() const;
    // "[Alias] = V", "AND [Alias] = V" or "OR [Alias] = V", a field value
    // shown as "[Alias]" too.
    std::string FormatDisplay(const CLayer& layer) const;

    // The value of a field of the dBASE type from the text the user typed:
    // C texts quoted ("..." or, when the text holds a double quote, '...';
    // a text holding both kinds cannot be written), D dates typed
    // yyyy-mm-dd written {yyyy-mm-dd}, F and N numbers read with a decimal
    // point or comma and written "%.15g", L ".%s.".
    // False, and nothing changed, when no value can be made.
    bool SetTypedValue(char fieldType, std::string_view typed);
    // The text a user typed for the value: a quoted text, a logical or a
    // date without its delimiters, anything else as it stands.
    std::string GetTypedText() const;

    std::string field;
    // In expression form: a quoted text, a number, a logical between
    // points, a date between braces, or a field name.
    std::string value;
    int op = 0;
    int conjunction = kFirst;
    bool valueIsField = false;
};

// The dBASE types a condition can be made on: C, D, F, L and N.
bool IsFilterFieldType(char type);

// The values a condition on the field may be given: the field's non-empty
// texts over the layer's table, sorted, each once, dates as yyyy-mm-dd
// (as conditions take them). False when the table or field is missing.
bool GetConditionValues(const CLayer& layer, const std::string& field, std::vector<std::string>& values);

// The conditions of a filter page, each row with its expression and its
// display text. The filter text is the expression forms joined by single
// spaces.
class CFilterConditionList {
public:
    // The conditions at the start of the text, up to the first that does
    // not parse; the list counts as unchanged.
    void Load(std::string_view filter, const CLayer& layer);
    // The loaded text went on past its last condition that parsed.
    bool HasUnreadText() const { return m_unread; }

    int GetCount() const { return static_cast<int>(m_rows.size()); }
    bool IsEmpty() const { return m_rows.empty(); }
    // Empty outside the rows.
    const std::string& GetExpr(int row) const;
    const std::string& GetDisplay(int row) const;
    // The row's condition as its expression reads; a default one outside the rows.
    CFilterCondition GetCondition(int row) const;
    // The conjunction an edited row keeps: none for the first row, else as
    // its display text begins ("AND ", "OR "), else none.
    int GetRowConjunction(int row) const;

    // Appends with the conjunction, or with none when the list is empty.
    void Append(CFilterCondition condition, int conjunction, const CLayer& layer);
    // Replaces the row, which keeps its conjunction; nothing outside the rows.
    void Replace(int row, CFilterCondition condition, const CLayer& layer);
    // Removes the row; a new first row loses its conjunction. The row to
    // select next: the same index, else the last, -1 when none is left.
    int Remove(int row);
    void RemoveAll();

    std::string GetFilterText() const;
    // A row was added, replaced or removed, or the list emptied, since the
    // load: until then the loaded text stands as it was, also the part of
    // it that did not parse.
    bool IsChanged() const { return m_changed; }

private:
    struct Row {
        std::string expr;
        std::string display;
    };
    void Add(const CFilterCondition& condition, const CLayer& layer);

    std::vector<Row> m_rows;
    bool m_changed = false;
    bool m_unread = false;
};
