#include "geoproc/LayerChoices.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"

std::vector<CLayer*> LayersOfTypes(const CDrelDoc& document, std::initializer_list<int> types)
{
    std::vector<CLayer*> layers;
    for (int i = 0; i < document.GetLayerCount(); ++i) {
        CLayer* layer = document.GetLayer(i);
        if (layer->HasFlag(CLayer::kGroup))
            continue;
        for (const int type : types)
            if (layer->GetType() == type) {
                layers.push_back(layer);
                break;
            }
    }
    return layers;
}

int FindLayerNamed(const std::vector<CLayer*>& layers, const std::string& name)
{
    if (name.empty())
        return -1;
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i]->GetName() == name)
            return static_cast<int>(i);
    return -1;
}
