#pragma once

#include "layers/CoordTableDialogs.h"
#include "mapdoc/QueryDialogs.h"
#include "mapdoc/SearchDialogs.h"

// The search part's dialogs that the map's lookups and queries and the
// coordinate tables open (ISearchDialogs, IQueryDialogs,
// ICoordTableDialogs). What it does not open itself goes to the objects
// installed before it: a dialog of this part joins by overriding its
// method here.
class CSearchDialogs : public ISearchDialogs, public IQueryDialogs, public ICoordTableDialogs {
public:
    // Where what this part does not open goes; null, the defaults.
    void SetSearchBefore(ISearchDialogs* before) { m_searchBefore = before; }
    void SetQueryBefore(IQueryDialogs* before) { m_queryBefore = before; }
    void SetCoordTableBefore(ICoordTableDialogs* before) { m_coordTableBefore = before; }

    // ISearchDialogs.
    int ChooseText(const std::vector<std::string>& texts) override;
    bool EditPlacemark(CDbfTable& table, CLayer& layer) override;
    bool AskPointCoordinates(CMapPoint& point, bool geographic) override;
    void ShowObjectsAtPoint(const CMapPoint& point, const std::vector<CObjectHit>& hits, double distance,
                            CDrelView& view, const CPoint& screen) override;

    // IQueryDialogs.
    int ChooseObject(const std::vector<int32_t>& candidates, const std::vector<std::string>& names, CLayer& layer,
                     CDrelView& view) override;
    bool EditRecord(CDbfTable& table, CLayer& layer, CDrelDoc& document) override;
    // The layer settings' dialog (30765), never this part's.
    bool ChooseLayerFile(CLayer& layer) override;

    // ICoordTableDialogs: the format (30800) is this part's; the fields
    // (178) the settings part's.
    bool AskCoordinateFields(const CDbfTable& table, const std::string& path, CFieldChoice& choice) override;
    int AskCoordinateFormat() override;

private:
    ISearchDialogs& SearchBefore();
    IQueryDialogs& QueryBefore();

    ISearchDialogs* m_searchBefore = nullptr;
    IQueryDialogs* m_queryBefore = nullptr;
    ICoordTableDialogs* m_coordTableBefore = nullptr;
};
