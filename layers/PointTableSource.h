#pragma once

#include "layers/FeatureSource.h"

#include <memory>
#include <string>

class CStream;

// A layer of the system's older DOS generation, read so that it can be
// imported into a current layer (CreateFrom or CopyFeaturesFrom of the
// target). Files of one base name: the object table (the path opened, a
// dBASE table with NAME and either COORD, a packed point, or RECT and PTR,
// a byte offset into the geometry file), the geometry file ".vec" (at each
// offset a 16-byte block header whose 16-bit word at 2 counts the packed
// points that follow; one part each) and an optional record-parallel
// attribute table ".dbf". The coordinate origin and units come from the
// map description file the user names (an ini file, section MAP: Orig and
// Unit as "x,y", or Unit_M in metres per step).
//
// A packed point holds a signed x step count in its low 16 bits and a
// signed y step count, counting downward, in its high 16 bits.
//
// The attribute table lives in memory and holds the object read last: ID
// (_ID when the attribute table has an ID of its own) with the trimmed
// NAME, then the attribute table's fields; records past the attribute
// table's end are blank. Text is turned from the DOS letters to code page
// 1257 as it is read, memo texts when they are copied out.
//
// Read-only, in file order: no restriction of the readers applies. A
// block that does not lie whole in the geometry file is passed over with
// error state 4; a block of no points is passed over.
class CPointTableSource : public CFeatureSource {
public:
    // The DOS letters of those files to code page 1257, byte by byte.
    static void ConvertDosLetters(char* text, size_t length);
    // Whether the table at the path is one of that generation: NAME, and
    // COORD or both RECT and PTR. Nothing is shown.
    static bool IsLegacyGdbTable(const std::string& path);

    CPointTableSource() = default;
    ~CPointTableSource() override;

    // The copied fields in the target's types: numbers as numbers (blank
    // ones stay blank), memo fields as their converted text, the rest as text.
    void CopyAttributesTo(CDbfTable& target) const override;
    bool IsOpen() const override { return m_objects.IsOpen(); }
    // Asks for the map description file first (the one chosen last preset).
    bool Open(const std::string& path) override;
    void Close() override;
    bool ReadNextPoint(CMapPoint& point) override;
    bool ReadNextShape(CShape& shape) override;
    // No extent is known without reading every object.
    bool GetExtent(CMapRect& extent) override;
    // The type read, or a switch between line and area.
    bool AcceptType(int type) override;
    int GetShapeType() const override { return m_type; }

    // The map units of the packed coordinates.
    const CMapPoint& GetOrigin() const { return m_origin; }
    double GetUnitX() const { return m_unitX; }
    double GetUnitY() const { return m_unitY; }
    // Records of the object table, live or not: the progress of a copy.
    int GetObjectCount() const { return m_objects.IsOpen() ? m_objects.GetRecordCount() : 0; }
    // The map description file chosen last in this process.
    static std::string GetLastMapPath();

protected:
    bool GoToAttributeRecord(int n) override;

private:
    bool Fail(int error);
    bool FailWithMessage(int error, int stringId);
    bool ReadDescription(const std::string& mapPath);
    bool OpenTables(const std::string& path);
    bool BuildMemoryTable();
    // The next live object record, read; -1 at the end or on failure.
    int NextObjectRecord();
    // The attribute record of object n in memory; the object record must be read.
    bool LoadAttributes(int n);
    CMapPoint Unpack(int32_t packed) const;
    int32_t RawField(int field);
    // The block's points; false, error state set, when it is not whole.
    bool ReadBlock(int32_t offset, CShape& shape);

    CDbfTable m_objects;
    CDbfTable m_attributes;
    std::unique_ptr<CStream> m_vec;
    int m_type = kPoint;
    int m_nameField = -1, m_coordField = -1, m_ptrField = -1;
    // The attribute record in its table's buffer, -1 when the memory record has none.
    int m_attributeRecord = -1;
    CMapPoint m_origin;
    double m_unitX = 0, m_unitY = 0;
};
