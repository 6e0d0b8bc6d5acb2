#include "geoproc/DbfImport.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/ResultLayerFile.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/LonLatTableSource.h"
#include "mapdoc/DocCommands.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kKeyTextSize = 256; // as the value collection reads texts
constexpr int kMaxRenames = 10;

bool IsImportType(int type)
{
    return type == CLayer::kPoint || type == CLayer::kLine || type == CLayer::kArea;
}

bool IsNumericType(char type)
{
    return type == 'N' || type == 'F';
}

bool HasField(const std::vector<CDbfFieldInfo>& fields, const std::string& name)
{
    return std::any_of(fields.begin(), fields.end(), [&name](const CDbfFieldInfo& f) {
        return f.length != 0 && EqualsNoCase1257(std::string(f.name), name);
    });
}

// The fields of the list up to its end entry.
std::vector<CDbfFieldInfo> Entries(std::vector<CDbfFieldInfo> fields)
{
    const auto end = std::find_if(fields.begin(), fields.end(), [](const CDbfFieldInfo& f) { return f.length == 0; });
    fields.erase(end, fields.end());
    return fields;
}

std::vector<CDbfFieldInfo> Ended(std::vector<CDbfFieldInfo> fields)
{
    fields.emplace_back().Set("", 0, 0, 0);
    return fields;
}

// The record's bytes from the field on, in the table's record buffer,
// from the DOS code page.
void ConvertRecordFrom(CDbfTable& table, int field)
{
    DbfHandle* handle = table.GetHandle();
    if (!handle || field < 0 || field >= handle->FieldCount())
        return;
    const size_t begin = static_cast<size_t>(handle->fields[static_cast<size_t>(field)].offset);
    const size_t end = static_cast<size_t>(handle->RecordLength());
    if (begin >= end || end > handle->record.size())
        return;
    std::string bytes(handle->record.data() + begin, end - begin);
    OemToAnsiInPlace(bytes);
    std::memcpy(handle->record.data() + begin, bytes.data(), bytes.size());
}

// What both operations need before their own dialogs: the imported table,
// readable whole, the layer's data and the key fields.
struct CImportStart {
    CDbfTable imported;
    CLayerReader reader;
    CImportKeys keys;
    int layerKey = -1;
    int importKey = -1;

    bool Run(CLayer& layer, const std::string& dbfPath)
    {
        if (!IsImportType(layer.GetType()) || layer.HasFlag(CLayer::kGroup))
            return false;
        // A table cut short was told of as it opened; half of it would
        // make a half import.
        if (!imported.Open(dbfPath) || imported.IsDamaged())
            return false;
        if (!reader.OpenLayer(&layer))
            return false;
        CDbfTable& table = reader.GetSource()->GetTable();
        if (!GeoprocDialogs().AskImportKeys(table, imported, keys))
            return false;
        layerKey = table.FindField(keys.layerKey);
        importKey = imported.FindField(keys.importKey);
        return layerKey >= 0 && importKey >= 0;
    }
    bool NumericKeys() { return IsNumericType(reader.GetSource()->GetTable().GetFieldType(layerKey)); }
};

// The layer's or the table's key value of the current record, found in the index.
int FindKey(const CImportKeyIndex& index, const CDbfTable& table, int field, std::string& text)
{
    table.GetFieldText(field, text, kKeyTextSize);
    return text.empty() ? -1 : index.FindText(text);
}

} // namespace

bool CImportKeyIndex::Build(const CLayer& table, const std::string& field, bool numbers, bool fromOem)
{
    m_numeric = numbers;
    m_numbers.clear();
    m_texts.clear();
    const unsigned options = CLayer::kSkipEmpty | CLayer::kSortValues;
    if (numbers)
        return table.GetFieldNumberValues(field, m_numbers, options, &m_records, &m_order);
    return table.GetFieldTextValues(field, m_texts, options, &m_records, &m_order, fromOem);
}

int CImportKeyIndex::Find(double key) const
{
    const auto at = std::lower_bound(m_order.begin(), m_order.end(), key,
                                     [this](int i, double k) { return m_numbers[static_cast<size_t>(i)] < k; });
    if (at == m_order.end() || m_numbers[static_cast<size_t>(*at)] != key)
        return -1;
    return m_records[static_cast<size_t>(*at)];
}

int CImportKeyIndex::Find(const std::string& key) const
{
    // The byte order the value collection sorted by.
    const auto at = std::lower_bound(m_order.begin(), m_order.end(), key, [this](int i, const std::string& k) {
        return m_texts[static_cast<size_t>(i)] < k;
    });
    if (at == m_order.end() || m_texts[static_cast<size_t>(*at)] != key)
        return -1;
    return m_records[static_cast<size_t>(*at)];
}

int CImportKeyIndex::FindText(const std::string& text) const
{
    return m_numeric ? Find(AtofC(text)) : Find(text);
}

std::vector<CDbfFieldInfo> JoinFieldList(const std::vector<CDbfFieldInfo>& layerFields,
                                         const std::vector<CDbfFieldInfo>& importFields)
{
    const std::vector<CDbfFieldInfo> layer = Entries(layerFields);
    const std::vector<CDbfFieldInfo> imported = Entries(importFields);
    std::vector<CDbfFieldInfo> fields = layer;
    for (CDbfFieldInfo field : imported) {
        std::string name = field.name;
        if (HasField(layer, name)) {
            for (int k = 0; k < kMaxRenames && (HasField(layer, name) || HasField(imported, name)); ++k) {
                if (name.size() < 10)
                    name += '_';
                else
                    name[static_cast<size_t>(9 - k)] = '_';
            }
        }
        field.Set(name, field.type, field.length, field.decimals);
        fields.push_back(field);
    }
    return Ended(std::move(fields));
}

std::string ImportSkippedText(int count)
{
    return FormatC("%d", count);
}

int AttachDbfData(CLayer& layer, CDrelDoc& document, const std::string& dbfPath, const CDocCommandDialogs& dialogs)
{
    CImportStart start;
    if (!start.Run(layer, dbfPath) || !dialogs.layerFile)
        return 0;
    CResultLayerChoice choice;
    choice.type = layer.GetType();
    document.SuggestNewLayerNames(choice.name, choice.path, GetPathTitle(layer.GetPath()));
    CLayerFileOptions fileOptions;
    fileOptions.vectorFiles = true;
    if (!dialogs.layerFile(document, choice.name, choice.path, fileOptions))
        return 0;
    choice.options.replaceConfirmed = fileOptions.replaceConfirmed;
    document.MakeUniqueLayerName(choice.name);
    // Lines and areas are kept in GDB files; a point table needs its coordinate fields.
    const bool pointTable = choice.type == CLayer::kPoint && IsResultFileKind(choice.path, kResultDbf);
    if (!pointTable && !IsResultFileKind(choice.path, kResultGdb)) {
        choice.path = MakePathWithExtension(choice.path, ".gdb");
        choice.options.replaceConfirmed = false;
    }

    CFeatureSource& from = *start.reader.GetSource();
    CDbfTable& layerTable = from.GetTable();
    const int layerFieldCount = layerTable.GetFieldCount();
    std::vector<CDbfFieldInfo> fields = Entries(JoinFieldList(from.GetFieldInfos(), start.imported.GetFieldInfos()));
    if (pointTable) {
        for (const char* name : {"LON", "LAT"})
            if (!HasField(fields, name))
                fields.emplace_back().Set(name, 'N', 13, 8);
    }
    fields = Ended(std::move(fields));

    CImportKeyIndex index;
    // The imported file read as a plain table layer.
    const CLayer importLayer(std::string(), dbfPath, CLayer::kPoint);
    if (!index.Build(importLayer, start.keys.importKey, start.NumericKeys(), start.keys.dosText))
        return 0;

    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    EOperationEnd end = EOperationEnd::kFailed;
    {
        CLayerReader writer;
        if (writer.CreateSource(result.GetWritePath()) &&
            writer.GetSource()->Create(result.GetWritePath(), choice.type, fields.data())) {
            CFeatureSource& to = *writer.GetSource();
            CDbfTable& table = to.GetTable();
            const int importCount = start.imported.GetFieldCount();
            // A point table's coordinates come from the point.
            const int lon = pointTable ? table.FindField("LON") : -1;
            const int lat = pointTable ? table.FindField("LAT") : -1;
            const auto keep = [lon, lat](int field) { return field != lon && field != lat; };
            CWaitCursor wait;
            to.BeginWrites();
            end = EOperationEnd::kDone;
            std::string key;
            const auto copy = [&](int record) {
                if (!from.GetRecordTable(record))
                    return false;
                for (int i = 0; i < layerFieldCount; ++i)
                    if (keep(i))
                        table.CopyFieldFrom(layerTable, i, i);
                const int match = FindKey(index, layerTable, start.layerKey, key);
                if (match >= 0 && start.imported.GoToRecord(match)) {
                    for (int j = 0; j < importCount; ++j)
                        if (keep(layerFieldCount + j))
                            table.CopyFieldFrom(start.imported, layerFieldCount + j, j);
                    if (start.keys.dosText)
                        ConvertRecordFrom(table, layerFieldCount);
                }
                return table.WriteRecord();
            };
            if (choice.type == CLayer::kPoint) {
                for (CMapPoint point; end == EOperationEnd::kDone && from.ReadNextPoint(point);)
                    if (!to.AppendPoint(point, false) || !copy(from.GetCurrentRecord()))
                        end = EOperationEnd::kFailed;
            } else {
                for (CShape shape; end == EOperationEnd::kDone && from.ReadNextShape(shape);)
                    if (!to.AppendShape(shape, false) || !copy(from.GetCurrentRecord()))
                        end = EOperationEnd::kFailed;
            }
            end = CloseWritten(to, end);
            if (from.HasStoppingError())
                end = EOperationEnd::kFailed;
        }
    }
    return result.End(end) ? 1 : 0;
}

int CreateObjectsFromDbf(CLayer& layer, CDrelDoc& document, const std::string& dbfPath,
                         const CDocCommandDialogs& dialogs)
{
    CImportStart start;
    if (!start.Run(layer, dbfPath))
        return 0;
    const int type = layer.GetType();
    // A dBASE table holds points only.
    const int kinds = kResultGdb | kResultShapefile | (type == CLayer::kPoint ? kResultDbf : 0);
    CResultLayerChoice choice;
    if (!PromptResultLayerFile(document, dialogs, GetPathTitle(layer.GetPath()), type, kinds, choice))
        return 0;
    document.MakeUniqueLayerName(choice.name);
    const bool pointTable = IsResultFileKind(choice.path, kResultDbf);
    std::vector<CDbfFieldInfo> fields = Entries(start.imported.GetFieldInfos());
    const int importCount = static_cast<int>(fields.size());
    if (pointTable) {
        for (const char* name : {"LON", "LAT"})
            if (!HasField(fields, name))
                fields.emplace_back().Set(name, 'N', 13, 8);
    }
    fields = Ended(std::move(fields));

    CImportKeyIndex index;
    if (!index.Build(layer, start.keys.layerKey, start.NumericKeys(), false))
        return 0;

    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    EOperationEnd end = EOperationEnd::kFailed;
    int skipped = 0;
    std::string skippedKeys;
    {
        CLayerReader writer;
        if (writer.CreateSource(result.GetWritePath()) &&
            writer.GetSource()->Create(result.GetWritePath(), type, fields.data())) {
            CFeatureSource& from = *start.reader.GetSource();
            CFeatureSource& to = *writer.GetSource();
            CDbfTable& table = to.GetTable();
            int lon = -1, lat = -1;
            if (pointTable) {
                lon = table.FindField("LON");
                lat = table.FindField("LAT");
            }
            CWaitCursor wait;
            to.BeginWrites();
            end = EOperationEnd::kDone;
            CShape shape;
            CMapPoint point;
            std::string key;
            CDbfTable& imported = start.imported;
            for (imported.SetPosition(0); end == EOperationEnd::kDone && imported.NextRecord();) {
                if (start.keys.dosText)
                    ConvertRecordFrom(imported, 0);
                const int match = FindKey(index, imported, start.importKey, key);
                if (match < 0) {
                    ++skipped;
                    skippedKeys += (index.IsNumeric() ? FormatC("%g", AtofC(key)) : key) + "\r\n";
                    continue;
                }
                const bool appended = type == CLayer::kPoint
                                          ? from.ReadPoint(match, point) && to.AppendPoint(point, false)
                                          : from.ReadShape(match, shape) && to.AppendShape(shape, false);
                if (!appended) {
                    end = EOperationEnd::kFailed;
                    break;
                }
                for (int j = 0; j < importCount; ++j)
                    if (j != lon && j != lat)
                        table.CopyFieldFrom(imported, j, j);
                if (!table.WriteRecord())
                    end = EOperationEnd::kFailed;
            }
            end = CloseWritten(to, end);
        }
    }
    if (end == EOperationEnd::kDone && skipped > 0)
        GeoprocDialogs().ShowImportReport(ImportSkippedText(skipped), skippedKeys);
    return result.End(end) ? 1 : 0;
}
