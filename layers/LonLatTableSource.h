#pragma once

#include "layers/FeatureSource.h"

#include <string>

// A plain dBASE table as a point layer: every record is one point whose x
// and y stand in two coordinate fields. It serves ".dbf" layers and GPS
// track files ".trk". Character coordinate fields hold degree texts (read
// with their hemisphere letters, written in the most precise form the
// field's width takes), numeric fields hold numbers.
//
// The read converter applies to every point read, the write converter to
// every point stored. Tables of DOS text have each record converted to the
// system's code page as it is read, once per read from the file, before
// the filter sees it; nothing converted is ever written back.
class CLonLatTableSource : public CFeatureSource {
public:
    CLonLatTableSource() = default;
    ~CLonLatTableSource() override;

    // The live records, and only they, copied to a new table that takes the
    // old one's place (its memo file too); no read restriction plays a part.
    // The source is closed afterwards.
    bool Pack() override;
    bool FindNearestVertex(const CMapPoint& point, CMapPoint& vertex) override;
    bool GetRecordBox(int n, CMapRect& box) override;
    bool IsOpen() const override { return m_table.IsOpen(); }
    // Asks for the coordinate fields when a name is empty; falls back to
    // LONGITUDE and LATITUDE when the names given are not both there.
    bool Open(const std::string& path) override;
    void Close() override;
    bool ReadPoint(int n, CMapPoint& point) override;
    bool ReadNextPoint(CMapPoint& point) override;
    bool GetExtent(CMapRect& extent) override { return false; }
    bool AcceptType(int type) override { return type == kPoint; }
    int GetShapeType() const override { return kPoint; }
    // Without fields the coordinate-format dialog chooses the table's
    // layout: ID C(20) and the two coordinate fields N(13, 8) or C(11),
    // named as this source names them.
    bool Create(const std::string& path, int type, const CDbfFieldInfo* fields) override;
    // The record is written at once either way: only then is its number
    // known, as other programs may append too.
    bool AppendPoint(const CMapPoint& point, bool writeAttributes) override;
    // Only the two coordinate fields of the record are written.
    bool ReplacePoint(const CMapPoint& point, int n) override;
    bool DeleteRecord(int n) override;
    bool CanWrite() const override { return true; }

    // The coordinate fields looked for (default "Lon" and "Lat"); an empty
    // name makes Open and Create ask.
    void SetCoordinateFields(const std::string& xField, const std::string& yField);
    const std::string& GetXFieldName() const { return m_xName; }
    const std::string& GetYFieldName() const { return m_yName; }
    void SetDosText(bool dosText) { m_dosText = dosText; }
    bool IsDosText() const { return m_dosText; }
    int GetXField() const { return m_xField; }
    int GetYField() const { return m_yField; }
    // Something was appended, replaced or deleted since the table opened.
    bool IsChanged() const { return m_changed; }

private:
    bool Fail(int error);
    // Asks for the field names when either is empty; false when cancelled.
    bool AskFieldNames(const std::string& path);
    // Finds both fields, with the LONGITUDE/LATITUDE fallback when asked;
    // else closes, names the missing field (message 1032) and fails.
    bool FindFields(const std::string& path, bool fallback);
    // Reads record n from the file, whatever the buffer holds, and converts
    // DOS text. ahead: records come in ascending order.
    bool LoadRecord(int n, bool ahead);
    bool PassesLoadedFilter() const;
    CMapPoint LoadedPoint() const;
    bool StoreCoordinates(CMapPoint point);

    std::string m_xName = "Lon";
    std::string m_yName = "Lat";
    bool m_dosText = false;
    int m_xField = -1;
    int m_yField = -1;
    bool m_changed = false;
};
