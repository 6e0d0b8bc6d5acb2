#include "layers/LayerReader.h"

#include "core/Expr.h"
#include "core/SpatialFilter.h"
#include "layers/DxfSource.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LonLatTableSource.h"
#include "layers/ShapefileSource.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <new>

namespace {

constexpr int kBrokenFilter = 1190;
constexpr int kSyntaxError = 2;

std::unique_ptr<CFeatureSource> MakeSource(const std::string& path)
{
    if (EndsWithNoCase1257(path, "gdb"))
        return std::make_unique<CGdbSource>();
    if (EndsWithNoCase1257(path, "shp"))
        return std::make_unique<CShapefileSource>();
    if (EndsWithNoCase1257(path, "dxf"))
        return std::make_unique<CDxfSource>();
    if (EndsWithNoCase1257(path, "dbf") || EndsWithNoCase1257(path, "trk"))
        return std::make_unique<CLonLatTableSource>();
    return nullptr;
}

// The message of the filter's first compile error over the source's table.
std::string FilterErrorText(const CDbfTable& table, const std::string& filter)
{
    CExpr expr(&table, filter);
    expr.RequireLogical();
    const int id = ExprErrorMessageId(expr.GetErrorCode());
    std::string text = id > 0 ? LoadString(id) : std::string();
    return text.empty() ? LoadString(kSyntaxError) : text;
}

int SpatialFilterMode(int layerType)
{
    switch (layerType) {
    case CLayer::kLine:
        return 1;
    case CLayer::kArea:
        return 2;
    default:
        return 0;
    }
}

} // namespace

CLayerReader::CLayerReader() = default;

CLayerReader::CLayerReader(std::unique_ptr<CFeatureSource> source) : m_source(std::move(source)) {}

CLayerReader::~CLayerReader() = default;

bool CLayerReader::IsOpen() const
{
    return m_source && m_source->IsOpen();
}

void CLayerReader::AttachSource(std::unique_ptr<CFeatureSource> source)
{
    m_source = std::move(source);
}

bool CLayerReader::CreateSource(const std::string& path)
{
    Close();
    try {
        m_source = MakeSource(path);
    } catch (const std::bad_alloc&) {
        m_source.reset();
    }
    return m_source != nullptr;
}

bool CLayerReader::Open(const std::string& path)
{
    if (!CreateSource(path))
        return false;
    if (m_source->Open(path))
        return true;
    m_source.reset();
    return false;
}

bool CLayerReader::OpenLayer(const CLayer* layer)
{
    if (!layer) {
        Close();
        return false;
    }
    return Open(layer->GetPath()) && ApplyLayer(layer);
}

bool CLayerReader::ApplyLayer(const CLayer* layer)
{
    if (!m_source || !layer) {
        Close();
        return false;
    }
    CFeatureSource& source = *m_source;
    if (layer->HasFlag(CLayer::kHasAliases))
        source.SetFieldAliases(&layer->FieldAliases());
    if (layer->HasFlag(CLayer::kHasHiddenFields))
        source.GetTable().SetHiddenFields(layer->HiddenFields().empty() ? nullptr : &layer->HiddenFields());
    if (layer->HasFlag(CLayer::kNewestRecordOnly) && source.SetLastRecordMode())
        return true;
    if (!layer->GetFilter().empty()) {
        const bool compiled = source.SetFilter(layer->GetFilter());
        if (layer->ShouldReportBrokenFilter(compiled))
            AppMessageBox(LoadStringArgs(kBrokenFilter, layer->GetName(),
                                         FilterErrorText(source.GetTable(), layer->GetFilter())),
                          MB_OK | MB_ICONWARNING, kBrokenFilter);
        if (!compiled) {
            Close();
            return false;
        }
    }
    if (layer->GetRecordCount() > 0)
        source.SetRecordList(layer->GetRecordList(), layer->GetRecordCount());
    if (CSpatialFilter* filter = layer->GetSpatialFilter()) {
        filter->SetMode(SpatialFilterMode(layer->GetType()));
        source.SetSpatialFilter(filter);
    }
    return true;
}

bool CLayerReader::Close()
{
    const bool wasOpen = m_source != nullptr;
    m_source.reset();
    return wasOpen;
}

bool CLayerReader::Create(const std::string& path, int type)
{
    if (!CreateSource(path))
        return false;
    if (m_source->Create(path, type, nullptr))
        return true;
    m_source.reset();
    return false;
}
