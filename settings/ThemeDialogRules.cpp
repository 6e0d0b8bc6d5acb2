#include "settings/ThemeDialogRules.h"

#include "core/LatLonText.h"
#include "layers/GridFile.h"
#include "layers/Layer.h"
#include "layers/ThemeClassList.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

ClassificationChoice& RememberedClassification()
{
    static ClassificationChoice choice;
    return choice;
}

bool IsNumericFieldType(char type)
{
    return type == 'N' || type == 'F';
}

namespace {

// A class of the list's kind with its value unset, or null for a bad index.
CThemeClass* InsertBlankClass(CThemeClassList& classes, int index, int layerType)
{
    switch (classes.GetKind()) {
    case CThemeClassList::kNumbers:
        return classes.InsertNumberClass(index, layerType, CThemeClass::kUnset);
    case CThemeClassList::kNumberRanges:
        return classes.InsertRangeClass(index, layerType, CThemeClass::kUnset, CThemeClass::kUnset);
    case CThemeClassList::kTexts:
        return classes.InsertTextClass(index, layerType, "");
    default:
        return classes.InsertTextRangeClass(index, layerType, "", "");
    }
}

} // namespace

int AddThemeClass(CThemeClassList& classes, int layerType, int selected)
{
    int index = selected >= 0 && selected <= classes.GetCount() ? selected : 0;
    if (!InsertBlankClass(classes, index, layerType))
        return -1;
    if (classes.GetCount() == 1) {
        // The one class is the class of other values; the user's goes before it.
        index = 0;
        InsertBlankClass(classes, index, layerType);
    }
    return index;
}

bool IsEditableThemeClass(const CThemeClassList& classes, int index)
{
    return index >= 0 && index < classes.GetCount() - 1;
}

int ProposedClassCount(const CThemeClassList& classes, int remembered)
{
    return classes.GetCount() > 1 ? classes.GetCount() - 1 : remembered;
}

bool FillThemeClasses(const CLayer& layer, const std::string& field, CThemeClassList& classes, int count, int method)
{
    CThemeClassList built;
    built.SetKind(classes.IsSingleValues(), classes.IsNumeric());
    if (layer.BuildClassification(field, built, count, method == 1) == 0 || built.GetCount() == 0)
        return false;
    built.SetText(classes.GetText());
    classes.CopyFrom(built);
    return true;
}

// ------------------------------------------------- elevation legend page

double GetLegendValue(const CThemeClassList& classes, int index)
{
    const CThemeClass* themeClass = classes.GetClass(index);
    if (const auto* range = dynamic_cast<const CThemeRangeClass*>(themeClass))
        return range->m_high;
    if (const auto* number = dynamic_cast<const CThemeNumberClass*>(themeClass))
        return number->m_value;
    return CThemeClass::kUnset;
}

namespace {

void SetLegendValue(CThemeClass& themeClass, double value)
{
    if (auto* range = dynamic_cast<CThemeRangeClass*>(&themeClass)) {
        range->m_low = -DBL_MAX;
        range->m_high = value;
    } else if (auto* number = dynamic_cast<CThemeNumberClass*>(&themeClass)) {
        number->m_value = value;
    }
}

int SortedPlace(const CThemeClassList& classes, double value)
{
    const int count = classes.GetCount();
    for (int i = 0; i < count; ++i)
        if (GetLegendValue(classes, i) >= value)
            return i;
    return count;
}

} // namespace

COLORREF GetLegendColour(const CThemeClassList& classes, int index)
{
    const CThemeClass* themeClass = classes.GetClass(index);
    return themeClass ? themeClass->m_style.Draw().brushColor : RGB(0, 0, 0);
}

void SetLegendColour(CThemeClassList& classes, int index, COLORREF colour)
{
    CThemeClass* themeClass = classes.GetClass(index);
    if (!themeClass)
        return;
    CDrawStyle style = themeClass->m_style.Draw();
    style.brushColor = colour;
    themeClass->m_style = style;
}

bool IsInnerLegendClass(const CThemeClassList& classes, int index)
{
    return index > 0 && index < classes.GetCount() - 1;
}

int InsertLegendClass(CThemeClassList& classes, double value)
{
    if (!classes.IsNumeric() || classes.IsSingleValues())
        return -1;
    const int index = SortedPlace(classes, value);
    if (!classes.InsertRangeClass(index, CLayer::kElevation, -DBL_MAX, value))
        return -1;
    if (index >= 2 && index + 1 < classes.GetCount()) {
        const COLORREF a = GetLegendColour(classes, index - 1);
        const COLORREF b = GetLegendColour(classes, index + 1);
        SetLegendColour(classes, index,
                        RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
                            (GetBValue(a) + GetBValue(b)) / 2));
    }
    return index;
}

int MoveLegendClass(CThemeClassList& classes, int index, double value)
{
    const CThemeClass* themeClass = classes.GetClass(index);
    if (!themeClass)
        return -1;
    const CStyleRecord style = themeClass->m_style;
    classes.RemoveClass(index);
    const int place = SortedPlace(classes, value);
    CThemeClass* moved = classes.InsertRangeClass(place, CLayer::kElevation, -DBL_MAX, value);
    if (!moved)
        return -1;
    moved->m_style = style;
    return place;
}

void RecalculateLegend(CThemeClassList& classes, double minimum, double maximum, int intervals)
{
    if (classes.GetCount() == 0 || !classes.IsNumeric())
        return;
    if (intervals < 0 || maximum <= minimum)
        intervals = 0;
    // A lone class is the class of all values: the first class goes before it.
    if (classes.GetCount() == 1)
        InsertBlankClass(classes, 0, CLayer::kElevation);
    SetLegendValue(*classes.GetClass(0), minimum);
    for (int i = 1; i <= intervals; ++i) {
        const double value = std::floor((minimum + i * (maximum - minimum) / intervals) * 100 + 0.5) / 100;
        // The last class stays last: a short list grows in front of it.
        if (i >= classes.GetCount() - 1)
            InsertBlankClass(classes, i, CLayer::kElevation);
        SetLegendValue(*classes.GetClass(i), value);
    }
    while (classes.GetCount() > intervals + 2)
        classes.RemoveClass(classes.GetCount() - 2);
}

int ProposedIntervalCount(const CThemeClassList& classes)
{
    return std::max(classes.GetCount() - 2, 0);
}

// ------------------------------------------------- elevation definition page

std::vector<std::string> AddGridFiles(CLayer& layer, const std::vector<std::string>& paths)
{
    std::vector<std::string> added;
    for (const std::string& path : paths) {
        CGridFile grid;
        CMapRect extent;
        if (!grid.Open(path) || !grid.GetExtent(extent))
            continue;
        if (layer.AddFile(path, &extent) >= 0)
            added.push_back(path);
    }
    return added;
}

bool DescribeGridFile(const std::string& path, const CGridFile& grid, GridFileInfo& info)
{
    CMapRect extent;
    if (!grid.GetExtent(extent))
        return false;
    const CMapRect bounds = CGridFile::BoundsOf(extent);
    info.name = path;
    const bool geographic = bounds.left >= -180 && bounds.right <= 180 && bounds.bottom >= -90 && bounds.top <= 90;
    if (geographic) {
        const auto corner = [](double x, double y) {
            std::string longitude, latitude;
            FormatLongitudeText(x, y, 0, longitude);
            FormatLatitudeText(x, y, 0, latitude);
            return "(" + longitude + "; " + latitude + ")";
        };
        info.lowerLeft = corner(bounds.left, bounds.bottom);
        info.upperRight = corner(bounds.right, bounds.top);
        info.cellSize = FormatC("%.3g\" x %.3g\"", grid.GetCellWidth() * 3600, std::fabs(grid.GetCellHeight()) * 3600);
    } else {
        info.lowerLeft = FormatC("(%.12g; %.12g)", bounds.left, bounds.bottom);
        info.upperRight = FormatC("(%.12g; %.12g)", bounds.right, bounds.top);
        info.cellSize = FormatC("%g x %g", grid.GetCellWidth(), std::fabs(grid.GetCellHeight()));
    }
    info.gridSize = FormatC("%d x %d", grid.GetColumnCount(), grid.GetRowCount());
    return true;
}
