#include "geoproc/LayerBuffers.h"

#include "core/Shape.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/LayerBufferRules.h"
#include "geoproc/NewResultLayer.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/BufferZoneSet.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"

#include <string>
#include <utility>

namespace {

constexpr int kReadError = 1028;
constexpr char kSuffix[] = "_buffer";
constexpr char kZoneFailed[] = "Nepavyko apskaičiuoti objekto buferinės zonos, todėl sluoksnis nesukurtas.";

// Forwards to a bar of the progress window, if there is one, and
// remembers a cancel, which the window reports only once.
class CCancelWatch : public IProgress {
public:
    CCancelWatch(IProgress* bar, bool& cancelled) : m_bar(bar), m_cancelled(cancelled) {}
    void SetRange(int low, int high) override
    {
        if (m_bar)
            m_bar->SetRange(low, high);
    }
    void SetStep(int step) override
    {
        if (m_bar)
            m_bar->SetStep(step);
    }
    void SetPos(int position) override
    {
        if (m_bar)
            m_bar->SetPos(position);
    }
    void StepIt() override
    {
        if (m_bar)
            m_bar->StepIt();
    }
    bool CheckCancel() override
    {
        if (m_bar && m_bar->CheckCancel())
            m_cancelled = true;
        return m_cancelled;
    }

private:
    IProgress* m_bar;
    bool& m_cancelled;
};

bool IsBufferSource(int type)
{
    return type == CLayer::kPoint || type == CLayer::kLine || type == CLayer::kArea || type == CLayer::kTrack;
}

// The zones of the layer's objects into the new file at the path.
EOperationEnd WriteZones(CLayer& layer, CDrelDoc& document, const std::string& path, int resultType, double radius,
                         int zoneType)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return EOperationEnd::kFailed;
    CFeatureSource& source = *reader.GetSource();
    source.SetReadConverter(document.GetGeoToMapConverter());
    CLayerReader writer;
    if (!writer.Create(path, resultType))
        return EOperationEnd::kFailed;
    CFeatureSource& target = *writer.GetSource();
    CDbfTable& table = target.GetTable();
    const int idField = table.FindField("Id");
    double metresX = 1, metresY = 1;
    document.GetMetresPerUnit(metresX, metresY);
    const double kmX = metresX * 0.001, kmY = metresY * 0.001;

    CWaitCursor wait;
    std::unique_ptr<IDoubleProgress> window = UserServices().CreateDoubleProgress(0);
    bool cancelled = false;
    CCancelWatch records(window.get(), cancelled);
    CCancelWatch zoneSteps(window ? &window->SecondBar() : nullptr, cancelled);
    records.SetRange(0, source.GetTable().GetRecordCount());
    records.SetStep(1);
    records.SetPos(0);

    const bool points = layer.GetType() == CLayer::kPoint || layer.GetType() == CLayer::kTrack;
    if (points)
        zoneType = CShape::kBufferBand;
    int written = 0;
    CShape object;
    for (;;) {
        if (points) {
            CMapPoint point;
            if (!source.ReadNextPoint(point))
                break;
            object.SetPoints(1, &point);
        } else if (!source.ReadNextShape(object)) {
            break;
        }
        // Around an area's outline the ring closes.
        if (layer.GetType() == CLayer::kArea && zoneType == CShape::kBufferBand)
            object.CloseRings();
        CShape zone;
        if (!object.Buffer(radius, kmX, kmY, zone, zoneType, window ? &zoneSteps : nullptr, true, window != nullptr)) {
            if (cancelled)
                return EOperationEnd::kCancelled;
            AppMessageBox(Utf8ToCp1257(kZoneFailed), MB_OK | MB_ICONWARNING);
            return EOperationEnd::kFailed;
        }
        if (zone.GetPointCount() > 0) {
            if (resultType == CLayer::kLine)
                zone.CloseRings();
            if (!target.AppendShape(zone, false))
                return EOperationEnd::kFailed;
            ++written;
            if ((idField >= 0 && !table.SetFieldLong(idField, written)) || !table.WriteRecord())
                return EOperationEnd::kFailed;
        }
        // Records the filter passed over count as passed too.
        records.SetPos(source.GetCurrentRecord() + 1);
        if (records.CheckCancel())
            return EOperationEnd::kCancelled;
    }
    // An object passed over would be missing from the zones.
    if (source.GetError() != CFeatureSource::kNoError) {
        AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
        return EOperationEnd::kFailed;
    }
    target.Close();
    return target.GetError() == CFeatureSource::kNoError ? EOperationEnd::kDone : EOperationEnd::kFailed;
}

} // namespace

std::unique_ptr<CLayer> MakeZoneLayer(const CResultLayerChoice& choice)
{
    auto layer = std::make_unique<CLayer>(choice.name, choice.path, choice.type);
    if (CSublayer* first = layer->GetSublayer(0))
        first->m_style = CStyleRecord(CBufferZoneSet::Settings().style);
    return layer;
}

int CreateBuffers(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    const int type = layer.GetType();
    if (layer.HasFlag(CLayer::kGroup) || !IsBufferSource(type))
        return 0;
    double radius = CLayerBufferRules::LastRadius();
    if (!GeoprocDialogs().AskLayerBuffer(layer, radius) || !CLayerBufferRules::Accepts(radius))
        return 0;
    int zoneType = CShape::kBufferBand;
    if (type == CLayer::kArea && (!GeoprocDialogs().AskBufferType(zoneType) || zoneType < CShape::kBufferBand ||
                                  zoneType > CShape::kBufferShrink))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, kSuffix), CLayer::kArea, choice,
                           1u << CLayer::kLine))
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    const EOperationEnd end = WriteZones(layer, document, result.GetWritePath(), choice.type, radius, zoneType);
    if (!result.End(end, MakeZoneLayer(choice)))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}
