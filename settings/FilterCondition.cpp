#include "settings/FilterCondition.h"

#include "core/DateSerial.h"
#include "layers/Layer.h"
#include "platform/NumberText.h"
#include "shell/FieldText.h"

#include <algorithm>

namespace {

constexpr const char* kOperators[CFilterCondition::kOperatorCount] = {"=", "<>", ">", ">=", "<", "<=", ">>"};

// The prefixes of the two texts of a condition joined by AND or OR.
constexpr std::string_view kAndExpr = ".AND. ", kOrExpr = ".OR. ";
constexpr std::string_view kAndDisplay = "AND ", kOrDisplay = "OR ";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsValueDelimiter(char c)
{
    return c == '"' || c == '\'' || c == '.' || c == '{';
}

// The delimiter that ends a value begun by this one.
char ClosingDelimiter(char open)
{
    return open == '{' ? '}' : open;
}

// A date typed as yyyy-mm-dd, written as the filter language reads it.
bool MakeDateValue(std::string_view typed, std::string& made)
{
    typed.remove_prefix(std::min(typed.find_first_not_of(' '), typed.size()));
    typed = typed.substr(0, typed.find_last_not_of(' ') + 1);
    int parts[3] = {};
    size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        const size_t first = i;
        for (; i < typed.size() && IsDigit(typed[i]) && i - first < 4; ++i)
            parts[k] = parts[k] * 10 + (typed[i] - '0');
        if (i == first || (k < 2 && (i >= typed.size() || typed[i++] != '-')))
            return false;
    }
    if (i != typed.size() || parts[0] < 100 || !IsValidCalendarDate(parts[0], parts[1], parts[2]))
        return false;
    made = FormatC("{%04d-%02d-%02d}", parts[0], parts[1], parts[2]);
    return true;
}

// Drops the prefix when the text begins with it.
bool DropPrefix(std::string& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.erase(0, prefix.size());
    return true;
}

// Reads one word of a stored condition up to the next space: false when
// the text ends first, or the word is empty or longer than a word may be.
bool ReadWord(std::string_view text, size_t& pos, std::string& word)
{
    const size_t space = text.find(' ', pos);
    if (space == std::string_view::npos || space == pos || space - pos > CFilterCondition::kMaxWord)
        return false;
    word.assign(text.substr(pos, space - pos));
    pos = space + 1;
    return true;
}

void SkipSpaces(std::string_view text, size_t& pos)
{
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
}

} // namespace

const char* CFilterCondition::OperatorText(int op)
{
    return op >= 0 && op < kOperatorCount ? kOperators[op] : nullptr;
}

size_t CFilterCondition::Parse(std::string_view text)
{
    size_t pos = 0;
    SkipSpaces(text, pos);
    int readConjunction = kFirst;
    std::string word;
    if (pos < text.size() && text[pos] != '(') {
        if (!ReadWord(text, pos, word))
            return 0;
        if (word == ".AND.")
            readConjunction = kAnd;
        else if (word == ".OR.")
            readConjunction = kOr;
        else
            return 0;
        SkipSpaces(text, pos);
    }
    if (pos >= text.size() || text[pos] != '(')
        return 0;
    ++pos;
    std::string readField, readOperator;
    if (!ReadWord(text, pos, readField) || !ReadWord(text, pos, readOperator))
        return 0;
    const auto known = std::find(std::begin(kOperators), std::end(kOperators), readOperator);
    if (known == std::end(kOperators) || pos >= text.size())
        return 0;

    std::string readValue;
    bool readIsField = false;
    const char first = text[pos];
    if (IsValueDelimiter(first)) {
        // A quoted text, a logical or a date runs to its closing
        // delimiter, the one directly before ")": the text may hold ")" itself.
        const char last = ClosingDelimiter(first);
        size_t close = pos;
        do {
            close = text.find(last, close + 1);
            if (close == std::string_view::npos || close + 1 >= text.size())
                return 0;
        } while (text[close + 1] != ')');
        readValue.assign(text.substr(pos, close + 1 - pos));
        pos = close + 2;
    } else {
        const size_t close = text.find(')', pos);
        if (close == std::string_view::npos || close == pos || close - pos > kMaxWord)
            return 0;
        readValue.assign(text.substr(pos, close - pos));
        readIsField = !IsDigit(first);
        pos = close + 1;
    }
    field = std::move(readField);
    op = static_cast<int>(known - std::begin(kOperators));
    value = std::move(readValue);
    valueIsField = readIsField;
    conjunction = readConjunction;
    return pos;
}

std::string CFilterCondition::FormatExpr() const
{
    const char* opText = OperatorText(op);
    if (!opText)
        return {};
    const std::string condition = "(" + field + " " + opText + " " + value + ")";
    switch (conjunction) {
    case kFirst:
        return condition;
    case kAnd:
        return std::string(kAndExpr) + condition;
    case kOr:
        return std::string(kOrExpr) + condition;
    default:
        return {};
    }
}

std::string CFilterCondition::FormatDisplay(const CLayer& layer) const
{
    const char* opText = OperatorText(op);
    if (!opText)
        return {};
    const std::string shown = valueIsField ? "[" + layer.GetFieldAlias(value) + "]" : value;
    const std::string condition = "[" + layer.GetFieldAlias(field) + "] " + opText + " " + shown;
    switch (conjunction) {
    case kFirst:
        return condition;
    case kAnd:
        return std::string(kAndDisplay) + condition;
    case kOr:
        return std::string(kOrDisplay) + condition;
    default:
        return {};
    }
}

bool CFilterCondition::SetTypedValue(char fieldType, std::string_view typed)
{
    std::string made;
    switch (fieldType) {
    case 'D':
        // Between quotes a date would be a text, which no date compares with.
        if (!MakeDateValue(typed, made))
            return false;
        break;
    case 'C': {
        // The language reads both quotes and escapes neither.
        const bool doubleQuote = typed.find('"') != std::string_view::npos;
        if (doubleQuote && typed.find('\'') != std::string_view::npos)
            return false;
        const char quote = doubleQuote ? '\'' : '"';
        made = quote + std::string(typed) + quote;
        break;
    }
    case 'F':
    case 'N': {
        // A Lithuanian user types the decimal comma.
        std::string number(typed);
        std::replace(number.begin(), number.end(), ',', '.');
        double read = 0;
        if (!ParseRealField(number, read))
            return false;
        made = FormatC("%.15g", read);
        break;
    }
    case 'L':
        made = "." + std::string(typed) + ".";
        break;
    default:
        return false;
    }
    value = std::move(made);
    valueIsField = false;
    return true;
}

std::string CFilterCondition::GetTypedText() const
{
    if (value.size() >= 2 && IsValueDelimiter(value.front()))
        return value.substr(1, value.size() - 2);
    return value;
}

bool IsFilterFieldType(char type)
{
    return type == 'C' || type == 'D' || type == 'F' || type == 'L' || type == 'N';
}

bool GetConditionValues(const CLayer& layer, const std::string& field, std::vector<std::string>& values)
{
    return layer.GetFieldTextValues(field, values,
                                    CLayer::kSkipEmpty | CLayer::kSortValues | CLayer::kUniqueValues |
                                        CLayer::kIsoDates);
}

// ------------------------------------------------------------ the list

void CFilterConditionList::Load(std::string_view filter, const CLayer& layer)
{
    m_rows.clear();
    m_changed = false;
    m_unread = false;
    CFilterCondition condition;
    while (const size_t used = condition.Parse(filter)) {
        Add(condition, layer);
        filter.remove_prefix(used);
    }
    m_unread = filter.find_first_not_of(' ') != std::string_view::npos;
}

void CFilterConditionList::Add(const CFilterCondition& condition, const CLayer& layer)
{
    m_rows.push_back({condition.FormatExpr(), condition.FormatDisplay(layer)});
}

const std::string& CFilterConditionList::GetExpr(int row) const
{
    static const std::string none;
    return row >= 0 && row < GetCount() ? m_rows[static_cast<size_t>(row)].expr : none;
}

const std::string& CFilterConditionList::GetDisplay(int row) const
{
    static const std::string none;
    return row >= 0 && row < GetCount() ? m_rows[static_cast<size_t>(row)].display : none;
}

CFilterCondition CFilterConditionList::GetCondition(int row) const
{
    CFilterCondition condition;
    condition.Parse(GetExpr(row));
    return condition;
}

int CFilterConditionList::GetRowConjunction(int row) const
{
    if (row <= 0)
        return CFilterCondition::kFirst;
    const std::string& shown = GetDisplay(row);
    if (shown.starts_with(kAndDisplay))
        return CFilterCondition::kAnd;
    if (shown.starts_with(kOrDisplay))
        return CFilterCondition::kOr;
    return CFilterCondition::kFirst;
}

void CFilterConditionList::Append(CFilterCondition condition, int conjunction, const CLayer& layer)
{
    condition.conjunction = m_rows.empty() ? CFilterCondition::kFirst : conjunction;
    Add(condition, layer);
    m_changed = true;
}

void CFilterConditionList::Replace(int row, CFilterCondition condition, const CLayer& layer)
{
    if (row < 0 || row >= GetCount())
        return;
    condition.conjunction = GetRowConjunction(row);
    m_rows[static_cast<size_t>(row)] = {condition.FormatExpr(), condition.FormatDisplay(layer)};
    m_changed = true;
}

int CFilterConditionList::Remove(int row)
{
    if (row < 0 || row >= GetCount())
        return std::min(row, GetCount() - 1);
    m_rows.erase(m_rows.begin() + row);
    m_changed = true;
    if (row == 0 && !m_rows.empty()) {
        Row& first = m_rows.front();
        if (!DropPrefix(first.display, kAndDisplay))
            DropPrefix(first.display, kOrDisplay);
        if (!DropPrefix(first.expr, kAndExpr))
            DropPrefix(first.expr, kOrExpr);
    }
    return std::min(row, GetCount() - 1);
}

void CFilterConditionList::RemoveAll()
{
    m_rows.clear();
    m_changed = true;
}

std::string CFilterConditionList::GetFilterText() const
{
    std::string text;
    for (const Row& row : m_rows) {
        if (!text.empty())
            text += ' ';
        text += row.expr;
    }
    return text;
}
