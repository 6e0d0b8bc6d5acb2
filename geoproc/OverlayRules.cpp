#include "geoproc/OverlayRules.h"

#include "core/DbfFieldInfo.h"
#include "geoproc/LayerChoices.h"
#include "geoproc/Overlay.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"

#include <cstring>
#include <iterator>

namespace {

struct CRemembered {
    std::string source;
    std::string overlaying;
    int operation = 0;
};

CRemembered& Remembered()
{
    static CRemembered remembered;
    return remembered;
}

} // namespace

std::vector<CLayer*> COverlayRules::SourceLayers(const CDrelDoc& document)
{
    return LayersOfTypes(document, {CLayer::kPoint, CLayer::kLine, CLayer::kArea, CLayer::kTrack});
}

std::vector<CLayer*> COverlayRules::OverlayingLayers(const CDrelDoc& document)
{
    return LayersOfTypes(document, {CLayer::kPoint, CLayer::kArea});
}

int COverlayRules::InitialSource(const std::vector<CLayer*>& layers, const CLayer* active)
{
    const int remembered = FindLayerNamed(layers, Remembered().source);
    return remembered >= 0 || !active ? remembered : FindLayerNamed(layers, active->GetName());
}

int COverlayRules::InitialOverlaying(const std::vector<CLayer*>& layers)
{
    return FindLayerNamed(layers, Remembered().overlaying);
}

int COverlayRules::InitialOperation()
{
    return Remembered().operation;
}

COverlayRules::Verdict COverlayRules::Accept(const CLayer* source, const CLayer* overlaying, int operation)
{
    if (!source || !overlaying || operation < 0 || operation >= static_cast<int>(std::size(kOverlayCodes)))
        return kIncomplete;
    if (!OverlayServes(source->GetType(), overlaying->GetType(), kOverlayCodes[operation]))
        return kNeedsAreas;
    Remember(source->GetName(), overlaying->GetName(), operation);
    return kAccepted;
}

const std::string& COverlayRules::LastSource()
{
    return Remembered().source;
}

const std::string& COverlayRules::LastOverlaying()
{
    return Remembered().overlaying;
}

void COverlayRules::Remember(const std::string& source, const std::string& overlaying, int operation)
{
    Remembered() = {source, overlaying, operation};
}

std::vector<CClassField> ClassFields(const CLayer& layer)
{
    std::vector<CClassField> fields;
    std::vector<CDbfFieldInfo> infos;
    if (!layer.ReadFieldList(infos))
        return fields;
    for (const CDbfFieldInfo& info : infos) {
        if (info.length == 0)
            break; // the end of the list
        if (info.type != 'C' && info.type != 'F' && info.type != 'N')
            continue;
        std::string name(info.name, strnlen(info.name, sizeof info.name));
        fields.push_back({layer.GetFieldAlias(name), std::move(name)});
    }
    return fields;
}
