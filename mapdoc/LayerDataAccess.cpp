#include "mapdoc/LayerDataAccess.h"

#include "layers/FeatureSource.h"
#include "layers/GridFile.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/RasterExtentReader.h"

namespace {

// The data files themselves.
class CLayerFileAccess : public ILayerDataAccess {
public:
    bool ReadVectorFileInfo(const std::string& path, CVectorFileInfo& info) override
    {
        CLayerReader reader;
        if (!reader.Open(path))
            return false;
        CFeatureSource& source = *reader.GetSource();
        info.geometryKind = source.GetShapeType();
        info.firstField = source.GetTable().GetFieldName(0);
        // A layer without objects yet must not be passed over when they come.
        if (!source.GetExtent(info.extent) || !info.extent.IsValid())
            info.extent = CLayer::kUnboundedExtent;
        return true;
    }
    bool ReadRasterExtent(const std::string& path, CMapRect& extent) override
    {
        return ::ReadRasterExtent(path, extent);
    }
    bool ReadGridInfo(const std::string& path, CMapRect& extent, int& cellKind) override
    {
        CGridFile grid;
        if (!grid.Open(path) || !grid.GetBounds(extent))
            return false;
        cellKind = grid.GetCellType();
        return true;
    }
    bool ComputeLayerExtent(CLayer& layer, CMapRect& extent) override { return layer.GetExtent(extent); }
    bool DeleteLayerFiles(CLayer& layer) override { return layer.DeleteFiles(); }
};

CLayerFileAccess g_files;
ILayerDataAccess* g_access = nullptr;

} // namespace

ILayerDataAccess& LayerDataAccess()
{
    return g_access ? *g_access : g_files;
}

void SetLayerDataAccess(ILayerDataAccess* access)
{
    g_access = access;
}
