#pragma once

#include "layers/DrawStyle.h"
#include "settings/LayerSheetRules.h"

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

class CDC;
class CFont;
class CLayer;
class CRect;
class CSublayer;
class CThemeClassList;
struct ControlColors;
struct CPointStyle;
struct CTrackStyle;

// ------------------------------------------------------------ bands

// One line per band of the layer, "1:%s - 1:%s" from its lower limit
// ("MIN" for the first) to the next band's ("MAX" for the last).
std::vector<std::string> BandTexts(const CLayer& layer);

// ------------------------------------------------------------ thresholds

// The rows of the thresholds dialog, checked or not.
using CThresholdChecks = std::array<bool, std::tuple_size_v<decltype(kScaleThresholds)>>;

// The rows that the layer has a band at.
CThresholdChecks CheckedThresholds(const CLayer& layer);
// What OK of the thresholds dialog does. With a band more than rows
// checked the bands above the first only take the checked limits in
// order, their styles staying where they are; else a band is added at
// each checked limit (copying the band below) and the band of each
// unchecked one removed. The bands then start again at the first.
void ApplyThresholds(CLayer& layer, const CThresholdChecks& checked);

// ------------------------------------------------------------ symbol page

// What "Ženklas..." opens for a band of the kind on a layer of the type.
enum class SymbolDialog { kNone, kPointSymbols, kLineStyle, kAreaStyle, kSignList, kThematic };
SymbolDialog SymbolDialogFor(int layerType, int kind);

// The fields a point layer may turn its symbols by: those of type F and N.
std::vector<CFieldChoice> RotationFields(const CLayer& layer);
// The entry of the band's rotation field: the field of that name, or of
// that alias (as a band may hold it); -1 for none or one not there.
int FindRotationField(const std::vector<CFieldChoice>& fields, const CSublayer& band);
// The field's name into the band, flag 0x80 with it; empty clears both.
void SetRotationField(CSublayer& band, const std::string& field);
// Only symbol-font characters turn.
bool TurnsBySymbol(const CPointStyle& style);

// A class's text in a class list: an elevation layer's (type 4, given
// the layer) height ranges or zones, else the class list's own text.
std::string ThemeClassItemText(const CThemeClassList& classes, int layerType, const CLayer* layer, int index);
// One item of a class list: the window colour (the selection colour when
// selected), the class text 36 pixels in, the class's sample for the layer
// type within the square at the left, the focus frame when focused.
constexpr int kClassItemHeight = 32;
void DrawThemeClassItem(CDC& dc, const CRect& rect, const CThemeClassList& classes, int layerType,
                        const CLayer* layer, int index, bool selected, bool focused, const ControlColors& colours,
                        const CFont& font);

// A track's symbol from the sign list: its 16 bits. No symbol chosen
// (a negative number) keeps the old one.
void SetTrackSymbol(CTrackStyle& style, int symbol);
// A track's line as a line style, and back.
CDrawStyle TrackLine(const CTrackStyle& style);
void SetTrackLine(CTrackStyle& style, const CDrawStyle& line);

// ------------------------------------------------------------ labels page

// The placement radios: a 3 x 3 grid by columns (text left of, on and right
// of the point), each column from above to below.
struct CPlacementRadio {
    int id;
    int16_t code;
};
constexpr std::array<CPlacementRadio, 9> kPlacementRadios = {
    {{1024, 10}, {1025, 26}, {1026, 2}, {1027, 14}, {1028, 30}, {1029, 6}, {1030, 8}, {1031, 24}, {1032, 0}}};
// "Parenkama automatiškai".
constexpr int kAutoPlacementRadio = 1033;

// What "Parenkama automatiškai" stores: 512 for areas, 30 (centred on the
// line) for lines, 256 for the others.
int16_t AutoPlacementCode(int layerType);
// Whether the layer type shows the radio: a line only the centre column,
// the others all, "Parenkama automatiškai" too.
bool ShowsPlacementRadio(int radio, int layerType);
// The radio checked for a stored code: 256 and 512 check "Parenkama
// automatiškai" (on a line: centred on it); a line's code counts only its
// vertical part. 0 when no radio has the code.
int PlacementRadioFor(int16_t code, int layerType);
// The code the radio stores on a layer of the type.
int16_t PlacementCodeFor(int radio, int layerType);

// What the labels page edits of a band besides the field and the font.
struct CLabelValues {
    int placementRadio = 0; // 0 keeps the band's code
    bool frame = false;     // 0x02
    bool halo = false;      // 0x20
    bool showAll = false;   // 0x08
    bool scaled = false;    // 0x40
    int32_t referenceScale = 0;
    std::string offset; // millimetres
};
// The band's values; a band without a reference scale proposes the label
// base scale.
CLabelValues ReadLabelValues(const CSublayer& band, int layerType);
// Into the band: the reference scale only while the size follows the scale.
void WriteLabelValues(const CLabelValues& values, int layerType, CSublayer& band);
// The halo's colour is the frame style's brush colour.
COLORREF HaloColor(const CSublayer& band);
