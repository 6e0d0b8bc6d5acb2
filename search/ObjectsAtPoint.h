#pragma once

#include "mapdoc/SearchDialogs.h"
#include "platform/Rect.h"

#include <string>
#include <vector>

class CDbfTable;
class CDrelDoc;

// The rules of the list of objects at a point (dialog 30813): its rows,
// the point's text, what a selected row shows on the map and where the
// window stands. Each hit of a layer made of many files is read, marked
// and described in its own file, whatever file the layer names meanwhile.

struct CObjectAtPointRow {
    CObjectHit hit;
    std::string layer;   // the layer's name
    std::string object;  // the object's name; of a raster tile its file name
    std::string measure; // a line's length, an area's area; else empty
};

// One row per hit not farther than maxDistance, in the hits' order. A
// hit's record is read through a reader on its layer and file, opened
// again only when they change from the row before; opens, when given,
// counts the openings.
std::vector<CObjectAtPointRow> ListObjectsAtPoint(const std::vector<CObjectHit>& hits, double maxDistance,
                                                  const CDrelDoc& document, int* opens = nullptr);

// The field that names the layer's objects: its name field when the table
// has it, else the first shown character field, else field 0.
int ObjectNameField(const CLayer& layer, const CDbfTable& table);

// The point as edit 1109 shows it: "X: ...; Y: ..." on a metric map,
// string 3064 with the longitude and latitude on a map in degrees.
std::string ObjectsAtPointText(const CMapPoint& point, bool degrees);

// Whether "Informacija..." serves the hit: only objects of vector layers
// have information.
bool HasObjectInformation(const CObjectHit& hit);

// The view's overlays cleared, then the hit's object marked: a point or
// track record as the layer marks it, a line or area by its shape, a
// raster by its extent (of the hit's file). Without a hit the point's
// marker alone.
void ShowObjectAtPoint(CDrelView& view, const CMapPoint& point, const CObjectHit* hit);

// The hit's attributes in the object information window.
void ShowObjectAtPointInfo(const CObjectHit& hit);

// Where the window goes: centred (the rectangle given) unless it would
// cover the clicked screen point; then moved up or down only, 32 pixels
// below the point in the desktop's upper half, else with its bottom 10
// pixels above it.
CRect PlaceObjectsAtPointWindow(const CRect& centred, const CPoint& click, const CRect& desktop);
