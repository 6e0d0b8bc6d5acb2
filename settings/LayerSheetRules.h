#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDrelDoc;
class CLayer;
struct CDbfFieldInfo;

// ------------------------------------------------------------ the sheet

// The pages of the layer property sheet, in the order the sheet adds them.
enum class LayerSheetPage : int { kGeneral, kTable, kSymbol, kLabels, kFilter, kScale, kTrackFilter, kNotes };

// The pages of a layer of the type in a page group, in order. A raster map
// has the general, scale and notes pages, a track the track filter page in
// place of the filter page, the other types the rest but the scale page.
// Group -1 keeps them all (so does a group outside 0..3); the groups leave
// out the general and table pages, and keep 0 the symbol page, 1 the labels
// and scale pages, 2 the filter pages, 3 the notes page.
std::vector<LayerSheetPage> LayerSheetPages(int layerType, int pageGroup);
// The number a page leaves as the last page (GetLastLayerSheetPage): its
// place in a point layer's full sheet. The track filter page stands in the
// filter page's place but writes nothing; the scale page has none (-1).
int LayerSheetPageNumber(LayerSheetPage page);
// The index of the page a sheet starts on: the page with the number left
// last, else the first; a raster map's sheet always on its first.
int LayerSheetStartPage(const std::vector<LayerSheetPage>& pages, int layerType, int lastPage);

// After OK: when the layer is the document's placemarks point layer under
// its old name, the document's setting follows the new name.
void FollowPlacemarksLayerRename(CDrelDoc& document, const CLayer& layer, const std::string& oldName);

// ------------------------------------------------------------ general page

constexpr int kLayerNameLength = 80;
constexpr int kLayerPathLength = 260;
constexpr int kIntervalLength = 6;
// Messages of a refused general page.
constexpr int kNoLayerName = 1000;
constexpr int kLayerNameTaken = 1001;
constexpr int kNoFileName = 1003;

// What the general page edits, as a layer holds it.
struct CLayerDefValues {
    std::string name;
    std::string path;
    std::string idField; // the field name, not its alias
    int type = 0;
    bool shown = false;            // 0x01
    bool working = false;          // 0x02
    bool objectsProtected = false; // 0x08 clear
    bool infoProtected = false;    // 0x10 clear
    bool inOverview = false;       // 0x20
    bool dynamic = false;          // 0x400
    bool translucent = false;      // 0x4000000
    std::string interval;          // "mm:ss"
};

CLayerDefValues ReadLayerDefValues(const CLayer& layer);
// The message for the first value the page refuses: no name, a name
// another layer of the document has, no file; 0 when all are good.
int CheckLayerDefValues(const CLayerDefValues& values, const CLayer& edited, const CDrelDoc* document);
// Into the working copy: a raster map takes its translucence, the other
// types their protections; every type the rest.
void WriteLayerDefValues(const CLayerDefValues& values, CLayer& layer);
// Another layer of the document has the name, which is not the edited
// layer's own (letter case counts: the layer may take its own name in
// other letters, not another layer's).
bool IsLayerNameTaken(std::string_view name, const CLayer& edited, const CDrelDoc& document);
// The types a layer of the type may become: a point stays a point, a
// track a track, a line or an area may become either; none for others.
std::vector<int> LayerTypeChoices(int type);
// The redraw interval as "%02u:%02u" minutes and seconds, and back from
// "%u:%u" (a number missing or not read counts 0).
std::string FormatRedrawInterval(int32_t seconds);
int32_t ParseRedrawInterval(std::string_view text);

// The fields that field choosers offer (types C, D, F, L and N, by alias)
// in table order; none, and nothing said, when the table cannot be read.
struct CFieldChoice {
    std::string alias;
    std::string name;
    char type = 0;
};
std::vector<CFieldChoice> ChoosableFields(const CLayer& layer);

// ------------------------------------------------------------ table page

// One row of the table page: a field's full name (its alias, else its
// name), its name, and whether it is shown.
struct CFieldRow {
    std::string fullName;
    std::string field;
    bool shown = true;
};

std::vector<CFieldRow> ReadFieldRows(const CLayer& layer, const std::vector<CDbfFieldInfo>& fields);
// The hidden fields become the unchecked rows; a full name other than the
// field name becomes its alias, an empty or equal one removes it. The
// flags 0x40 and 0x80 tell whether aliases and hidden fields remain.
void WriteFieldRows(const std::vector<CFieldRow>& rows, CLayer& layer);

// ------------------------------------------------------------ scale page

struct CScaleThreshold {
    int32_t denominator;
    const char* text;
};
// "1:500" to "1:10 000 000", also the symbol page's thresholds.
extern const std::array<CScaleThreshold, 14> kScaleThresholds;

// A raster map's visible range in its sublayers: hidden ones below the
// minimum and from the maximum up; 0 for an open end.
struct CScaleRange {
    int32_t minimum = 0;
    int32_t maximum = 0;
};
CScaleRange GetRasterScaleRange(const CLayer& layer);
// Rebuilds the sublayers for the range (the ends swapped when the maximum
// is below the minimum): the first sublayer takes the look, hidden ones
// are added at the limits set.
void SetRasterScaleRange(CLayer& layer, CScaleRange range);
