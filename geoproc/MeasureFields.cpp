#include "geoproc/MeasureFields.h"

#include "core/CoordConverter.h"
#include "core/DbfEngine.h"
#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapSettings.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

#include <memory>
#include <string>

namespace {

enum MeasureMessage : int {
    kInfoProtected = 1035,
    kWriteError = 1045,
};


bool IsLineOrArea(int type)
{
    return type == CLayer::kLine || type == CLayer::kArea;
}

// Numbers written straight into fields of the table's records: one too
// wide for its field gets the engine's '*' text and is counted; any other
// failure stops the writer after one message.
class CFieldWriter {
public:
    explicit CFieldWriter(CDbfTable& table) : m_table(table) {}

    // False when the work is to stop.
    bool Write(int record, int field, double value)
    {
        DbfHandle* handle = m_table.GetHandle();
        if (field < 0)
            return true;
        if (!handle)
            return Fail();
        std::string text;
        const int shownBefore = m_messages.GetCount();
        bool written;
        if (DbfNumberText(*handle, field, value, text)) {
            written = DbfWriteFieldDouble(*handle, record, field, value);
        } else {
            written = DbfWriteFieldString(*handle, record, field, text);
            if (written && m_tooWide++ == 0)
                m_tooWideField = m_table.GetFieldCaption(field);
        }
        if (written) {
            ++m_written;
            return true;
        }
        // The engine has told of a read-only file or a lock it could not have.
        return m_messages.GetCount() != shownBefore ? false : Fail();
    }
    // The values that did not fit, told once.
    void Finish() const
    {
        if (m_tooWide > 0)
            AppMessageBox(Utf8ToCp1257("Į lauką \"") + m_tooWideField + Utf8ToCp1257("\" netilpo reikšmių: ") +
                              std::to_string(m_tooWide) + Utf8ToCp1257(". Jų vietoje įrašyta \"*\"."),
                          MB_OK | MB_ICONWARNING);
    }
    int GetWritten() const { return m_written; }

private:
    bool Fail()
    {
        AppMessageBox(kWriteError, MB_OK | MB_ICONWARNING);
        return false;
    }

    CDbfTable& m_table;
    CMessageCounter m_messages;
    int m_tooWide = 0;
    int m_written = 0;
    std::string m_tooWideField;
};

void UpdateLayerViews(CDrelDoc& document, CLayer& layer)
{
    // Labels and classes may show the fields written.
    if (layer.HasFlag(CLayer::kShown))
        document.UpdateAllViews(MakeHint(document.FindLayerIndex(&layer), kHintRedraw));
}

bool RefuseProtected(const CLayer& layer)
{
    if (layer.HasFlag(CLayer::kInfoEditable))
        return false;
    AppMessageBox(kInfoProtected, MB_OK | MB_ICONWARNING);
    return true;
}

// The measure of every shape that passes the filter, into the field chosen in dialog 275.
int WriteMeasureToField(CLayer& layer, CDrelDoc& document, int mode)
{
    if (RefuseProtected(layer))
        return 0;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    CCalcParams params;
    params.mode = mode;
    if (!GeoprocDialogs().AskCalcParams(table, params))
        return 0;
    const int field = params.field.empty() ? -1 : table.FindField(params.field);
    if (field < 0)
        return 0;
    // Unit 0 is "m" or "kv. m"; the measures come in km and km².
    const double factor = params.unit != 0 ? 1 : mode == CCalcParams::kLengths ? 1000 : 1000000;
    CWaitCursor wait;
    CFieldWriter writer(table);
    bool stopped = false;
    for (CShape shape; !stopped && source.ReadNextShape(shape);) {
        const double value =
            mode == CCalcParams::kLengths ? document.GetShapeLengthKm(shape) : document.GetShapeAreaKm2(shape);
        stopped = !writer.Write(source.GetCurrentRecord(), field, value * factor);
    }
    writer.Finish();
    if (writer.GetWritten() > 0)
        UpdateLayerViews(document, layer);
    return stopped ? 0 : 1;
}

} // namespace

int WriteLengthsToField(CLayer& layer, CDrelDoc& document)
{
    if (!IsLineOrArea(layer.GetType()) || layer.HasFlag(CLayer::kGroup))
        return 0;
    return WriteMeasureToField(layer, document, CCalcParams::kLengths);
}

int WriteAreasToField(CLayer& layer, CDrelDoc& document)
{
    if (layer.GetType() != CLayer::kArea || layer.HasFlag(CLayer::kGroup))
        return 0;
    return WriteMeasureToField(layer, document, CCalcParams::kAreas);
}

int WriteCoordinatesToField(CLayer& layer, CDrelDoc& document)
{
    const int type = layer.GetType();
    const bool points = type == CLayer::kPoint || type == CLayer::kTrack;
    if ((!points && !IsLineOrArea(type)) || layer.HasFlag(CLayer::kGroup))
        return 0;
    if (RefuseProtected(layer))
        return 0;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return 0;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    CWriteCoordsRules::Choice choice;
    if (!GeoprocDialogs().AskWriteCoords(table, !points, choice))
        return 0;
    const auto find = [&table](const std::string& name) { return name.empty() ? -1 : table.FindField(name); };
    const int fields[4] = {find(choice.xField), find(choice.yField), find(choice.lastXField), find(choice.lastYField)};
    if (points ? fields[0] < 0 || fields[1] < 0 : fields[0] < 0 && fields[1] < 0 && fields[2] < 0 && fields[3] < 0)
        return 0;
    std::unique_ptr<CCoordConverter> converter;
    if (choice.transform) {
        int from = choice.fromSystem;
        if (from < 0 && document.Settings().mapUnits == kUnitsDegrees)
            from = kCoordGeographic;
        converter = CreateCoordConverter(from, choice.toSystem);
    }
    const auto convert = [&converter](CMapPoint point) {
        if (converter)
            converter->ConvertPoint(point);
        return point;
    };

    CWaitCursor wait;
    CFieldWriter writer(table);
    bool stopped = false;
    if (points) {
        for (CMapPoint point; !stopped && source.ReadNextPoint(point);) {
            const CMapPoint p = convert(point);
            const int record = source.GetCurrentRecord();
            stopped = !writer.Write(record, fields[0], p.x) || !writer.Write(record, fields[1], p.y);
        }
    } else {
        for (CShape shape; !stopped && source.ReadNextShape(shape);) {
            if (shape.GetPointCount() == 0)
                continue;
            const CMapPoint first = convert(shape.GetPoint(0));
            const CMapPoint last = convert(shape.GetPoint(shape.GetPointCount() - 1));
            const int record = source.GetCurrentRecord();
            stopped = !writer.Write(record, fields[0], first.x) || !writer.Write(record, fields[1], first.y) ||
                      !writer.Write(record, fields[2], last.x) || !writer.Write(record, fields[3], last.y);
        }
    }
    writer.Finish();
    if (writer.GetWritten() > 0)
        UpdateLayerViews(document, layer);
    return stopped ? 0 : 1;
}
