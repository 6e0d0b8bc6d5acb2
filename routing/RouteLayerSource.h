#pragma once

#include <memory>
#include <string>

class CLayer;
class CMapRect;
class CShape;

// What building the routing graph reads of the routing layer: its objects
// in order, each with its record number, and the routing fields of that
// record. The calls are those of the layer reader and its feature source.
class IRouteLayerSource {
public:
    virtual ~IRouteLayerSource() = default;
    // Opens the layer's data with its field aliases, hidden fields and
    // filter (CLayerReader::OpenLayer); false when it cannot be read.
    virtual bool OpenLayer(CLayer& layer) = 0;
    // From now on only objects whose extent meets the rectangle are read
    // (CFeatureSource::SetQueryRect).
    virtual void SetQueryRect(const CMapRect& rect) = 0;
    // Records of the layer's table.
    virtual int GetRecordCount() const = 0;
    // The field of that name ignoring case, else of that caption; -1 when
    // none (CDbfTable::FindField).
    virtual int FindField(const std::string& name) const = 0;
    // The next object that passes the filter and the query rectangle; its
    // record becomes current (CFeatureSource::ReadNextShape). False at the end.
    virtual bool ReadNextShape(CShape& shape) = 0;
    // The record of the object last read.
    virtual int GetCurrentRecord() const = 0;
    // A field of the current record read as atol and atof read its text; a
    // field below 0 reads 0 (DbfGetLong, DbfGetDouble).
    virtual long GetFieldLong(int field) const = 0;
    virtual double GetFieldDouble(int field) const = 0;
};

// The source over the layer reader, which the network uses when it was
// given none. Null while the layers have no reader of their data files:
// the graph is then not built, as for a layer that cannot be opened.
std::unique_ptr<IRouteLayerSource> CreateRouteLayerSource();
