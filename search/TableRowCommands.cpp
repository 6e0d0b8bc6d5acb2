#include "search/TableRowCommands.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Clipboard.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"
#include "search/FieldValueChange.h"
#include "search/TableDoc.h"
#include "search/TableGridModel.h"

#include <algorithm>
#include <new>

namespace {

constexpr int kNoMemory = 1005;
constexpr int kObjectsProtected = 1021;
constexpr int kWriteError = 1045;
constexpr int kOneRecordOnly = 1069;
constexpr int kAskDelete = 2024;

} // namespace

bool RecordInfoLines(const CTableGridModel& model, const std::vector<int>& rows, std::vector<std::string>& lines)
{
    lines.clear();
    if (rows.size() > 1) {
        AppMessageBox(kOneRecordOnly, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    CDbfTable* table = model.Table();
    const int record = rows.empty() ? -1 : model.RecordOfRow(rows.front());
    if (!table || record < 0 || !table->GoToRecord(record))
        return false;
    table->GetRecordLines(lines);
    return true;
}

std::vector<int32_t> RowRecords(const CTableGridModel& model, const std::vector<int>& rows)
{
    std::vector<int32_t> records;
    records.reserve(rows.size());
    for (const int row : rows)
        if (const int record = model.RecordOfRow(row); record >= 0)
            records.push_back(record);
    return records;
}

int DeleteTableRows(CTableGridModel& model, const std::vector<int>& rows)
{
    CTableDoc& doc = model.Document();
    CLayer* layer = doc.GetLayer();
    CFeatureSource* source = doc.GetSource();
    if (!layer || !source)
        return 0;
    if (!layer->HasFlag(CLayer::kObjectsEditable)) {
        AppMessageBox(kObjectsProtected, MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (rows.empty())
        return 0;
    if (layer->CheckReadOnly() || DbfRefuseIfReadOnly(*source->GetTable().GetHandle()))
        return 0;
    if (AppMessageBox(kAskDelete, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;

    std::vector<int> deleted;
    {
        CWaitCursor wait;
        std::vector<int> fromLast(rows);
        std::sort(fromLast.begin(), fromLast.end(), std::greater<>());
        CMessageCounter messages;
        for (const int row : fromLast) {
            const int record = model.RecordOfRow(row);
            if (record < 0)
                continue;
            if (!source->DeleteRecord(record)) {
                if (messages.GetCount() == 0)
                    AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
                break;
            }
            doc.MarkDeleted(static_cast<size_t>(model.ListIndexOfRow(row)));
            deleted.push_back(row);
        }
        model.RemoveRows(deleted);
    }
    if (!deleted.empty() && layer->HasFlag(CLayer::kShown))
        if (CDrelDoc* map = doc.GetBoundMap())
            map->UpdateAllViews(kHintRedraw);
    return static_cast<int>(deleted.size());
}

int ChangeFieldValue(CTableGridModel& model, const std::vector<int>& rows, const std::string& caption,
                     const std::string& value, int scope)
{
    CDbfTable* table = model.Table();
    const int field = table ? table->FindField(caption) : -1;
    if (field < 0)
        return 0;
    std::vector<int32_t> records;
    if (scope == 1) {
        model.FetchAll();
        records = model.Document().RecordList();
    } else {
        records = RowRecords(model, rows);
    }
    int written = 0;
    {
        CWaitCursor wait;
        written = CFieldValueChange(*table, field, value).Apply(records);
    }
    model.Refresh();
    return written;
}

std::string TableCopyText(const CTableGridModel& model, const std::vector<int>& rows, const std::vector<int>& widths)
{
    std::vector<size_t> columns;
    for (int column = 0; column < model.columnCount(); ++column)
        if (static_cast<size_t>(column) < widths.size() && widths[static_cast<size_t>(column)] > 0)
            columns.push_back(static_cast<size_t>(column));
    std::string text;
    const auto line = [&text, &columns](const auto& cell) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                text += '\t';
            text += cell(columns[i]);
        }
        text += '\n';
    };
    line([&model](size_t column) { return model.ColumnCaption(static_cast<int>(column)); });
    model.ForEachRowTexts(rows, [&line](int, const std::vector<std::string>& texts) {
        line([&texts](size_t column) -> const std::string& { return texts[column]; });
    });
    return text;
}

bool CopyTableRows(const CTableGridModel& model, const std::vector<int>& rows, const std::vector<int>& widths)
{
    try {
        CWaitCursor wait;
        const std::string utf8 = Cp1257ToUtf8(TableCopyText(model, rows, widths));
        return Clipboard().SetData("text/plain", std::vector<unsigned char>(utf8.begin(), utf8.end()));
    } catch (const std::bad_alloc&) {
        AppMessageBox(kNoMemory, MB_OK | MB_ICONERROR);
        return false;
    }
}
