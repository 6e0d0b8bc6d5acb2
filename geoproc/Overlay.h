#pragma once

#include "core/DbfFieldInfo.h"
#include "core/MapPoint.h"
#include "geoproc/NewResultLayer.h"

#include <cstdint>
#include <string>
#include <vector>

class CCoordConverter;
class CDbfTable;
class CDrelDoc;
class CFeatureSource;
class CLayer;
class CShapeArray;
class CSpatialIndex;
class IProgress;
struct CDocCommandDialogs;

// Overlay of a layer (points, lines, areas; a track counts as points) by
// the areas of another, or, for classification of areas, by its points.
// The source objects cut by the overlaying areas go to a new layer of the
// source's type with the source's attributes and, for some operations,
// those of the overlaying object each piece lies in. Areas are cut as
// polygon sets, lines by SplitLineByPolygon, and a point lies in an area
// when CShape::PointInPolygon is not 0 (the boundary counts as inside).

// The operation codes.
enum EOverlayCode : int {
    kOverlayIntersect = 0, // the pieces inside the areas, both attribute sets
    kOverlayUnion = 1,     // areas: the pieces, the source's rest, the overlaying areas' rest
    kOverlayClip = 2,      // the pieces inside the areas, the source's attributes
    kOverlaySubtract = 3,  // what lies outside the areas
    kOverlayPaste = 4,     // areas: what lies outside, then the overlaying areas
    kOverlayClassify = 6,  // every source object kept, cut into the areas it lies in
};

// The code of each item of the operation combo, in order.
inline constexpr int kOverlayCodes[] = {kOverlayIntersect, kOverlayUnion, kOverlayClip,
                                        kOverlayPaste,     kOverlaySubtract, kOverlayClassify};

// Whether the result gets the overlaying layer's fields (codes 0, 1, 6).
bool OverlayTransfersAttributes(int code);

// Whether the operation serves layers of these types (a track counts as
// points): union and paste want an area source, and a point overlaying
// layer serves only the classification of areas. The dialog answers
// 1066 where it does not.
bool OverlayServes(int sourceType, int overlayingType, int code);

// The result table: every source field, then, when overlaying fields are
// given, every one of them. An overlaying name that is taken (by a source
// field, another overlaying field, or a name given before it; letter case
// aside) is tried again with "_" appended while shorter than 10
// characters, then with its last character that is not "_" made one, up
// to ten tries; after that it ends in the smallest number that frees it.
// Both lists, and the result, are ended by an entry of length 0 (an
// unended list is read whole).
std::vector<CDbfFieldInfo> OverlayResultFields(const std::vector<CDbfFieldInfo>& source,
                                               const std::vector<CDbfFieldInfo>* overlaying);

// Every point of a point or track layer, read under its filter with the
// coordinate converter (null for none) into the array; with the arrays
// given their record numbers, and an index over them (kSourceCellCount
// cells, item i for point i; left empty for a layer without points). 0
// when the layer is of another type or cannot be opened; 0 after 1028
// when its reader met a malformed object or failed to read.
int LoadPointsIndexed(CLayer& layer, std::vector<CMapPoint>& points, CSpatialIndex* index,
                      const CCoordConverter* converter, std::vector<int32_t>* records);

// The overlaying objects as the kernels read them: the shapes of an area
// layer or the points of a point layer, with item i of the index (when
// given) naming object i.
struct COverlaying {
    const CShapeArray* areas = nullptr;
    const std::vector<CMapPoint>* points = nullptr;
    // The objects' record numbers; null when unknown (load order stands
    // for them then).
    const std::vector<int32_t>* records = nullptr;
    CSpatialIndex* index = nullptr;
    // The overlaying attribute table, for a result that takes its fields
    // (after the source's, as OverlayResultFields lays them out); null
    // when the result does not.
    CDbfTable* table = nullptr;
};

// The progress window a kernel drives over the source's records, and
// whether its cancel ended the run.
struct COverlayRun {
    IProgress* progress = nullptr;
    bool cancelled = false;
};

// The area of the overlaying areas that holds the point, inside or on its
// boundary: of several the one of the highest record number; -1 for none.
int FindContainingArea(const COverlaying& overlaying, const CMapPoint& point);

// The kernels, one per source type. Each reads the opened source from its
// readers' current position to the end, writes into the result (created
// with the fields of OverlayResultFields) and answers 1, also when the
// progress was cancelled (run.cancelled then; what was written stays),
// and 0 when an object or record could not be read or written (told).
// Every object written carries the source's record, unless said.
//
// Points: codes 0 and 2 keep the points inside an area, code 3 the
// others, code 6 all; codes 0 and 6 add the attributes of the area a
// point lies in (FindContainingArea).
int OverlayPoints(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying, int code,
                  COverlayRun& run);
// Lines, against the areas whose boxes meet the line's, in index order:
// codes 0 and 2 write the piece inside each area (overlapping areas each
// their own; code 0 with the area's attributes); code 3 the line less
// every area; code 6 the piece inside each area with its attributes,
// the line taking its outside part, and the rest with the source's
// attributes only. A line that meets no area box is written whole by 3
// and 6.
int OverlayLines(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying, int code,
                 COverlayRun& run);
// Areas, against the areas whose boxes meet the source area's (all in
// load order without an index): code 0 writes each non-empty common part
// with the area's attributes; codes 1 and 6 do the same, cutting the part
// off the source area, whose rest follows with the source's attributes
// only; code 1 also cuts the source area (as read) off the overlaying
// area. Code 2 writes the union of the common parts once; codes 3 and 4
// the source area less every area. After the last source area codes 1
// and 4 write every overlaying area that still has points: code 1 with
// its attributes only, code 4 with a blank record.
int OverlayAreas(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying, int code,
                 COverlayRun& run);
// Areas classified by points (code 6): every source area written whole
// with the attributes of the first point the index yields for its box
// that lies inside it or on its boundary; with none, the source's only.
int ClassifyAreasByPoints(CFeatureSource& source, CFeatureSource& result, const COverlaying& overlaying,
                          COverlayRun& run);

// Classification in place: for every point the opened point source
// delivers, field pointField of its record set from field areaField of
// the record (in the overlaying table) of the area it lies in
// (FindContainingArea), converted to the point field's type (a text that
// is no number gives a number field 0), and written; points in no area keep
// theirs. 1 at the end or after a cancel (what was written stays); 0 when
// a record could not be read or written (told).
int ClassifyPointRecords(CFeatureSource& points, int pointField, const COverlaying& areas, int areaField,
                         COverlayRun& run);

// "&Perklojimo operacijos..." after dialog 288: the source layer overlaid
// by the overlaying one with the code. A point source classified by areas
// first asks where the result goes (311): into the source itself through
// dialog 312 and ClassifyPointsInPlace, or on below. Then dialog 102
// proposes the source's file title, its type preset (a track's is point;
// another type is refused with 1060, 1061 or 1062); the overlaying objects
// are loaded (a line layer ends it), the result written by the kernel of
// the source's type under a progress window and added to the document.
// A cancel adds what was written; a failure adds nothing (told). 1 when a
// layer was added or the source classified; 0 otherwise, and without a
// message for a source of another type.
int Overlay(CLayer& source, CDrelDoc& document, CLayer& overlaying, int code, const CDocCommandDialogs& dialogs);

// The source overlaid by the overlaying layer with the code (not the
// classification) into a new file at the path, without a dialog: the
// overlaying objects loaded and the kernel of the source's type run under
// a progress window. kFailed for layers the code does not serve, and
// after a message where they cannot be read.
EOperationEnd OverlayIntoFile(CLayer& source, CDrelDoc& document, CLayer& overlaying, int code,
                              const std::string& path);

// One field of every point of the point layer set from the field of the
// area it lies in (inside or on its boundary; of several, the area of the
// highest record number), converted to the point field's type; points in
// no area keep theirs. The layer's attributes must be editable (0x10,
// else 1035). 1 at the end; 0 when a layer or field is missing or a
// record cannot be read or written (told).
int ClassifyPointsInPlace(CLayer& points, CLayer& areas, const std::string& pointField, const std::string& areaField,
                          CDrelDoc& document);
