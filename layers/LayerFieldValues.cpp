// The value lists of one attribute field and the classifications built from them.

#include "layers/Layer.h"

#include "core/DateSerial.h"
#include "core/DbfTable.h"
#include "layers/ThemeClassList.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>
#include <numeric>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr size_t kTextSize = 256; // 255 characters of a field text

// Byte order, as under the C locale's collation.
bool TextLess(const std::string& a, const std::string& b)
{
    return a < b;
}

// Ascending, with NaN last so that sorting always has a strict order.
bool NumberLess(double a, double b)
{
    return a < b || (!std::isnan(a) && std::isnan(b));
}

bool NumberEqual(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The layer's table, filtered by the layer's filter when asked; false
// when it cannot be opened or that filter does not compile.
bool OpenForValues(const CLayer& layer, CDbfTable& table, unsigned options)
{
    if (!layer.OpenTable(table))
        return false;
    return !(options & CLayer::kApplyFilter) || table.SetFilter(layer.GetFilter());
}

// The text of the current record: one field, or several joined by TAB.
void ReadText(const CDbfTable& table, const std::vector<int>& fields, unsigned options, std::string& text,
              std::string& part)
{
    if (fields.size() == 1) {
        double serial = 0;
        CCalendarDate date;
        if ((options & CLayer::kIsoDates) && table.GetFieldType(fields[0]) == 'D') {
            // An empty or unreadable date gives an empty text.
            text.clear();
            if (table.GetDate(fields[0], serial) && SerialToDate(static_cast<int>(serial), date))
                text = FormatC("%04d-%02d-%02d", date.year, date.month, date.day);
            return;
        }
        table.GetFieldText(fields[0], text, kTextSize);
        return;
    }
    text.clear();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += '\t';
        table.GetFieldText(fields[i], part, kTextSize);
        text += part;
    }
}

template <class T, class Less, class Equal>
void SortValues(std::vector<T>& values, std::vector<int>* order, unsigned options, Less less, Equal equal)
{
    const bool sort = (options & CLayer::kSortValues) != 0;
    const bool unique = sort && (options & CLayer::kUniqueValues);
    if (order) {
        order->resize(values.size());
        std::iota(order->begin(), order->end(), 0);
        if (!sort)
            return;
        auto at = [&values](int i) -> const T& { return values[static_cast<size_t>(i)]; };
        std::stable_sort(order->begin(), order->end(), [&](int a, int b) { return less(at(a), at(b)); });
        if (unique)
            order->erase(std::unique(order->begin(), order->end(), [&](int a, int b) { return equal(at(a), at(b)); }),
                         order->end());
        return;
    }
    if (!sort)
        return;
    std::sort(values.begin(), values.end(), less);
    if (unique)
        values.erase(std::unique(values.begin(), values.end(), equal), values.end());
}

// One value per record that passes the table's filter, in record order,
// then sorted as the options ask. False (message 1005) when memory runs out.
template <class T, class Convert, class Less, class Equal>
bool ReadValues(CDbfTable& table, const std::vector<int>& fields, unsigned options, std::vector<T>& values,
                std::vector<int>* records, std::vector<int>* order, Convert convert, Less less, Equal equal)
{
    try {
        std::string text, part;
        while (table.NextRecord()) {
            ReadText(table, fields, options, text, part);
            if ((options & CLayer::kSkipEmpty) && text.empty())
                continue;
            values.push_back(convert(text));
            if (records)
                records->push_back(table.GetCurrentRecord());
        }
        SortValues(values, order, options, less, equal);
    } catch (const std::bad_alloc&) {
        values = std::vector<T>();
        if (records)
            *records = std::vector<int>();
        if (order)
            *order = std::vector<int>();
        AppMessageBox(kOutOfMemory);
        return false;
    }
    return true;
}

template <class T>
void ClearOutputs(std::vector<T>& values, std::vector<int>* records, std::vector<int>* order)
{
    values.clear();
    if (records)
        records->clear();
    if (order)
        order->clear();
}

bool ReadRange(CDbfTable& table, int field, bool skipEmpty, double& minimum, double& maximum)
{
    minimum = DBL_MAX;
    maximum = -DBL_MAX;
    if (field < 0)
        return false;
    bool found = false;
    std::string text;
    while (table.NextRecord()) {
        table.GetFieldText(field, text, kTextSize);
        if (skipEmpty && text.empty())
            continue;
        const double value = AtofC(text);
        minimum = std::min(minimum, value);
        maximum = std::max(maximum, value);
        found = true;
    }
    return found;
}

// The value as a text of that many decimals reads it back.
double Rounded(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    return ParseDoubleC(FormatC("%1.*lf", decimals, value));
}

// Rounded to the decimals, but never above (direction -1) or below (+1) the value.
double RoundedToward(double value, int decimals, int direction)
{
    double bound = Rounded(value, decimals);
    if (direction < 0 ? bound > value : bound < value)
        bound = Rounded(bound + direction * std::pow(10.0, -decimals), decimals);
    return bound;
}

// Classes of about equal numbers of sorted values; false when there are none.
template <class T, class Add>
bool AddQuantileClasses(const std::vector<T>& values, int classCount, Add add)
{
    const size_t n = values.size();
    const size_t k = std::min(static_cast<size_t>(classCount), n);
    if (k == 0)
        return false;
    const double step = static_cast<double>(n) / static_cast<double>(k);
    size_t low = 0;
    for (size_t d = 0; d < k; ++d) {
        const size_t high = std::min(static_cast<size_t>(static_cast<double>(d + 1) * step - 0.5), n - 1);
        add(values[low], values[high]);
        low = high;
    }
    return true;
}

// Classes of equal width between the field's smallest and largest value,
// their bounds at the field's decimals. The first bound is rounded down
// and the last up, so that the extreme values fall into a class.
void AddEqualIntervalClasses(const CLayer& layer, const std::string& field, CThemeClassList& classes, int classCount)
{
    CDbfTable table;
    if (!layer.OpenTable(table))
        return;
    const int index = table.FindField(field);
    double minimum, maximum;
    if (!ReadRange(table, index, true, minimum, maximum))
        return;
    const int decimals = table.GetFieldDecimals(index);
    double interval = (maximum - minimum) / classCount;
    if (!std::isfinite(interval))
        interval = maximum / classCount - minimum / classCount;
    for (int c = 0; c < classCount; ++c) {
        const double low = c == 0 ? RoundedToward(minimum, decimals, -1) : Rounded(minimum + c * interval, decimals);
        const double high = c == classCount - 1 ? RoundedToward(maximum, decimals, +1)
                                                : Rounded(minimum + (c + 1) * interval, decimals);
        classes.InsertRangeClass(classes.GetCount(), layer.GetType(), low, high);
    }
}

} // namespace

bool CLayer::OpenTable(CDbfTable& table) const
{
    table.SetHiddenFields(m_hiddenFields.empty() ? nullptr : &m_hiddenFields);
    return table.Open(GetTablePath());
}

bool CLayer::GetFieldTextValues(const std::string& field, std::vector<std::string>& values, unsigned options,
                                std::vector<int>* records, std::vector<int>* order, bool fromOem) const
{
    CWaitCursor wait;
    ClearOutputs(values, records, order);
    CDbfTable table;
    if (!OpenForValues(*this, table, options))
        return false;
    std::vector<int> fields;
    const bool fieldList = (options & kFieldList) != 0;
    if (fieldList) {
        // A missing field of a list gives an empty text.
        size_t start = 0;
        for (;;) {
            const size_t tab = field.find('\t', start);
            fields.push_back(table.FindField(std::string_view(field).substr(start, tab - start)));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
    } else {
        fields.push_back(table.FindField(field));
        if (fields[0] < 0)
            return false;
    }
    const bool convert = fromOem && !fieldList;
    return ReadValues(
        table, fields, options, values, records, order,
        [convert](std::string& text) {
            if (convert)
                OemToAnsiInPlace(text);
            return text;
        },
        TextLess, std::equal_to<std::string>());
}

bool CLayer::GetFieldNumberValues(const std::string& field, std::vector<double>& values, unsigned options,
                                  std::vector<int>* records, std::vector<int>* order) const
{
    CWaitCursor wait;
    ClearOutputs(values, records, order);
    CDbfTable table;
    if (!OpenForValues(*this, table, options))
        return false;
    const int index = table.FindField(field);
    if (index < 0)
        return false;
    return ReadValues(
        table, {index}, options & ~kFieldList, values, records, order,
        [](const std::string& text) { return AtofC(text); }, NumberLess, NumberEqual);
}

bool CLayer::GetFieldRange(const std::string& field, double& minimum, double& maximum, bool skipEmpty) const
{
    CWaitCursor wait;
    minimum = DBL_MAX;
    maximum = -DBL_MAX;
    CDbfTable table;
    return OpenTable(table) && ReadRange(table, table.FindField(field), skipEmpty, minimum, maximum);
}

int CLayer::BuildClassification(const std::string& field, CThemeClassList& classes, int classCount,
                                bool equalIntervals) const
{
    CWaitCursor wait;
    classes.RemoveAll();
    if (!classes.IsSingleValues() && classCount < 1)
        return 0;
    const int type = m_type;
    try {
        switch (classes.GetKind()) {
        case CThemeClassList::kTexts: {
            std::vector<std::string> texts;
            GetFieldTextValues(field, texts, kSkipEmpty | kSortValues | kUniqueValues);
            for (const std::string& text : texts)
                classes.InsertTextClass(classes.GetCount(), type, text);
            break;
        }
        case CThemeClassList::kTextRanges: {
            std::vector<std::string> texts;
            GetFieldTextValues(field, texts, kSkipEmpty | kSortValues);
            if (!AddQuantileClasses(texts, classCount, [&](const std::string& low, const std::string& high) {
                    classes.InsertTextRangeClass(classes.GetCount(), type, low, high);
                }))
                return 0;
            break;
        }
        case CThemeClassList::kNumbers: {
            std::vector<double> numbers;
            GetFieldNumberValues(field, numbers, kSkipEmpty | kSortValues | kUniqueValues);
            for (double number : numbers)
                classes.InsertNumberClass(classes.GetCount(), type, number);
            break;
        }
        default: {
            if (equalIntervals) {
                AddEqualIntervalClasses(*this, field, classes, classCount);
                break;
            }
            std::vector<double> numbers;
            GetFieldNumberValues(field, numbers, kSkipEmpty | kSortValues);
            if (!AddQuantileClasses(numbers, classCount, [&](double low, double high) {
                    classes.InsertRangeClass(classes.GetCount(), type, low, high);
                }))
                return 0;
            break;
        }
        }
        classes.AddClass(type);
    } catch (const std::bad_alloc&) {
        classes.RemoveAll();
        AppMessageBox(kOutOfMemory);
        return 0;
    }
    return 1;
}
