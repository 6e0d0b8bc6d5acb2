#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <string>

class CDC;
class CLayer;
class CThemeClassList;

// The rows of the legend's list box, measured, drawn and dropped without a
// window: one row per layer or group with its check box, a sample of its
// style and its name, and under a layer that lists its classes one line
// per class.

constexpr int kLayerRowHeight = 18;
constexpr int kClassLineHeight = 16;
constexpr int kMaxLayerRowHeight = 255;
// The check box takes the strip left of the style sample on the row's first line.
constexpr int kCheckBoxStripWidth = 18;
// From this class on a row lists "..." and no more.
constexpr int kMaxClassLines = 14;

// The classes a layer lists under its row at a scale denominator: those of
// the sublayer in force when the layer has kClassesInLegend and that
// sublayer is classified; null otherwise.
const CThemeClassList* GetLegendClasses(const CLayer& layer, double scale);
// 18 pixels, and 16 more per listed class, at most 255.
int GetLayerRowHeight(const CLayer& layer, double scale);
// "[name]" for a group, "[..] - name" on the open group's own row (the
// first row while the legend shows a group's contents), else the name.
std::string GetLayerRowText(const CLayer& layer, bool openGroupRow);
// A class's line: the class list's text, but for an elevation layer the
// height ranges between the classes' upper bounds ("<= 20 m", "20 - 40 m",
// "> 4000 m"; field strengths in dB(uV/m)), or the visibility zones.
std::string GetLegendClassText(const CLayer& layer, const CThemeClassList& classes, int index);

struct LayerRowLook {
    int check = 0; // 0 off, 1 on, 2 neither
    bool openGroupRow = false;
    bool selected = false;
    bool focused = false;
    bool dropTarget = false; // the row a dragged row would go into
    int insertMark = 0;      // where a dragged row would go: -1 above, 1 below, 0 nowhere here
    double scale = 0;
    COLORREF face = RGB(240, 240, 240);
    COLORREF text = RGB(0, 0, 0);
    COLORREF highlight = RGB(0, 120, 215);
    COLORREF highlightText = RGB(255, 255, 255);
};

// Draws the row of the layer into rect (its top left at the row's origin).
void DrawLayerRow(CDC& dc, const CRect& rect, const CLayer& layer, const LayerRowLook& look);

// Whether a row may be dragged: never while a name is edited, nor the
// open group's own row.
bool CanDragLayerRow(int row, bool editing, bool groupContents);
// The kind (ILegendListOwner::DropKind) of dropping row `from` on row
// `target`, y pixels below the target's top in a row height pixels high;
// -1 when the drop does nothing (on itself, outside the rows, the open
// group's own row dragged).
int GetLayerDropKind(int from, int target, bool targetIsGroup, int y, int height, bool groupContents);
