#pragma once

#include "core/MapPoint.h"
#include "layers/FeatureSource.h"

#include <cstdint>
#include <string>
#include <vector>

class CDbfTable;
class CDrelDoc;
class CDrelView;
class CLayer;
class CLayerReader;
class CShape;

// How layers answer the map tools, the searches and the table commands
// through a map view: hit tests, object information, marking and showing
// records. They drive the view, its overlays and the windows around it,
// which sit above the layers; the view installs its queries here. Until
// one is installed nothing is found and nothing is shown.
class ILayerQueries {
public:
    virtual ~ILayerQueries() = default;
    // CLayer::HitTest.
    virtual int HitTest(CLayer& layer, const CMapPoint& point, CLayerReader& reader, CDrelView& view,
                        std::string* openedPath) = 0;
    // CLayer::FindNearest.
    virtual int FindNearest(CLayer& layer, const CMapPoint& point, CDrelView& view, CRecordArray& candidates,
                            CMapPoint* snapped) = 0;
    // The information of the object at the point (CLayer::ShowObjectInfoAt).
    virtual bool ShowObjectInfo(CLayer& layer, const CMapPoint& point, CDrelView& view) = 0;
    // The overlays cleared, a marker and the text at the point (value tips).
    virtual void ShowValueTip(const CMapPoint& point, const std::string& text, CDrelView& view) = 0;
    virtual void ShowRecordInfo(CLayer& layer, int record, bool closeFirst) = 0;
    virtual int MarkObjectAt(CLayer& layer, const CMapPoint& point, CDrelView& view, CShape& geometry,
                             std::string* name) = 0;
    virtual void ShowAreaAt(CLayer& layer, const CMapPoint& point, CDrelView& view) = 0;
    virtual void ShowLengthAt(CLayer& layer, const CMapPoint& point, CDrelView& view) = 0;
    virtual void ShowRecord(CLayer& layer, int record, CDrelView& view, bool zoom) = 0;
    virtual void ShowRecords(CLayer& layer, const std::vector<int32_t>& records, CDrelView& view, bool zoom) = 0;
    virtual void ShowTable(CLayer& layer, CDrelDoc& document) = 0;
    virtual bool EditRecord(CLayer& layer, CDrelView& view, int record, CDbfTable* table) = 0;
};

// Null while none is installed.
ILayerQueries* GetLayerQueries();
// Installs queries; null removes them. The caller keeps ownership.
void SetLayerQueries(ILayerQueries* queries);

// A point of a layer with its name (CLayer::GetNamedPoints).
struct CNamedPoint {
    double x = 0;
    double y = 0;
    std::string name;
};
