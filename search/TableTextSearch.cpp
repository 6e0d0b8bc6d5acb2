#include "search/TableTextSearch.h"

#include "core/DbfTable.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"
#include "search/TableGridModel.h"

namespace {

constexpr int kTextNotFound = 1070;
constexpr int kNoMoreFound = 1071;

bool RowMatches(CDbfTable& table, int record, const std::vector<int>& fields, const CTableSearchOptions& options)
{
    if (record < 0 || !table.ReadRecordAhead(record))
        return false;
    std::string value;
    for (const int field : fields) {
        if (table.GetFieldType(field) == 'M')
            table.GetMemo(field, value);
        else
            table.GetFieldString(field, value);
        if (TextMatches(value, options.text, options.wholeValue, options.matchCase))
            return true;
    }
    return false;
}

} // namespace

bool TextMatches(std::string_view value, std::string_view text, bool wholeValue, bool matchCase)
{
    if (wholeValue)
        return matchCase ? value == text : EqualsNoCase1257(value, text);
    if (matchCase)
        return value.find(text) != std::string_view::npos;
    return ToUpper1257(value).find(ToUpper1257(text)) != std::string::npos;
}

std::vector<int> CTableTextSearch::Find(CTableGridModel& model, const CTableSearchOptions& options)
{
    const bool fromTop = options.markAll || options.text != m_lastText || m_lastRow < 0;
    const int start = fromTop ? 0 : m_lastRow + 1;
    m_lastText = options.text;
    m_lastRow = -1;

    std::vector<int> fields;
    if (options.field.empty() || options.field[0] == '<') {
        for (int column = 0; column < model.columnCount(); ++column)
            fields.push_back(model.FieldOfColumn(column));
    } else if (const CDbfTable* table = model.Table()) {
        if (const int field = table->FindField(options.field); field >= 0)
            fields.push_back(field);
    }

    std::vector<int> found;
    CDbfTable* table = model.Table();
    if (table && !fields.empty()) {
        if (options.markAll)
            model.FetchAll();
        for (int row = start;; ++row) {
            if (row >= model.RowCount()) {
                if (!model.canFetchMore({}))
                    break;
                model.fetchMore({});
                if (row >= model.RowCount())
                    break;
            }
            if (!RowMatches(*table, model.RecordOfRow(row), fields, options))
                continue;
            found.push_back(row);
            if (!options.markAll)
                break;
        }
    }
    if (found.empty()) {
        AppMessageBox(fromTop ? kTextNotFound : kNoMoreFound, MB_OK | MB_ICONINFORMATION);
        return found;
    }
    m_lastRow = found.front();
    return found;
}
