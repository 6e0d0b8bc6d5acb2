#include "geoproc/SortLayer.h"

#include "core/DbfTable.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/LayerExport.h"
#include "geoproc/NewResultLayer.h"
#include "geoproc/ResultLayerFile.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"

#include <algorithm>
#include <memory>

bool SortedRecords(const CLayer& layer, const std::string& field, bool descending, std::vector<int32_t>& records)
{
    records.clear();
    char type = 0;
    {
        CDbfTable table;
        if (!layer.OpenTable(table))
            return false;
        const int index = table.FindField(field);
        if (index < 0)
            return false;
        type = table.GetFieldType(index);
    }
    std::vector<int> numbers;
    std::vector<int> order;
    bool read = false;
    if (type == 'N' || type == 'F') {
        std::vector<double> values;
        read = layer.GetFieldNumberValues(field, values, CLayer::kSortValues, &numbers, &order);
    } else {
        std::vector<std::string> values;
        read = layer.GetFieldTextValues(field, values, CLayer::kSortValues, &numbers, &order);
    }
    if (!read)
        return false;
    records.reserve(order.size());
    for (const int position : order)
        records.push_back(numbers[static_cast<size_t>(position)]);
    if (descending)
        std::reverse(records.begin(), records.end());
    return true;
}

int SortLayer(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    if (layer.HasFlag(CLayer::kManyFiles) || layer.HasFlag(CLayer::kGroup))
        return 0;
    CRecordSortChoice sort;
    if (!GeoprocDialogs().AskSortRecords(layer, sort))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayerFile(document, dialogs, ResultLayerBase(layer, "_sorted"), layer.GetType(),
                               kResultGdb | kResultShapefile, choice))
        return 0;
    std::vector<int32_t> records;
    if (!SortedRecords(layer, sort.field, sort.direction == 1, records))
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    // Without live records there is no list, and nothing to copy either.
    const bool copied = ExportLayerCopy(&layer, result.GetWritePath(), nullptr, nullptr, &records, false);
    auto sorted = std::make_unique<CLayer>(layer);
    sorted->SetName(choice.name);
    sorted->SetPath(choice.path);
    sorted->SetFilter("");
    return result.End(copied ? EOperationEnd::kDone : EOperationEnd::kFailed, std::move(sorted)) ? 1 : 0;
}
