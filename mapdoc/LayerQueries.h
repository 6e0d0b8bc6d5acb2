#pragma once

#include "layers/LayerQueries.h"

// The layer queries of the map views: hit tests within 16 pixels of the
// click, object information in the main window's information window and
// status bar, found records marked as overlays and brought into view, the
// attribute table and the record dialog. Partners outside the views come
// through ViewHost() (information window, status bar), DocumentHost()
// (table windows), QueryDialogs() and the view's window (measure boxes).
class CLayerQueries : public ILayerQueries {
public:
    int HitTest(CLayer& layer, const CMapPoint& point, CLayerReader& reader, CDrelView& view,
                std::string* openedPath) override;
    int FindNearest(CLayer& layer, const CMapPoint& point, CDrelView& view, CRecordArray& candidates,
                    CMapPoint* snapped) override;
    bool ShowObjectInfo(CLayer& layer, const CMapPoint& point, CDrelView& view) override;
    void ShowValueTip(const CMapPoint& point, const std::string& text, CDrelView& view) override;
    void ShowRecordInfo(CLayer& layer, int record, bool closeFirst) override;
    int MarkObjectAt(CLayer& layer, const CMapPoint& point, CDrelView& view, CShape& geometry,
                     std::string* name) override;
    void ShowAreaAt(CLayer& layer, const CMapPoint& point, CDrelView& view) override;
    void ShowLengthAt(CLayer& layer, const CMapPoint& point, CDrelView& view) override;
    void ShowRecord(CLayer& layer, int record, CDrelView& view, bool zoom) override;
    void ShowRecords(CLayer& layer, const std::vector<int32_t>& records, CDrelView& view, bool zoom) override;
    void ShowTable(CLayer& layer, CDrelDoc& document) override;
    bool EditRecord(CLayer& layer, CDrelView& view, int record, CDbfTable* table) override;
};

// Installs the views' queries behind the layers (once is enough).
void InstallLayerQueries();
