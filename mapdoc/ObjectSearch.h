#pragma once

#include "core/MapPoint.h"

class CDrelView;
class CLayer;
class CShape;

// Finding the object of a layer at a map point and marking it on the view,
// for the tools that act on a clicked object. The layer queries install
// theirs; until then nothing is found.
class IObjectSearch {
public:
    virtual ~IObjectSearch() = default;
    // The object under the point (the user choosing among several); its
    // geometry goes to geometry, one point for point and track layers.
    // False when none was found or chosen.
    virtual bool MarkObjectAt(CLayer& layer, const CMapPoint& point, CDrelView& view, CShape& geometry)
    {
        return false;
    }
};

IObjectSearch& ObjectSearch();
// Null restores the default; the caller keeps ownership.
void SetObjectSearch(IObjectSearch* search);
