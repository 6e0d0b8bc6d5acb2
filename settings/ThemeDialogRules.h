#pragma once

#include "platform/Gdi.h"

#include <string>
#include <vector>

class CGridFile;
class CLayer;
class CThemeClassList;

// ------------------------------------------------------- thematic dialog

// The classification the fill asks for, remembered while the program runs.
struct ClassificationChoice {
    int count = 4;
    int method = 0; // 0 equal numbers of objects, 1 equal intervals
};
ClassificationChoice& RememberedClassification();

constexpr int kMinClassCount = 1;
constexpr int kMaxClassCount = 64;

// Fields whose classes are numbers, by their type letter (the fields a
// classification can use at all are ChoosableFields').
bool IsNumericFieldType(char type);

// A new class at the selected index (0 without one). When it is the only
// class it becomes the class of other values and a second one is put in
// front of it. The index of the class inserted last, whose value is asked.
int AddThemeClass(CThemeClassList& classes, int layerType, int selected);
// Every class but the last (other values) has a value to edit or remove.
bool IsEditableThemeClass(const CThemeClassList& classes, int index);
// The count the classification dialog proposes for a range list.
int ProposedClassCount(const CThemeClassList& classes, int remembered);
// Fills the list from the layer's data through a list of its kind, taken
// only when the classification succeeds: a failure leaves the old classes.
bool FillThemeClasses(const CLayer& layer, const std::string& field, CThemeClassList& classes, int count, int method);

// ------------------------------------------------- elevation legend page

// A legend class's value: the upper bound of its range.
double GetLegendValue(const CThemeClassList& classes, int index);
COLORREF GetLegendColour(const CThemeClassList& classes, int index);
void SetLegendColour(CThemeClassList& classes, int index, COLORREF colour);
// "Redaguoti..." and "Pašalinti" only between the first and last class.
bool IsInnerLegendClass(const CThemeClassList& classes, int index);
// Inserts a class before the first whose value is not below the value (at
// the end without one). With two classes before it and one after, its
// colour is the average of its neighbours'. Its index.
int InsertLegendClass(CThemeClassList& classes, double value);
// The class takes the value and moves to its sorted place, keeping its
// colour. Its new index, or -1 for no class.
int MoveLegendClass(CThemeClassList& classes, int index, double value);
// The first class gets the minimum; with intervals and a maximum above the
// minimum, classes 1..n the rounded steps to the maximum; extra classes
// before the last are removed.
void RecalculateLegend(CThemeClassList& classes, double minimum, double maximum, int intervals);
int ProposedIntervalCount(const CThemeClassList& classes);

// ------------------------------------------------- elevation definition page

// Adds every path that opens as a grid with its extent; the others are
// skipped (the grid shows why). The paths added, in order.
std::vector<std::string> AddGridFiles(CLayer& layer, const std::vector<std::string>& paths);

// The texts of the grid file information dialog.
struct GridFileInfo {
    std::string name;
    std::string lowerLeft;
    std::string upperRight;
    std::string cellSize;
    std::string gridSize;
};
// False when the grid is not open.
bool DescribeGridFile(const std::string& path, const CGridFile& grid, GridFileInfo& info);
