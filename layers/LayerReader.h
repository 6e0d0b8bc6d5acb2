#pragma once

#include <memory>
#include <string>

class CFeatureSource;
class CLayer;

// Opens a layer's data file through the feature source its extension calls
// for and hands the source the layer's view of the data: aliases, hidden
// fields, filter, record list and spatial filter. Lives for one operation:
// the source borrows from the layer, so a reader must not outlive it.
class CLayerReader {
public:
    CLayerReader();
    // Takes over a source that is open already.
    explicit CLayerReader(std::unique_ptr<CFeatureSource> source);
    virtual ~CLayerReader();
    CLayerReader(const CLayerReader&) = delete;
    CLayerReader& operator=(const CLayerReader&) = delete;

    virtual bool IsOpen() const;
    void AttachSource(std::unique_ptr<CFeatureSource> source);
    // Null while nothing is open.
    CFeatureSource* GetSource() const { return m_source.get(); }

    // Closes what is open, then makes the source of the path's last three
    // characters (any letter case): "gdb", "shp", "dxf", "dbf", "trk".
    // False for any other ending.
    bool CreateSource(const std::string& path);
    // False, and no source, when the file cannot be opened.
    bool Open(const std::string& path);
    // Opens the layer's file with its aliases and hidden fields, then
    // either only the newest record (kNewestRecordOnly on a table that has
    // one) or its filter, record list and spatial filter. A filter that
    // does not compile is reported once per text and nothing is opened, so
    // the layer shows no objects rather than all of them.
    bool OpenLayer(const CLayer* layer);
    // The second half of OpenLayer, on the file Open opened, for callers
    // that open the file their own way; false, and closed, when the
    // filter does not compile or nothing is open.
    bool ApplyLayer(const CLayer* layer);
    // False when nothing was open.
    bool Close();
    // New empty files of the geometry type with the source's default fields.
    bool Create(const std::string& path, int type);

private:
    std::unique_ptr<CFeatureSource> m_source;
};
