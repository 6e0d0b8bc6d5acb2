#include "routing/RouteLayerSource.h"

#include "core/DbfEngine.h"
#include "core/MapRect.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/LayerReader.h"

namespace {

// The routing layer read through its layer reader.
class CLayerReaderRouteSource : public IRouteLayerSource {
public:
    bool OpenLayer(CLayer& layer) override { return m_reader.OpenLayer(&layer); }
    void SetQueryRect(const CMapRect& rect) override
    {
        if (CFeatureSource* source = m_reader.GetSource())
            source->SetQueryRect(&rect);
    }
    int GetRecordCount() const override
    {
        const CFeatureSource* source = m_reader.GetSource();
        return source ? source->GetTable().GetRecordCount() : 0;
    }
    int FindField(const std::string& name) const override
    {
        const CFeatureSource* source = m_reader.GetSource();
        return source ? source->GetTable().FindField(name) : -1;
    }
    bool ReadNextShape(CShape& shape) override
    {
        CFeatureSource* source = m_reader.GetSource();
        // The readers leave the attributes unread unless a filter wanted them;
        // records come in ascending order, so through the table's read-ahead.
        return source && source->ReadNextShape(shape) &&
               source->GetTable().ReadRecordAhead(source->GetCurrentRecord());
    }
    int GetCurrentRecord() const override
    {
        const CFeatureSource* source = m_reader.GetSource();
        return source ? source->GetCurrentRecord() : -1;
    }
    long GetFieldLong(int field) const override
    {
        const DbfHandle* table = Table(field);
        return table ? DbfGetLong(*table, field) : 0;
    }
    double GetFieldDouble(int field) const override
    {
        const DbfHandle* table = Table(field);
        return table ? DbfGetDouble(*table, field) : 0;
    }

private:
    // The attribute table standing on the current record; null for a field below 0.
    const DbfHandle* Table(int field) const
    {
        const CFeatureSource* source = m_reader.GetSource();
        return source && field >= 0 ? source->GetTable().GetHandle() : nullptr;
    }

    CLayerReader m_reader;
};

} // namespace

std::unique_ptr<IRouteLayerSource> CreateRouteLayerSource()
{
    return std::make_unique<CLayerReaderRouteSource>();
}
