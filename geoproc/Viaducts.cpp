#include "geoproc/Viaducts.h"

#include "core/DbfEngine.h"
#include "core/DbfTable.h"
#include "core/Shape.h"
#include "geoproc/SketchLinks.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <string>

namespace {

enum ViaductMessage : int {
    kReadError = 1028,
    kWriteError = 1045,
};

struct CLinkNodes {
    long from = 0;
    long to = 0;
};

// Reads straight from the file: a record written a moment ago reads back
// as written.
bool ReadNodes(DbfHandle& handle, const CNodeFields& fields, int record, CLinkNodes& nodes)
{
    if (!DbfReadRecord(handle, record))
        return false;
    nodes.from = DbfGetLong(handle, fields.from);
    nodes.to = DbfGetLong(handle, fields.to);
    return true;
}

bool Fits(const DbfHandle& handle, int field, long value)
{
    if (field < 0 || field >= handle.FieldCount())
        return false;
    const DbfField& f = handle.fields[static_cast<size_t>(field)];
    return f.decimals == 0 && static_cast<int>(std::to_string(value).size()) <= f.length;
}

} // namespace

void CViaductNumbers::Use(long node)
{
    m_used.insert(node);
    m_largest = std::max(m_largest, node);
}

long CViaductNumbers::Take(long node)
{
    long number = node + kViaductNodeBase;
    if (m_used.count(number))
        number = std::max(m_largest + 1, kViaductNodeBase);
    Use(number);
    return number;
}

int FixViaducts(CLayer& layer, CDrelDoc& document)
{
    CLayerReader reader;
    if (!OpenLinkLayer(layer, reader))
        return 0;
    CDbfTable& table = reader.GetSource()->GetTable();
    const CNodeFields fields(table);
    if (!fields.IsComplete() || !table.GetHandle()) {
        AppMessageBox(kNoTopologyMessage, MB_OK | MB_ICONWARNING);
        return 0;
    }
    CSketchLinks links;
    CLayer* sketchLayer = ChooseSketchLayer(document, layer, links);
    if (!sketchLayer)
        return 0;
    CLayerReader sketchReader;
    if (!sketchReader.OpenLayer(sketchLayer))
        return 0;
    DbfHandle& handle = *table.GetHandle();
    CWaitCursor wait;
    // Every node of the network, hidden links too, so no new number joins
    // links that were apart.
    CViaductNumbers numbers;
    for (int record = 0; record < handle.RecordCount(); ++record) {
        CLinkNodes nodes;
        if (ReadNodes(handle, fields, record, nodes)) {
            numbers.Use(nodes.from);
            numbers.Use(nodes.to);
        }
    }
    bool failed = false;
    CFeatureSource& sketches = *sketchReader.GetSource();
    for (CShape sketch; sketches.ReadNextShape(sketch);) {
        if (sketch.GetPointCount() == 0)
            continue;
        const int a = links.FindNearest(sketch.GetPoint(0), SketchRadius(sketch));
        const int b = links.FindNearest(sketch.GetPoint(sketch.GetPointCount() - 1), SketchRadius(sketch));
        if (a < 0 || b < 0)
            continue;
        const int recordA = links.GetRecord(a), recordB = links.GetRecord(b);
        CLinkNodes nodesA, nodesB;
        if (!ReadNodes(handle, fields, recordA, nodesA) || !ReadNodes(handle, fields, recordB, nodesB)) {
            failed = true;
            continue;
        }
        struct Rule {
            long a, b;
            int fieldA, fieldB;
        };
        const Rule rules[] = {
            {nodesA.from, nodesB.from, fields.from, fields.from},
            {nodesA.from, nodesB.to, fields.from, fields.to},
            {nodesA.to, nodesB.from, fields.to, fields.from},
            {nodesA.to, nodesB.to, fields.to, fields.to},
        };
        const auto rule = std::find_if(std::begin(rules), std::end(rules),
                                       [](const Rule& r) { return r.a == r.b && r.a < kViaductNodeBase; });
        if (rule == std::end(rules))
            continue;
        const long number = numbers.Take(rule->a);
        // A number cut to "*" would join the link to nothing at all.
        if (!Fits(handle, rule->fieldA, number) || !Fits(handle, rule->fieldB, number)) {
            failed = true;
            continue;
        }
        failed = !DbfWriteFieldLong(handle, recordA, rule->fieldA, number) || failed;
        failed = !DbfWriteFieldLong(handle, recordB, rule->fieldB, number) || failed;
    }
    if (failed)
        AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
    // A sketch line passed over as malformed was not carried out.
    if (sketches.GetError() != CFeatureSource::kNoError)
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
    return 1;
}
