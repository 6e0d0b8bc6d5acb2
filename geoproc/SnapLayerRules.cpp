#include "geoproc/SnapLayerRules.h"

#include "geoproc/LayerChoices.h"
#include "layers/Layer.h"

namespace {

struct CRemembered {
    std::string target;
    CSnapLayerChoice choice;
};

CRemembered& Remembered()
{
    static CRemembered remembered;
    return remembered;
}

bool IsPointType(const CLayer* layer)
{
    return layer && (layer->GetType() == CLayer::kPoint || layer->GetType() == CLayer::kTrack);
}

} // namespace

std::vector<CLayer*> CSnapLayerRules::SourceLayers(const CDrelDoc& document)
{
    return LayersOfTypes(document, {CLayer::kPoint, CLayer::kLine, CLayer::kArea});
}

std::vector<CLayer*> CSnapLayerRules::TargetLayers(const CDrelDoc& document)
{
    return LayersOfTypes(document, {CLayer::kPoint, CLayer::kLine, CLayer::kArea, CLayer::kTrack});
}

int CSnapLayerRules::InitialSource(const std::vector<CLayer*>& layers, const CLayer* active)
{
    for (size_t i = 0; active && i < layers.size(); ++i)
        if (layers[i] == active)
            return static_cast<int>(i);
    return -1;
}

int CSnapLayerRules::InitialTarget(const std::vector<CLayer*>& layers)
{
    return FindLayerNamed(layers, Remembered().target);
}

CSnapLayerChoice CSnapLayerRules::Initial()
{
    CSnapLayerChoice choice = Remembered().choice;
    choice.source = choice.target = nullptr;
    return choice;
}

bool CSnapLayerRules::AsksWhat(const CLayer* source)
{
    return !IsPointType(source);
}

bool CSnapLayerRules::AsksToWhat(const CLayer* target)
{
    return !IsPointType(target);
}

bool CSnapLayerRules::Accept(const CSnapLayerChoice& choice)
{
    if (!choice.source || !choice.target)
        return false;
    Remember(choice.target->GetName(), choice);
    return true;
}

const std::string& CSnapLayerRules::LastTarget()
{
    return Remembered().target;
}

void CSnapLayerRules::Remember(const std::string& target, const CSnapLayerChoice& choice)
{
    Remembered() = {target, choice};
    Remembered().choice.source = Remembered().choice.target = nullptr;
}
