#include "routing/SaveRoute.h"

#include "core/FileUtil.h"
#include "core/Shape.h"
#include "geoproc/NewResultLayer.h"
#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/NumberText.h"

namespace {

constexpr int kMaxFileNumber = 100000;
constexpr uint32_t kRouteLineWidth = 39;
constexpr COLORREF kRouteLineColour = 200;

std::string& Remembered()
{
    static std::string name = "Route";
    return name;
}

bool TakesRoute(const CLayer& layer)
{
    return layer.GetType() == CLayer::kLine && layer.HasFlag(CLayer::kObjectsEditable) &&
           !layer.HasFlag(CLayer::kGroup);
}

std::unique_ptr<CLayer> MakeRouteLayer(const CResultLayerChoice& choice)
{
    auto layer = std::make_unique<CLayer>(choice.name, choice.path, choice.type);
    if (CSublayer* first = layer->GetSublayer(0)) {
        CDrawStyle style = first->m_style.Draw();
        style.penWidth = kRouteLineWidth;
        style.penColor = kRouteLineColour;
        first->m_style = CStyleRecord(style);
    }
    return layer;
}

} // namespace

const std::string& CSaveRouteRules::GetName()
{
    return Remembered();
}

void CSaveRouteRules::Remember(const std::string& name)
{
    Remembered() = name.substr(0, kMaxName);
}

std::vector<std::string> CSaveRouteRules::OfferedLayers(const CDrelDoc& document)
{
    std::vector<std::string> names;
    for (int i = 0; i < document.GetLayerCount(); ++i)
        if (const CLayer* layer = document.GetLayer(i); TakesRoute(*layer))
            names.push_back(layer->GetName());
    return names;
}

CLayer* CSaveRouteRules::GetOrCreateLayer(CDrelDoc& document, const std::string& name)
{
    if (CLayer* named = document.Layers().FindByName(name); named && TakesRoute(*named))
        return named;
    CResultLayerChoice choice;
    choice.name = name;
    document.MakeUniqueLayerName(choice.name);
    choice.type = CLayer::kLine;
    const std::string folder = document.GetMapDirectory();
    int k = 1;
    while (k < kMaxFileNumber && FileExists(folder + FormatC("Route%d.*", k)))
        ++k;
    choice.path = folder + FormatC("Route%d.gdb", k);
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return nullptr;
    bool created = false;
    {
        CLayerReader writer;
        created = writer.Create(result.GetWritePath(), CLayer::kLine);
    }
    return result.End(created ? EOperationEnd::kDone : EOperationEnd::kFailed, MakeRouteLayer(choice));
}

bool SaveComputedRoute(CDrelDoc& document, const std::vector<const CShape*>& legs,
                       const std::function<CLayer*()>& choose)
{
    CLayer* layer = choose ? choose() : nullptr;
    if (!layer)
        return false;
    CLayerReader reader;
    if (!reader.CreateSource(layer->GetPath()) || !reader.GetSource()->Open(layer->GetPath()))
        return false;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    const int idField = table.FindField("Id");
    CMapRect extent;
    int written = 0;
    source.BeginWrites();
    for (const CShape* leg : legs) {
        // A leg between two stops on one node has no line to keep.
        if (!leg || leg->GetPointCount() == 0)
            continue;
        if (!source.AppendShape(*leg, false))
            break;
        // The record just appended: its number counts from 1.
        if (idField >= 0 && !table.SetFieldLong(idField, table.GetRecordCount()))
            break;
        if (!table.WriteRecord())
            break;
        extent.UnionRect(extent, leg->GetExtent());
        ++written;
    }
    source.EndWrites();
    source.Close();
    if (written == 0)
        return false;
    // Drawing passes over layers whose stored extent misses the view.
    if (layer->GetExtent() != CLayer::kUnboundedExtent) {
        CMapRect grown;
        grown.UnionRect(layer->GetExtent(), extent);
        layer->SetExtent(grown);
    }
    document.UpdateAllViews(kHintAll);
    document.SetModifiedFlag();
    return true;
}
