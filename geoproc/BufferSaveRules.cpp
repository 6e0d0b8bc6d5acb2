#include "geoproc/BufferSaveRules.h"

#include "core/FileUtil.h"
#include "geoproc/LayerBuffers.h"
#include "geoproc/NewResultLayer.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "platform/NumberText.h"

namespace {

constexpr int kMaxFileNumber = 100000;

std::string& Remembered()
{
    static std::string name = "Buffer";
    return name;
}

bool TakesZones(const CLayer& layer)
{
    return layer.GetType() == CLayer::kArea && layer.HasFlag(CLayer::kObjectsEditable) &&
           !layer.HasFlag(CLayer::kGroup);
}

} // namespace

const std::string& CBufferSaveRules::GetName()
{
    return Remembered();
}

std::vector<std::string> CBufferSaveRules::OfferedLayers(const CDrelDoc& document)
{
    std::vector<std::string> names;
    for (int i = 0; i < document.GetLayerCount(); ++i)
        if (const CLayer* layer = document.GetLayer(i); TakesZones(*layer))
            names.push_back(layer->GetName());
    return names;
}

bool CBufferSaveRules::Remember(const std::string& name)
{
    if (name.empty() || name.size() > static_cast<size_t>(kMaxName))
        return false;
    Remembered() = name;
    return true;
}

CLayer* CBufferSaveRules::GetResultLayer(CDrelDoc& document)
{
    // A layer of the name that cannot take the zones keeps its name.
    if (CLayer* named = document.Layers().FindByName(GetName()); named && TakesZones(*named))
        return named;
    CResultLayerChoice choice;
    choice.name = GetName();
    document.MakeUniqueLayerName(choice.name);
    choice.type = CLayer::kArea;
    const std::string folder = document.GetMapDirectory();
    int n = 1;
    while (n < kMaxFileNumber && FileExists(folder + FormatC("Buffer%d.*", n)))
        ++n;
    choice.path = folder + FormatC("Buffer%d.gdb", n);
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return nullptr;
    bool created = false;
    {
        CLayerReader writer;
        created = writer.Create(result.GetWritePath(), CLayer::kArea);
    }
    return result.End(created ? EOperationEnd::kDone : EOperationEnd::kFailed, MakeZoneLayer(choice));
}
