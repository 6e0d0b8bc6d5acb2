#include "geoproc/GeoprocCommands.h"

#include "geoproc/ClosedAreas.h"
#include "geoproc/CompareLayers.h"
#include "geoproc/DbfImport.h"
#include "geoproc/EndVertices.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/Islands.h"
#include "geoproc/LayerBuffers.h"
#include "geoproc/LineTopology.h"
#include "geoproc/MeasureFields.h"
#include "geoproc/MergeAdjacent.h"
#include "geoproc/MobileExport.h"
#include "geoproc/Overlay.h"
#include "geoproc/ShapeFromPoints.h"
#include "geoproc/SnapToLayer.h"
#include "geoproc/SnapVertices.h"
#include "geoproc/SortLayer.h"
#include "geoproc/SpatialIndexCommand.h"
#include "geoproc/StreetBlocks.h"
#include "geoproc/ThinVertices.h"
#include "geoproc/TopologyErrors.h"
#include "geoproc/TurnRestrictions.h"
#include "geoproc/Viaducts.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/CommandTarget.h"
#include "platform/UserServices.h"
#include "shell/MapFrameCommands.h"

#include <exception>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int kNoMemory = 1005;
constexpr int kNoLayerSelected = 1022;
constexpr char kOperationBroken[] = "Operacija nutraukta dėl netikėtos klaidos; jos rezultatų nėra.";

constexpr unsigned kLineArea = LayerTypeBit(CLayer::kLine) | LayerTypeBit(CLayer::kArea);
constexpr unsigned kPointLineArea = LayerTypeBit(CLayer::kPoint) | kLineArea;
constexpr unsigned kVectorTypes = kPointLineArea | LayerTypeBit(CLayer::kTrack);
constexpr char kDbfFilter[] = "DBF Files (*.dbf)|*.dbf||";
// The layer that regenerating the streets works on.
constexpr char kStreetLayer[] = "Gatvės";

int BufferZones(const CGeoprocCall& call)
{
    return CreateBuffers(*call.layer, call.document, call.dialogs.document);
}

int Topology(const CGeoprocCall& call)
{
    return CreateTopology(*call.layer, call.document, call.dialogs.document);
}

int ErrorPoints(const CGeoprocCall& call)
{
    return CreateErrorPointsLayer(*call.layer, call.document, call.dialogs.document);
}

int FixErrors(const CGeoprocCall& call)
{
    return FixTopologyErrors(*call.layer, call.document, call.dialogs.document);
}

int MergeNeighbours(const CGeoprocCall& call)
{
    return MergeAdjacent(*call.layer, call.document, call.dialogs.document);
}

int Islands(const CGeoprocCall& call)
{
    return CreateIslands(*call.layer, call.document, call.dialogs.document);
}

int SnapNearVertices(const CGeoprocCall& call)
{
    return SnapAdjacentPoints(*call.layer, call.document, call.dialogs.document);
}

int ClosedAreas(const CGeoprocCall& call)
{
    return CreateClosedAreas(*call.layer, call.document, call.dialogs.document);
}

// Runs whatever is selected: the operation refuses other layers itself.
int StreetBlocks(const CGeoprocCall& call)
{
    return BuildStreetBlocks(*call.layer, call.document, false);
}

int RegenerateStreets(const CGeoprocCall& call)
{
    CLayer* streets = call.document.Layers().FindByName(Utf8ToCp1257(kStreetLayer));
    return streets ? BuildStreetBlocks(*streets, call.document, true) : 0;
}

int Thinning(const CGeoprocCall& call)
{
    return ThinVertices(*call.layer, call.document, call.dialogs.document);
}

int TurnRestrictions(const CGeoprocCall& call)
{
    return AddTurnRestrictions(*call.layer, call.document);
}

int Viaducts(const CGeoprocCall& call)
{
    return FixViaducts(*call.layer, call.document);
}

int EndVertices(const CGeoprocCall& call)
{
    return CreateEndVertexLayer(*call.layer, call.document, call.dialogs.document);
}

// Dialog 30807 chooses both layers, the selected one offered as the source.
int SnapToOtherLayer(const CGeoprocCall& call)
{
    return SnapLayerToLayer(call.layer, call.document, call.dialogs.document);
}

// Dialog 288 chooses both layers, the selected one offered as the source.
int LayerOverlay(const CGeoprocCall& call)
{
    COverlayChoice choice;
    if (!GeoprocDialogs().AskOverlay(call.document, call.layer, choice) || !choice.source || !choice.overlaying)
        return 0;
    return Overlay(*choice.source, call.document, *choice.overlaying, choice.code, call.dialogs.document);
}

int Lengths(const CGeoprocCall& call)
{
    return WriteLengthsToField(*call.layer, call.document);
}

int Areas(const CGeoprocCall& call)
{
    return WriteAreasToField(*call.layer, call.document);
}

int Coordinates(const CGeoprocCall& call)
{
    return WriteCoordinatesToField(*call.layer, call.document);
}

// The file, then dialog 316 chooses the layer (the selected one offered)
// and whether the data join its objects or make objects of their own.
int AttributeImport(const CGeoprocCall& call)
{
    int filter = 1;
    std::vector<std::string> paths;
    if (!call.dialogs.openFiles(kDbfFilter, filter, false, paths) || paths.empty())
        return 0;
    CLayer* layer = call.layer;
    int mode = 0;
    if (!GeoprocDialogs().AskImportParams(call.document, call.layer, paths.front(), layer, mode) || !layer)
        return 0;
    return mode == 1 ? CreateObjectsFromDbf(*layer, call.document, paths.front(), call.dialogs.document)
                     : AttachDbfData(*layer, call.document, paths.front(), call.dialogs.document);
}

int CompareTwoLayers(const CGeoprocCall& call)
{
    return RunCompareLayers(call.layer, call.document);
}

int SpatialIndex(const CGeoprocCall& call)
{
    return CreateSpatialIndex(*call.layer);
}

int Sorting(const CGeoprocCall& call)
{
    return SortLayer(*call.layer, call.document, call.dialogs.document);
}

int LineFromPoints(const CGeoprocCall& call)
{
    return CreateShapeFromPoints(*call.layer, call.document, call.dialogs.document, CLayer::kLine);
}

int AreaFromPoints(const CGeoprocCall& call)
{
    return CreateShapeFromPoints(*call.layer, call.document, call.dialogs.document, CLayer::kArea);
}

int MobileData(const CGeoprocCall& call)
{
    PrepareMobileData(call.document);
    return 1;
}

constexpr unsigned kPointTrack = LayerTypeBit(CLayer::kPoint) | LayerTypeBit(CLayer::kTrack);

constexpr CGeoprocCommand kCommands[] = {
    {30235, kPointLineArea, CGeoprocCommand::kNewLayerDialog, BufferZones},
    {30244, kLineArea, 0, Lengths},
    {30245, LayerTypeBit(CLayer::kArea), 0, Areas},
    {30260, LayerTypeBit(CLayer::kLine), CGeoprocCommand::kNewLayerDialog, Topology},
    {30263, 0, CGeoprocCommand::kNewLayerDialog, LayerOverlay},
    {30264, kLineArea, CGeoprocCommand::kNewLayerDialog, MergeNeighbours},
    {30265, LayerTypeBit(CLayer::kLine), CGeoprocCommand::kNewLayerDialog, ClosedAreas},
    {30266, kVectorTypes, 0, Coordinates},
    {30280, 0, CGeoprocCommand::kOpenFilesDialog, AttributeImport},
    {30325, LayerTypeBit(CLayer::kLine), CGeoprocCommand::kNewLayerDialog, ErrorPoints},
    {30342, kLineArea, CGeoprocCommand::kNewLayerDialog, SnapNearVertices},
    {30344, 0, CGeoprocCommand::kSelectedLayer, StreetBlocks},
    {30348, kLineArea, CGeoprocCommand::kNewLayerDialog, FixErrors},
    {30349, kLineArea, CGeoprocCommand::kNewLayerDialog, Thinning},
    {30347, 0, CGeoprocCommand::kSelectedLayer, Viaducts},
    {30352, LayerTypeBit(CLayer::kArea), CGeoprocCommand::kNewLayerDialog, Islands},
    {30414, 0, CGeoprocCommand::kNewLayerDialog, SnapToOtherLayer},
    {30415, kLineArea, CGeoprocCommand::kNewLayerDialog, EndVertices},
    {30614, LayerTypeBit(CLayer::kLine), 0, TurnRestrictions},
    {30355, kPointLineArea, CGeoprocCommand::kNoTableLayer, SpatialIndex},
    {30408, kPointTrack, CGeoprocCommand::kNewLayerDialog, LineFromPoints},
    {30409, kPointTrack, CGeoprocCommand::kNewLayerDialog, AreaFromPoints},
    {30440, 0, 0, CompareTwoLayers},
    {30619, 0, 0, MobileData},
    {30632, kPointLineArea, CGeoprocCommand::kNewLayerDialog | CGeoprocCommand::kSingleFileLayer, Sorting},
    {30612, 0, 0, RegenerateStreets},
};

} // namespace

std::span<const CGeoprocCommand> GeoprocCommands()
{
    return kCommands;
}

bool IsGeoprocCommandEnabled(const CGeoprocCommand& command, const CLayer* layer, const CMapFrameDialogs& dialogs)
{
    if ((command.needs & CGeoprocCommand::kNewLayerDialog) && !dialogs.document.newLayer)
        return false;
    if ((command.needs & CGeoprocCommand::kLayerFileDialog) && !dialogs.document.layerFile)
        return false;
    if ((command.needs & CGeoprocCommand::kOpenFilesDialog) && !dialogs.openFiles)
        return false;
    if (command.layerTypes == 0)
        return true;
    const int type = layer ? layer->GetType() : -1;
    if (!layer || layer->HasFlag(CLayer::kGroup) || type < 0 || type >= 32 ||
        (command.layerTypes & LayerTypeBit(type)) == 0)
        return false;
    if ((command.needs & CGeoprocCommand::kSingleFileLayer) && layer->HasFlag(CLayer::kManyFiles))
        return false;
    return !(command.needs & CGeoprocCommand::kNoTableLayer) || !layer->IsDbfLayer();
}

int RunGeoprocOperation(int (*operation)(const CGeoprocCall& call), const CGeoprocCall& call)
{
    try {
        return operation(call);
    } catch (const std::bad_alloc&) {
        AppMessageBox(kNoMemory, MB_OK | MB_ICONWARNING);
    } catch (const std::exception&) {
        AppMessageBox(Utf8ToCp1257(kOperationBroken), MB_OK | MB_ICONWARNING);
    }
    return 0;
}

void InstallGeoprocCommands(CCommandTable& table, IMapFrameContext& frame, const CMapFrameDialogs& dialogs)
{
    for (const CGeoprocCommand& command : kCommands) {
        table.On(command.id, [&frame, &dialogs, &command] {
            CLayer* layer = frame.GetActiveLayer();
            if (!layer && (command.layerTypes != 0 || (command.needs & CGeoprocCommand::kSelectedLayer))) {
                AppMessageBox(kNoLayerSelected, MB_OK | MB_ICONWARNING);
                return;
            }
            // Other types are refused without a word, as the operations do.
            if (!IsGeoprocCommandEnabled(command, layer, dialogs))
                return;
            RunGeoprocOperation(command.operation, {frame.GetMapDocument(), layer, frame.GetMapView(), dialogs});
        });
        table.OnUpdate(command.id, [&frame, &dialogs, &command](CCommandState& state) {
            state.Enable(IsGeoprocCommandEnabled(command, frame.GetActiveLayer(), dialogs));
        });
    }
}
