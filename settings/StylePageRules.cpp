#include "settings/StylePageRules.h"

#include "layers/Layer.h"
#include "layers/PointStyle.h"
#include "layers/Sublayer.h"
#include "layers/TrackStyle.h"
#include "platform/DC.h"
#include "render/SavedDC.h"
#include "render/StyleSamples.h"
#include "shell/ControlDrawing.h"
#include "shell/LayerListRows.h"
#include "settings/BaseScales.h"
#include "settings/StyleDialogRules.h"

#include <algorithm>

// ------------------------------------------------------------ bands

std::vector<std::string> BandTexts(const CLayer& layer)
{
    std::vector<std::string> texts;
    const int count = layer.GetSublayerCount();
    for (int i = 0; i < count; ++i) {
        const std::string from = i == 0 ? "MIN" : std::to_string(layer.GetSublayer(i)->m_lowerLimit);
        const std::string to = i + 1 == count ? "MAX" : std::to_string(layer.GetSublayer(i + 1)->m_lowerLimit);
        texts.push_back("1:" + from + " - 1:" + to);
    }
    return texts;
}

// ------------------------------------------------------------ thresholds

CThresholdChecks CheckedThresholds(const CLayer& layer)
{
    CThresholdChecks checked{};
    for (size_t i = 0; i < kScaleThresholds.size(); ++i)
        checked[i] = layer.FindSublayer(kScaleThresholds[i].denominator) >= 0;
    return checked;
}

void ApplyThresholds(CLayer& layer, const CThresholdChecks& checked)
{
    const int count = static_cast<int>(std::count(checked.begin(), checked.end(), true));
    if (layer.GetSublayerCount() == count + 1) {
        int band = 1;
        for (size_t i = 0; i < kScaleThresholds.size(); ++i)
            if (checked[i])
                layer.GetSublayer(band++)->m_lowerLimit = kScaleThresholds[i].denominator;
        return;
    }
    for (size_t i = 0; i < kScaleThresholds.size(); ++i)
        if (checked[i])
            layer.AddSublayer(kScaleThresholds[i].denominator);
    for (size_t i = 0; i < kScaleThresholds.size(); ++i)
        if (!checked[i])
            layer.RemoveSublayer(kScaleThresholds[i].denominator);
}

// ------------------------------------------------------------ symbol page

SymbolDialog SymbolDialogFor(int layerType, int kind)
{
    if (kind == CSublayer::kHidden)
        return SymbolDialog::kNone;
    if (kind == CSublayer::kClassified)
        return SymbolDialog::kThematic;
    switch (layerType) {
    case CLayer::kPoint:
        return SymbolDialog::kPointSymbols;
    case CLayer::kLine:
        return SymbolDialog::kLineStyle;
    case CLayer::kArea:
        return SymbolDialog::kAreaStyle;
    case CLayer::kTrack:
        return SymbolDialog::kSignList;
    default:
        return SymbolDialog::kNone;
    }
}

std::vector<CFieldChoice> RotationFields(const CLayer& layer)
{
    std::vector<CFieldChoice> fields = ChoosableFields(layer);
    std::erase_if(fields, [](const CFieldChoice& field) { return field.type != 'F' && field.type != 'N'; });
    return fields;
}

int FindRotationField(const std::vector<CFieldChoice>& fields, const CSublayer& band)
{
    if (!(band.m_labelFlags & CSublayer::kRotatedSymbols) || band.m_rotationField.empty())
        return -1;
    for (const bool byAlias : {false, true})
        for (size_t i = 0; i < fields.size(); ++i)
            if ((byAlias ? fields[i].alias : fields[i].name) == band.m_rotationField)
                return static_cast<int>(i);
    return -1;
}

void SetRotationField(CSublayer& band, const std::string& field)
{
    band.m_rotationField = field;
    if (field.empty())
        band.m_labelFlags &= ~static_cast<uint32_t>(CSublayer::kRotatedSymbols);
    else
        band.m_labelFlags |= CSublayer::kRotatedSymbols;
}

bool TurnsBySymbol(const CPointStyle& style)
{
    return style.kind == CPointStyle::kFontCharacter;
}

std::string ThemeClassItemText(const CThemeClassList& classes, int layerType, const CLayer* layer, int index)
{
    if (layerType == CLayer::kElevation && layer)
        return GetLegendClassText(*layer, classes, index);
    return classes.GetClassText(index);
}

void DrawThemeClassItem(CDC& dc, const CRect& rect, const CThemeClassList& classes, int layerType,
                        const CLayer* layer, int index, bool selected, bool focused, const ControlColors& colours,
                        const CFont& font)
{
    constexpr int kTextLeft = 36;
    CSavedDC kept(dc);
    dc.FillSolidRect(rect, selected ? colours.selection : colours.window);
    dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(selected ? colours.window : colours.windowText);
    CRect text(rect.left + kTextLeft, rect.top, rect.right, rect.bottom);
    dc.DrawText(ThemeClassItemText(classes, layerType, layer, index), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    const CRect square(rect.left, rect.top, rect.left + kClassItemHeight, rect.top + kClassItemHeight);
    {
        CSavedDC clipped(dc);
        dc.IntersectClipRect(square);
        DrawClassSample(classes, layerType, index, dc, square);
    }
    if (focused)
        DrawFocusFrame(dc, rect, selected ? colours.window : colours.windowText);
}

void SetTrackSymbol(CTrackStyle& style, int symbol)
{
    if (symbol >= 0)
        style.symbol = static_cast<uint16_t>(symbol);
}

CDrawStyle TrackLine(const CTrackStyle& style)
{
    CDrawStyle line;
    line.penStyle = static_cast<uint32_t>(style.penStyle);
    line.penWidth = static_cast<uint32_t>(style.penWidth);
    line.penColor = style.penColor;
    line.backColor = style.backColor;
    return line;
}

void SetTrackLine(CTrackStyle& style, const CDrawStyle& line)
{
    style.penStyle = static_cast<int32_t>(line.penStyle);
    style.penWidth = static_cast<int32_t>(line.penWidth);
    style.penColor = line.penColor;
    style.backColor = line.backColor;
}

// ------------------------------------------------------------ labels page

namespace {

constexpr int16_t kVertical = 0x18;
constexpr int16_t kCentred = 6;

bool IsAutoPlacement(int16_t code)
{
    return code == 256 || code == 512;
}

int16_t OnLine(int16_t code)
{
    return static_cast<int16_t>((code & kVertical) | kCentred);
}

} // namespace

int16_t AutoPlacementCode(int layerType)
{
    switch (layerType) {
    case CLayer::kArea:
        return 512;
    case CLayer::kLine:
        return 30;
    default:
        return 256;
    }
}

bool ShowsPlacementRadio(int radio, int layerType)
{
    if (layerType != CLayer::kLine)
        return true;
    return std::any_of(kPlacementRadios.begin(), kPlacementRadios.end(),
                       [radio](const CPlacementRadio& r) { return r.id == radio && OnLine(r.code) == r.code; });
}

int PlacementRadioFor(int16_t code, int layerType)
{
    if (IsAutoPlacement(code)) {
        if (layerType != CLayer::kLine)
            return kAutoPlacementRadio;
        code = AutoPlacementCode(layerType);
    }
    if (layerType == CLayer::kLine)
        code = OnLine(code);
    for (const CPlacementRadio& radio : kPlacementRadios)
        if (radio.code == code)
            return radio.id;
    return 0;
}

int16_t PlacementCodeFor(int radio, int layerType)
{
    if (radio == kAutoPlacementRadio)
        return AutoPlacementCode(layerType);
    for (const CPlacementRadio& r : kPlacementRadios)
        if (r.id == radio)
            return layerType == CLayer::kLine ? OnLine(r.code) : r.code;
    return AutoPlacementCode(layerType);
}

CLabelValues ReadLabelValues(const CSublayer& band, int layerType)
{
    CLabelValues values;
    values.placementRadio = PlacementRadioFor(band.m_labelPlacement, layerType);
    values.halo = (band.m_labelFlags & CSublayer::kLetterOutlines) != 0;
    values.frame = !values.halo && (band.m_labelFlags & CSublayer::kLabelFrame) != 0;
    values.showAll = (band.m_labelFlags & CSublayer::kShowAllLabels) != 0;
    values.scaled = (band.m_labelFlags & CSublayer::kScaledLabels) != 0;
    values.referenceScale = band.m_referenceScale ? band.m_referenceScale : GetLabelBaseScale();
    values.offset = FormatMillimetres(band.m_labelDistance);
    return values;
}

void WriteLabelValues(const CLabelValues& values, int layerType, CSublayer& band)
{
    if (values.placementRadio)
        band.m_labelPlacement = PlacementCodeFor(values.placementRadio, layerType);
    // The text shown rounds the stored offset: only a changed one is read.
    if (values.offset != FormatMillimetres(band.m_labelDistance))
        band.m_labelDistance = static_cast<int16_t>(ReadThousandths(values.offset));
    const auto flag = [&band](uint32_t bit, bool on) {
        band.m_labelFlags = on ? band.m_labelFlags | bit : band.m_labelFlags & ~bit;
    };
    flag(CSublayer::kLabelFrame, values.frame);
    flag(CSublayer::kLetterOutlines, values.halo);
    flag(CSublayer::kShowAllLabels, values.showAll);
    flag(CSublayer::kScaledLabels, values.scaled);
    band.m_referenceScale = values.scaled ? values.referenceScale : 0;
}

COLORREF HaloColor(const CSublayer& band)
{
    return band.m_labelFrameStyle.brushColor;
}
