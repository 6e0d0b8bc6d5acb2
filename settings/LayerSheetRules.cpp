#include "settings/LayerSheetRules.h"

#include "core/DbfFieldInfo.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"
#include "settings/FilterCondition.h"

#include <algorithm>
#include <cstring>

namespace {

using Page = LayerSheetPage;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks, then digits as an unsigned number; false when there are none.
bool ReadUnsigned(std::string_view text, size_t& pos, uint64_t& value)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    const size_t first = pos;
    value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(text[pos] - '0'), UINT32_MAX);
    return pos > first;
}

std::string FieldName(const CDbfFieldInfo& info)
{
    return std::string(info.name, strnlen(info.name, sizeof info.name));
}

} // namespace

// ------------------------------------------------------------ the sheet

std::vector<LayerSheetPage> LayerSheetPages(int layerType, int pageGroup)
{
    std::vector<Page> pages;
    if (layerType == CLayer::kRaster)
        pages = {Page::kGeneral, Page::kScale, Page::kNotes};
    else if (layerType == CLayer::kTrack)
        pages = {Page::kGeneral, Page::kTable, Page::kSymbol, Page::kLabels, Page::kTrackFilter, Page::kNotes};
    else
        pages = {Page::kGeneral, Page::kTable, Page::kSymbol, Page::kLabels, Page::kFilter, Page::kNotes};
    if (pageGroup < 0 || pageGroup > 3)
        return pages;
    const auto kept = [pageGroup](Page page) {
        switch (pageGroup) {
        case 0:
            return page == Page::kSymbol;
        case 1:
            return page == Page::kLabels || page == Page::kScale;
        case 2:
            return page == Page::kFilter || page == Page::kTrackFilter;
        default:
            return page == Page::kNotes;
        }
    };
    std::erase_if(pages, [&](Page page) { return !kept(page); });
    return pages;
}

int LayerSheetPageNumber(LayerSheetPage page)
{
    switch (page) {
    case Page::kGeneral:
        return 0;
    case Page::kTable:
        return 1;
    case Page::kSymbol:
        return 2;
    case Page::kLabels:
        return 3;
    case Page::kFilter:
    case Page::kTrackFilter:
        return 4;
    case Page::kNotes:
        return 5;
    case Page::kScale:
        break;
    }
    return -1;
}

int LayerSheetStartPage(const std::vector<LayerSheetPage>& pages, int layerType, int lastPage)
{
    if (layerType == CLayer::kRaster || lastPage < 0)
        return 0;
    const auto found = std::find_if(pages.begin(), pages.end(),
                                    [lastPage](Page page) { return LayerSheetPageNumber(page) == lastPage; });
    return found == pages.end() ? 0 : static_cast<int>(found - pages.begin());
}

void FollowPlacemarksLayerRename(CDrelDoc& document, const CLayer& layer, const std::string& oldName)
{
    std::string& placemarks = document.Settings().placemarksLayer;
    if (layer.GetType() == CLayer::kPoint && !placemarks.empty() && placemarks == oldName)
        placemarks = layer.GetName();
}

// ------------------------------------------------------------ general page

CLayerDefValues ReadLayerDefValues(const CLayer& layer)
{
    CLayerDefValues values;
    values.name = layer.GetName();
    values.path = layer.GetPath();
    values.idField = layer.GetIdField();
    values.type = layer.GetType();
    values.shown = layer.HasFlag(CLayer::kShown);
    values.working = layer.HasFlag(CLayer::kWorking);
    values.objectsProtected = !layer.HasFlag(CLayer::kObjectsEditable);
    values.infoProtected = !layer.HasFlag(CLayer::kInfoEditable);
    values.inOverview = layer.HasFlag(CLayer::kInOverview);
    values.dynamic = layer.HasFlag(CLayer::kDynamic);
    values.translucent = layer.HasFlag(CLayer::kTransparent);
    values.interval = FormatRedrawInterval(layer.GetRedrawInterval());
    return values;
}

int CheckLayerDefValues(const CLayerDefValues& values, const CLayer& edited, const CDrelDoc* document)
{
    if (values.name.empty())
        return kNoLayerName;
    if (document && IsLayerNameTaken(values.name, edited, *document))
        return kLayerNameTaken;
    if (values.path.empty())
        return kNoFileName;
    return 0;
}

void WriteLayerDefValues(const CLayerDefValues& values, CLayer& layer)
{
    layer.SetName(values.name);
    layer.SetPath(values.path);
    layer.SetIdField(values.idField);
    layer.SetType(values.type);
    layer.SetFlag(CLayer::kWorking, values.working);
    if (layer.GetType() == CLayer::kRaster) {
        layer.SetFlag(CLayer::kTransparent, values.translucent);
    } else {
        layer.SetFlag(CLayer::kObjectsEditable, !values.objectsProtected);
        layer.SetFlag(CLayer::kInfoEditable, !values.infoProtected);
    }
    layer.SetFlag(CLayer::kShown, values.shown);
    layer.SetFlag(CLayer::kInOverview, values.inOverview);
    layer.SetRedrawInterval(ParseRedrawInterval(values.interval));
    layer.SetFlag(CLayer::kDynamic, values.dynamic);
}

bool IsLayerNameTaken(std::string_view name, const CLayer& edited, const CDrelDoc& document)
{
    // A name kept is never refused, also one that another layer shares.
    if (name == edited.GetName())
        return false;
    for (int i = 0; i < document.GetLayerCount(); ++i) {
        const CLayer* other = document.GetLayer(i);
        if (other && other != &edited && other->GetName() == name)
            return true;
    }
    return false;
}

std::vector<int> LayerTypeChoices(int type)
{
    switch (type) {
    case CLayer::kPoint:
        return {CLayer::kPoint};
    case CLayer::kLine:
    case CLayer::kArea:
        return {CLayer::kLine, CLayer::kArea};
    case CLayer::kTrack:
        return {CLayer::kTrack};
    default:
        return {};
    }
}

std::string FormatRedrawInterval(int32_t seconds)
{
    const auto total = static_cast<uint32_t>(seconds);
    return FormatC("%02u:%02u", total / 60, total % 60);
}

int32_t ParseRedrawInterval(std::string_view text)
{
    size_t pos = 0;
    uint64_t minutes = 0, seconds = 0;
    if (ReadUnsigned(text, pos, minutes) && pos < text.size() && text[pos] == ':') {
        ++pos;
        ReadUnsigned(text, pos, seconds);
    }
    // The stored word is unsigned 32 bits, as the reading wraps.
    return static_cast<int32_t>(static_cast<uint32_t>(minutes * 60 + seconds));
}

std::vector<CFieldChoice> ChoosableFields(const CLayer& layer)
{
    std::vector<CDbfFieldInfo> fields;
    std::vector<CFieldChoice> choices;
    // A chooser left empty says enough; the table page tells why.
    CHeldMessages quiet;
    if (!layer.ReadFieldList(fields))
        return choices;
    for (const CDbfFieldInfo& info : fields) {
        if (info.name[0] == '\0')
            break; // the end of the list
        if (!IsFilterFieldType(info.type))
            continue;
        std::string name = FieldName(info);
        choices.push_back({layer.GetFieldAlias(name), std::move(name), info.type});
    }
    return choices;
}

// ------------------------------------------------------------ table page

std::vector<CFieldRow> ReadFieldRows(const CLayer& layer, const std::vector<CDbfFieldInfo>& fields)
{
    std::vector<CFieldRow> rows;
    rows.reserve(fields.size());
    for (const CDbfFieldInfo& info : fields) {
        if (info.name[0] == '\0')
            break; // the end of the list
        CFieldRow row;
        row.field = FieldName(info);
        const std::string* alias = layer.FieldAliases().Find(row.field);
        row.fullName = alias ? *alias : row.field;
        row.shown = std::none_of(layer.HiddenFields().begin(), layer.HiddenFields().end(),
                                 [&](const std::string& hidden) { return EqualsNoCase1257(hidden, row.field); });
        rows.push_back(std::move(row));
    }
    return rows;
}

void WriteFieldRows(const std::vector<CFieldRow>& rows, CLayer& layer)
{
    std::vector<std::string>& hidden = layer.HiddenFields();
    hidden.clear();
    for (const CFieldRow& row : rows) {
        if (!row.fullName.empty() && row.fullName != row.field)
            layer.FieldAliases().SetAt(row.field, row.fullName);
        else
            layer.FieldAliases().RemoveKey(row.field);
        if (!row.shown)
            hidden.push_back(row.field);
    }
    layer.SetFlag(CLayer::kHasAliases, !layer.FieldAliases().IsEmpty());
    layer.SetFlag(CLayer::kHasHiddenFields, !hidden.empty());
}

// ------------------------------------------------------------ scale page

const std::array<CScaleThreshold, 14> kScaleThresholds = {{
    {500, "1:500"},
    {1000, "1:1 000"},
    {2000, "1:2 000"},
    {5000, "1:5 000"},
    {10000, "1:10 000"},
    {20000, "1:20 000"},
    {50000, "1:50 000"},
    {100000, "1:100 000"},
    {200000, "1:200 000"},
    {500000, "1:500 000"},
    {1000000, "1:1 000 000"},
    {2000000, "1:2 000 000"},
    {5000000, "1:5 000 000"},
    {10000000, "1:10 000 000"},
}};

CScaleRange GetRasterScaleRange(const CLayer& layer)
{
    CScaleRange range;
    const int count = layer.GetSublayerCount();
    if (count < 2)
        return range;
    if (layer.GetSublayer(0)->m_kind == CSublayer::kHidden)
        range.minimum = layer.GetSublayer(1)->m_lowerLimit;
    if (const CSublayer* last = layer.GetSublayer(count - 1); last->m_kind == CSublayer::kHidden)
        range.maximum = last->m_lowerLimit;
    return range;
}

void SetRasterScaleRange(CLayer& layer, CScaleRange range)
{
    if (range.minimum > 0 && range.maximum > 0 && range.maximum < range.minimum)
        std::swap(range.minimum, range.maximum);
    // Each removal hands a hidden first sublayer the look of the one above;
    // that look is drawn, also when equal ends had hidden it too.
    while (layer.GetSublayerCount() > 1)
        layer.RemoveSublayer(layer.GetSublayer(layer.GetSublayerCount() - 1)->m_lowerLimit);
    if (CSublayer* first = layer.GetSublayer(0); first && first->m_kind == CSublayer::kHidden)
        first->m_kind = CSublayer::kOneStyle;
    if (range.minimum > 0) {
        layer.AddSublayer(range.minimum);
        layer.GetSublayer(0)->m_kind = CSublayer::kHidden;
    }
    if (range.maximum > 0) {
        layer.AddSublayer(range.maximum);
        // With equal limits the band of the minimum is the maximum's too.
        if (CSublayer* top = layer.GetSublayer(layer.FindSublayer(range.maximum)))
            top->m_kind = CSublayer::kHidden;
    }
}
