#include "shell/LayerListRows.h"

#include "layers/Layer.h"
#include "layers/StyleRecord.h"
#include "layers/Sublayer.h"
#include "layers/ThemeClassList.h"
#include "mapdoc/LegendListOwner.h"
#include "platform/DC.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "render/StyleSamples.h"
#include "shell/ControlDrawing.h"
#include "shell/DialogFont.h"

#include <algorithm>
#include <map>

namespace {

enum Picture : int {
    kUnchecked = 104,
    kChecked = 105,
    kFilterMark = 216,
    kRasterMap = 223,
    kElevation = 244,
    kFieldStrength = 245,
    kVisibilityZones = 267,
    kFolder = 323,
    kFolderUp = 324,
    kPartlyChecked = 325,
};

// Fonts and pictures shared by every row, made on first use.
struct RowResources {
    CFont normal = MakeDialogFont(FW_NORMAL);
    CFont emphasised = MakeDialogFont(FW_SEMIBOLD);
    std::map<int, CIcon> pictures;

    const CIcon& Picture(int id)
    {
        auto it = pictures.find(id);
        if (it == pictures.end()) {
            it = pictures.emplace(id, CIcon()).first;
            it->second.LoadResource(id);
        }
        return it->second;
    }
};

RowResources& Resources()
{
    static RowResources resources;
    return resources;
}

void DrawPicture(CDC& dc, int x, int y, int id)
{
    const CIcon& picture = Resources().Picture(id);
    if (picture.GetSafeHandle())
        dc.DrawIconEx(x, y, picture, 0, 0);
}

// The upper bound of a height class.
double ClassBound(const CThemeClassList& classes, int index)
{
    const CThemeClass* c = classes.GetClass(index);
    if (const auto* range = dynamic_cast<const CThemeRangeClass*>(c))
        return range->m_high;
    if (const auto* number = dynamic_cast<const CThemeNumberClass*>(c))
        return number->m_value;
    return 0;
}

void DrawTypeSample(CDC& dc, const CRect& box, const CLayer& layer, const LayerRowLook& look)
{
    if (layer.HasFlag(CLayer::kGroup)) {
        DrawPicture(dc, box.left, box.top, look.openGroupRow ? kFolderUp : kFolder);
        return;
    }
    switch (layer.GetType()) {
    case CLayer::kRaster:
        DrawPicture(dc, box.left, box.top, kRasterMap);
        return;
    case CLayer::kElevation:
        DrawPicture(dc, box.left, box.top,
                    layer.HasFlag(CLayer::kFieldStrength)  ? kFieldStrength
                    : layer.HasFlag(CLayer::kPlainValues) ? kVisibilityZones
                                                           : kElevation);
        return;
    default:
        break;
    }
    CStyleRecord style;
    if (!layer.GetStyleForScale(look.scale, style))
        return;
    switch (layer.GetType()) {
    case CLayer::kPoint:
        DrawSample(style.Point(), dc, box);
        break;
    case CLayer::kLine:
        DrawLineSample(style.Draw(), dc, box);
        break;
    case CLayer::kArea:
        DrawFillSample(style.Draw(), dc, box);
        break;
    case CLayer::kTrack:
        DrawSample(style.Track(), dc, box);
        break;
    default:
        break;
    }
}

void DrawInsertMark(CDC& dc, const CRect& rect, int where, COLORREF colour)
{
    const int y = where < 0 ? rect.top : rect.bottom - 2;
    dc.FillSolidRect(rect.left + 2, y, rect.Width() - 4, 2, colour);
    // Short posts at both ends, pointing into the gap.
    const int postTop = where < 0 ? rect.top : rect.bottom - 5;
    dc.FillSolidRect(rect.left + 2, postTop, 2, 5, colour);
    dc.FillSolidRect(rect.right - 4, postTop, 2, 5, colour);
}

} // namespace

const CThemeClassList* GetLegendClasses(const CLayer& layer, double scale)
{
    if (!layer.HasFlag(CLayer::kClassesInLegend) || layer.HasFlag(CLayer::kGroup))
        return nullptr;
    const CSublayer* sublayer = layer.GetSublayerForScale(scale);
    if (!sublayer || sublayer->m_kind != CSublayer::kClassified)
        return nullptr;
    return &sublayer->m_classes;
}

int GetLayerRowHeight(const CLayer& layer, double scale)
{
    const CThemeClassList* classes = GetLegendClasses(layer, scale);
    if (!classes)
        return kLayerRowHeight;
    const int64_t height = kLayerRowHeight + int64_t(kClassLineHeight) * classes->GetCount();
    return static_cast<int>(std::min<int64_t>(height, kMaxLayerRowHeight));
}

std::string GetLayerRowText(const CLayer& layer, bool openGroupRow)
{
    if (openGroupRow)
        return "[..] - " + layer.GetName();
    if (layer.HasFlag(CLayer::kGroup))
        return "[" + layer.GetName() + "]";
    return layer.GetName();
}

std::string GetLegendClassText(const CLayer& layer, const CThemeClassList& classes, int index)
{
    const int count = classes.GetCount();
    if (index < 0 || index >= count)
        return {};
    if (layer.GetType() != CLayer::kElevation)
        return classes.GetClassText(index);
    if (layer.HasFlag(CLayer::kPlainValues))
        return LoadString(index == 0 ? 3038 : 3039);
    if (count == 1)
        return LoadString(3040);
    const bool fieldStrength = layer.HasFlag(CLayer::kFieldStrength);
    if (index == 0)
        return FormatC(fieldStrength ? "<= %g dB(uV/m)" : "<= %g m", ClassBound(classes, 0));
    if (index == count - 1)
        return FormatC(fieldStrength ? "> %g" : "> %g m", ClassBound(classes, count - 2));
    return FormatC(fieldStrength ? "%g - %g" : "%g - %g m", ClassBound(classes, index - 1),
                   ClassBound(classes, index));
}

void DrawLayerRow(CDC& dc, const CRect& rect, const CLayer& layer, const LayerRowLook& look)
{
    RowResources& resources = Resources();
    const int level = dc.SaveDC();
    dc.FillSolidRect(rect, look.face);
    dc.SetBkMode(TRANSPARENT);
    const int x = rect.left, y = rect.top;

    const int state = layer.HasFlag(CLayer::kPartlyVisibleGroup) || look.check == 2 ? kPartlyChecked
                      : look.check                                                  ? kChecked
                                                                                    : kUnchecked;
    DrawPicture(dc, x + 3, y + (kLayerRowHeight - 13) / 2, state);
    DrawTypeSample(dc, CRect(x + 18, y + 1, x + 50, y + 17), layer, look);

    int textX = x + 52;
    if (!layer.GetFilter().empty()) {
        DrawPicture(dc, textX, y + (kLayerRowHeight - 12) / 2, kFilterMark);
        textX += 13;
    }
    // The member count is the emphasis: a group that holds layers stands out.
    dc.SelectObject(layer.GetMemberCount() != 0 ? resources.emphasised : resources.normal);
    const std::string text = GetLayerRowText(layer, look.openGroupRow);
    const CRect name(textX - 2, y + 1, std::min(textX + dc.GetTextExtent(text).cx + 2, rect.right), y + 17);
    const bool marked = look.selected || look.dropTarget;
    if (marked)
        dc.FillSolidRect(name, look.highlight);
    dc.SetTextColor(marked ? look.highlightText : look.text);
    CRect line(textX, y, rect.right, y + kLayerRowHeight);
    dc.DrawText(text, &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (look.focused)
        DrawFocusFrame(dc, name, marked ? look.highlightText : look.text);

    if (const CThemeClassList* classes = GetLegendClasses(layer, look.scale)) {
        dc.SelectObject(resources.normal);
        dc.SetTextColor(look.text);
        for (int i = 0; i < classes->GetCount(); ++i) {
            const int top = y + kLayerRowHeight + i * kClassLineHeight;
            CRect classLine(x + 34, top, rect.right, top + kClassLineHeight);
            if (i == kMaxClassLines) {
                dc.DrawText("...", &classLine, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                break;
            }
            DrawClassSample(*classes, layer.GetType(), i, dc, CRect(x + 18, top + 1, x + 32, top + 15));
            dc.DrawText(GetLegendClassText(layer, *classes, i), &classLine, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    if (look.insertMark)
        DrawInsertMark(dc, rect, look.insertMark, look.text);
    dc.RestoreDC(level);
}

bool CanDragLayerRow(int row, bool editing, bool groupContents)
{
    return row >= 0 && !editing && !(groupContents && row == 0);
}

int GetLayerDropKind(int from, int target, bool targetIsGroup, int y, int height, bool groupContents)
{
    if (from < 0 || target < 0 || from == target || (groupContents && from == 0))
        return -1;
    if (groupContents && target == 0)
        return ILegendListOwner::kDropToParent;
    if (targetIsGroup && y >= height / 3 && y < height - height / 3)
        return ILegendListOwner::kDropIntoGroup;
    return target < from ? ILegendListOwner::kDropBefore : ILegendListOwner::kDropAfter;
}
