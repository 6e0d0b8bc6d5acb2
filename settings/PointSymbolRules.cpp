#include "settings/PointSymbolRules.h"

#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "render/Picture.h"
#include "render/SymbolLibrary.h"
#include "settings/BaseScales.h"
#include "shell/ControlDrawing.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSymbolNumberString = 107;
constexpr char kDefaultFace[] = "Symbol";
constexpr int32_t kDefaultFontSize = 160;
constexpr int32_t kFullSize = 10000;
constexpr int kPercentStep = 10;

int32_t Saturated(double value)
{
    if (!(value >= INT32_MIN))
        return value != value ? 0 : INT32_MIN;
    return value >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

} // namespace

SymbolPage StartPageFor(const CPointStyle& style)
{
    switch (style.kind) {
    case CPointStyle::kFontCharacter:
        return kFontPage;
    case CPointStyle::kPicture:
        return kPicturePage;
    default:
        return kIconPage;
    }
}

std::string SymbolNumberText(int symbol)
{
    const std::string format = LoadString(kSymbolNumberString);
    const std::string::size_type at = format.find("%d");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + std::to_string(symbol) + format.substr(at + 2);
}

CPointStyle DefaultFontStyle()
{
    CPointStyle style;
    style.kind = CPointStyle::kFontCharacter;
    style.symbol = kNoSymbol;
    style.SetName(kDefaultFace);
    style.size = kDefaultFontSize;
    return style;
}

CPointStyle DefaultPictureStyle()
{
    CPointStyle style;
    style.kind = CPointStyle::kPicture;
    style.symbol = kNoSymbol;
    style.size = kFullSize;
    return style;
}

std::vector<int> LibrarySymbols(CSymbolLibrary& library)
{
    std::vector<int> items;
    // The icon files as the folder holds them now.
    library.ScanIconFiles();
    const int count = library.GetSymbolCount();
    items.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        items.push_back(library.GetSymbolId(i));
    return items;
}

int FindSymbolItem(const std::vector<int>& items, int symbol)
{
    const auto it = std::find(items.begin(), items.end(), symbol);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

int SymbolOfItem(const std::vector<int>& items, int item)
{
    return item >= 0 && item < static_cast<int>(items.size()) ? items[static_cast<size_t>(item)] : -1;
}

void DrawSymbolListItem(CDC& dc, const CRect& rect, int symbol, bool selected, bool focused,
                        const ControlColors& colours, CSymbolLibrary& library)
{
    dc.FillSolidRect(rect, colours.window);
    const CPoint centre = rect.CenterPoint();
    library.DrawSymbol(dc, centre.x, centre.y, symbol);
    if (selected) {
        FrameRect(dc, rect, colours.selection);
        CRect inner = rect;
        inner.InflateRect(-1, -1);
        FrameRect(dc, inner, colours.selection);
    }
    if (focused) {
        CRect inner = rect;
        inner.InflateRect(-2, -2);
        DrawFocusFrame(dc, inner, colours.windowText);
    }
}

std::vector<std::string> SymbolFaces(const std::vector<std::pair<std::string, bool>>& faces)
{
    std::vector<std::string> offered;
    for (const auto& [face, scalable] : faces)
        if (scalable && !face.empty() && FindFace(offered, face) < 0)
            offered.push_back(face);
    return offered;
}

int FindFace(const std::vector<std::string>& faces, std::string_view face)
{
    for (size_t i = 0; i < faces.size(); ++i)
        if (EqualsNoCase1257(faces[i], face))
            return static_cast<int>(i);
    return -1;
}

std::string FontSizeText(int32_t size)
{
    return std::to_string(size / 10);
}

int FindFontSize(int32_t size)
{
    for (size_t i = 0; i < kFontSizes.size(); ++i)
        if (kFontSizes[i] * 10 == size)
            return static_cast<int>(i);
    return -1;
}

bool ReadTenths(std::string_view text, int32_t& value)
{
    size_t consumed = 0;
    const double number = ParseDoubleC(text, &consumed);
    if (consumed == 0)
        return false;
    // Whole numbers, as the edits take them.
    value = Saturated(std::trunc(number) * 10);
    return true;
}

OutlineRadio OutlineRadioFor(const CPointStyle& style)
{
    if (style.options & CPointStyle::kWhiteHalo)
        return kOutlineWhite;
    if (style.options & CPointStyle::kBlackHalo)
        return kOutlineBlack;
    return kOutlineNone;
}

void SetOutline(CPointStyle& style, OutlineRadio radio)
{
    style.options &= ~static_cast<uint32_t>(CPointStyle::kWhiteHalo | CPointStyle::kBlackHalo);
    if (radio == kOutlineWhite)
        style.options |= CPointStyle::kWhiteHalo;
    else if (radio == kOutlineBlack)
        style.options |= CPointStyle::kBlackHalo;
}

void SetScalesWithMap(CPointStyle& style, bool on)
{
    style.options = on ? style.options | CPointStyle::kScalesWithMap : style.options & ~uint32_t(CPointStyle::kScalesWithMap);
}

int ShownBaseScale(const CPointStyle& style)
{
    if ((style.options & CPointStyle::kScalesWithMap) && style.referenceScale != 0)
        return style.referenceScale;
    return GetSymbolBaseScale();
}

bool TakesTransparentColour(int pictureKind)
{
    return pictureKind == CPicture::kRaster;
}

bool TakesSize(int pictureType)
{
    return pictureType == PICTURE_METAFILE;
}

void CentreAnchor(CPointStyle& style, CSize picture)
{
    style.anchorX = HeldAnchor(picture.cx / 2, picture.cx);
    style.anchorY = HeldAnchor(picture.cy / 2, picture.cy);
}

void SetPictureFile(CPointStyle& style, std::string_view path, CSize picture)
{
    style.SetName(path);
    style.symbol = 0;
    CentreAnchor(style, picture);
}

int16_t HeldAnchor(int value, int side)
{
    const int high = std::clamp(side, 0, static_cast<int>(INT16_MAX));
    return static_cast<int16_t>(std::clamp(value, 0, high));
}

CPicturePageState RefreshPicturePage(CPointStyle& style, bool loaded, int pictureKind, int pictureType,
                                     CSize picture)
{
    CPicturePageState state;
    state.anchor = loaded;
    if (loaded) {
        state.anchorWidth = std::clamp(picture.cx, 0, static_cast<int>(INT16_MAX));
        state.anchorHeight = std::clamp(picture.cy, 0, static_cast<int>(INT16_MAX));
    }
    state.transparency = loaded && TakesTransparentColour(pictureKind);
    if (!state.transparency)
        style.options &= ~static_cast<uint32_t>(CPointStyle::kTransparentColour);
    state.transparentColourShown = (style.options & CPointStyle::kTransparentColour) != 0;
    state.transparentPick = state.transparency && state.transparentColourShown;
    state.size = loaded && TakesSize(pictureType);
    state.baseScale = state.size && (style.options & CPointStyle::kScalesWithMap) != 0;
    return state;
}

std::string PercentText(int32_t size)
{
    return FormatC("%.2f", size / 100.0);
}

bool ReadPercent(std::string_view text, int32_t& size)
{
    size_t consumed = 0;
    const double percent = ParseDoubleC(text, &consumed);
    if (consumed == 0 || percent < 0)
        return false;
    size = Saturated(percent * 100);
    return true;
}

bool StepPercent(std::string_view shown, int steps, int32_t& size)
{
    const double percent = ParseDoubleC(shown) + double(steps) * kPercentStep;
    if (percent < 0)
        return false;
    size = Saturated(percent * 100);
    return true;
}

int PickModeAfter(int mode, PickButton button, bool pressed)
{
    if (pressed)
        return button;
    return mode == button ? kNoPickButton : mode;
}

void SetTransparentColour(CPointStyle& style, bool on, int& pickMode)
{
    if (on) {
        style.options |= CPointStyle::kTransparentColour;
        return;
    }
    style.options &= ~static_cast<uint32_t>(CPointStyle::kTransparentColour);
    pickMode = PickModeAfter(pickMode, kTransparentPickButton, false);
}
