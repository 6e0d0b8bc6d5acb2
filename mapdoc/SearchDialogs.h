#pragma once

#include "core/MapPoint.h"
#include "platform/Point.h"

#include <cstdint>
#include <string>
#include <vector>

class CDbfTable;
class CDrelView;
class CLayer;

// One object found under a point: its layer and record, how far it lies
// from the point in map units and, of a layer made of many files, the
// file that holds the record (empty otherwise).
struct CObjectHit {
    CLayer* layer = nullptr;
    int32_t record = -1;
    double distance = 0;
    std::string file;
};

// The dialogs of the search and places part that the map's lookups and
// placemark tools open. The shell installs its implementation; without one
// every dialog is cancelled.
class ISearchDialogs {
public:
    virtual ~ISearchDialogs() = default;
    // The object choice: the texts for the user to pick one; its index,
    // -1 when cancelled.
    virtual int ChooseText(const std::vector<std::string>& texts) { return -1; }
    // Dialog 402 "Taško informacija" on the placemark record the table
    // stands on (NAME, DESCR, SYMBOL, position); after OK the fields are
    // written and the result is true.
    virtual bool EditPlacemark(CDbfTable& table, CLayer& layer) { return false; }
    // The coordinate entry, in degrees when geographic; false when cancelled.
    virtual bool AskPointCoordinates(CMapPoint& point, bool geographic) { return false; }
    // Dialog 30813 "Objektai nurodytame taške": the objects found at the
    // point, the distance they were looked for within, the view and the
    // point in screen pixels.
    virtual void ShowObjectsAtPoint(const CMapPoint& point, const std::vector<CObjectHit>& hits, double distance,
                                    CDrelView& view, const CPoint& screen)
    {
    }
};

ISearchDialogs& SearchDialogs();
// Installs dialogs; null restores the default. The caller keeps ownership.
void SetSearchDialogs(ISearchDialogs* dialogs);
