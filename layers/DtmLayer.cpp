#include "layers/DtmLayer.h"

#include "layers/DrawingView.h"
#include "layers/DtmLayerPropertySheet.h"
#include "layers/Sublayer.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"

#include <cfloat>
#include <iterator>

namespace {

struct HeightClass {
    double upperBound; // metres
    COLORREF fill;
};

constexpr HeightClass kHeightClasses[] = {
    {-1, 0xFFFFFF},    {0, 0xFFE680},    {20, 0x006E01},   {40, 0x008201},   {60, 0x348C64},
    {80, 0x00A440},    {100, 0x00CD00},  {120, 0x32CD9A},  {140, 0x76DBAB},  {160, 0x00FFB5},
    {180, 0x68EEBC},   {200, 0x8FF6FF},  {220, 0x47DFF6},  {260, 0x00C9EE},  {300, 0x26B1EE},
    {500, 0x499AEE},   {1000, 0x3E66DD}, {2000, 0x3333CD}, {3000, 0x2F44A7}, {4000, 0x2B5682},
};
constexpr COLORREF kOtherHeights = 0xC0C0C0;

void SetFill(CThemeClass& themeClass, COLORREF fill)
{
    CDrawStyle style = themeClass.m_style.Draw();
    style.brushColor = fill;
    themeClass.m_style = style;
}

} // namespace

const CRuntimeClass CDtmLayer::kClass = {"CDtmLayer", 1, true, &CDtmLayer::CreateObject};

CDtmLayer::CDtmLayer(const std::string& name, const std::string& path) : CLayer(name, path, kElevation)
{
    if (CSublayer* first = GetSublayer(0))
        first->m_kind = CSublayer::kClassified;
}

CThemeClassList* CDtmLayer::GetHeightClasses() const
{
    CSublayer* first = GetSublayer(0);
    return first ? &first->m_classes : nullptr;
}

void CDtmLayer::SetDefaultClasses()
{
    CThemeClassList* classes = GetHeightClasses();
    if (!classes)
        return;
    classes->SetKind(false, true);
    for (size_t i = 0; i < std::size(kHeightClasses); ++i) {
        CThemeClass* themeClass =
            classes->InsertRangeClass(static_cast<int>(i), GetType(), -DBL_MAX, kHeightClasses[i].upperBound);
        SetFill(*themeClass, kHeightClasses[i].fill);
    }
    SetFill(*classes->AddClass(GetType()), kOtherHeights);
}

CGridFile::ColourClasses CDtmLayer::GetColourClasses() const
{
    CGridFile::ColourClasses result;
    const CThemeClassList* list = GetHeightClasses();
    if (!list || !list->IsNumeric())
        return result;
    const int count = list->GetCount();
    for (int i = 0; i < count; ++i) {
        const CThemeClass* themeClass = list->GetClass(i);
        double low = -DBL_MAX, high = DBL_MAX;
        if (i + 1 < count) {
            if (const auto* range = dynamic_cast<const CThemeRangeClass*>(themeClass)) {
                low = range->m_low;
                high = range->m_high;
            } else if (const auto* number = dynamic_cast<const CThemeNumberClass*>(themeClass)) {
                low = high = number->m_value;
            }
        }
        result.classes.push_back({low, high, themeClass->m_style.Draw().brushColor});
    }
    return result;
}

void CDtmLayer::Draw(CDC& dc, IDrawingView& view)
{
    CGridFile::ColourClasses classes = GetColourClasses();
    const CSublayer* first = GetSublayer(0);
    const bool interpolate = first && (first->m_labelFlags & CSublayer::kInterpolateGrid) != 0;
    const CMapRect viewExtent = view.GetMapExtent();
    for (size_t i = 0; i < Files().size(); ++i) {
        // A tile whose rows start in the south stores its extent upside down.
        if (!MeetsView(CGridFile::BoundsOf(Files()[i].extent), view))
            continue;
        const std::string path = Files()[i].path;
        // Every pass opens the tiles anew: a missing or broken one would
        // otherwise complain at every redraw.
        CHeldMessages held;
        CGridFile grid;
        if (grid.Open(path)) {
            CMapRect extent, bounds, part;
            grid.GetExtent(extent);
            Files()[i].extent = extent;
            grid.GetBounds(bounds);
            if (part.IntersectRect(bounds, viewExtent) && part.Width() > 0 && part.Height() > 0) {
                CMapRect cells;
                grid.MapToCells(part, cells);
                grid.DrawGrid(dc, view.RectToDevice(part), cells, view.GetMemoryDC(), classes, interpolate);
            }
        }
        held.Release();
        if (ShouldReportOpenProblem(path, !held.Messages().empty()))
            held.Show();
    }
}

bool CDtmLayer::EditProperties(CDrelDoc* document, int pageGroup)
{
    return DtmLayerPropertySheet().Run(*this, document, pageGroup == 0 || pageGroup == 3 ? pageGroup : -1);
}

std::string CDtmLayer::FormatValue(double value) const
{
    if (HasFlag(kPlainValues))
        return FormatC("%1.0lf", value);
    if (HasFlag(kFieldStrength))
        return FormatC("%2.2lf dB(uV/m)", value * 0.01);
    return FormatC("%g m", value);
}
