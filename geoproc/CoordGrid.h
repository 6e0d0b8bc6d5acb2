#pragma once

#include "core/MapRect.h"

#include <string>
#include <vector>

class CDrelDoc;
class CShape;
struct CDocCommandDialogs;

// What dialog 358 "Koordinačių tinklelio kūrimas" asks. Texts are code
// page 1257.
struct CCoordGridParams {
    enum ObjectType : int { kRectangles = 0, kLines = 1 };
    int objectType = kRectangles;
    // A number and a unit ("1 km", "5'", "10\"", "1°").
    std::string step;
    double north = 0, south = 0, west = 0, east = 0;
    int wholeSteps = 1;
    int extraPoints = 2;
};

// The dialog's lists and the values it starts from: the step for each
// kind of map is kept by the dialog's OK, the object type, the whole-step
// flag and the extra points by the operation after it; all for the run.
class CCoordGridRules {
public:
    static constexpr int kMaxExtraPoints = 1000;

    // "100 m" ... "10 km" on projected maps, "5'" ... "10°" on geographic ones.
    static std::vector<std::string> StepTexts(bool geographic);
    // The remembered values with the map's limits as bounds (all 0 when
    // they are empty or inverted).
    static CCoordGridParams Initial(bool geographic, const CMapRect& limits);
    static void RememberStep(bool geographic, const std::string& step);
    static void Remember(const CCoordGridParams& params);
};

// The step in map units from its text: a positive number, then a unit.
// Geographic: "'" minutes, "\"" seconds, anything else degrees; projected:
// "km" in any case kilometres, anything else metres. False for no number,
// one of 0 or less, or one that is not finite.
bool ParseGridStep(const std::string& text, bool geographic, double& step);

// The grid as the bounds and the step lay it out: nodes x_i = west + i ·
// step (i < columns) and y_k = south + k · step (k < rows).
struct CCoordGridPlan {
    bool geographic = false;
    bool lines = false;
    double west = 0, south = 0, east = 0, north = 0;
    double step = 0;
    int extraPoints = 0;
    double columns = 0, rows = 0; // grid lines each way, as counted

    // The lines, or the closed rectangles, the grid is made of.
    double ObjectCount() const;
    // Object n (below ObjectCount()): columns before rows for lines;
    // rectangles column by column, each from the top row down.
    void MakeObject(long long n, CShape& shape, std::string& label) const;
};

// The plan of the parameters: bounds swapped into order, extended to whole
// steps when asked, cut at ±180 and ±90 on geographic maps. False when the
// step gives nothing (ParseGridStep).
bool PlanCoordGrid(const CCoordGridParams& params, bool geographic, CCoordGridPlan& plan);

// Column letters as spreadsheets count them: 0 "A", 25 "Z", 26 "AA".
std::string GridColumnLetters(long long column);

// A grid above this many objects is made only after the user agrees; one
// above the most is refused.
constexpr double kGridObjectsWithoutQuestion = 100000;
constexpr double kMaxGridObjects = 100000000;

// Command 30358 on the document: the dialog, the new layer's names (dialog
// 102: "Grid", the type fixed, GDB and Shapefile files), the objects with
// their labels, the layer added. 1 when it was.
int CreateCoordinateGrid(CDrelDoc& document, const CDocCommandDialogs& dialogs);
