#pragma once

#include "layers/FeatureSource.h"
#include "layers/ShpFile.h"

#include <string>

// An ESRI Shapefile as a layer: the main file ".shp", its record index
// ".shx" and the attribute table ".dbf" of one base name. Point, multipoint
// (its first point), polyline and polygon files are read; point, polyline
// and polygon files are written new. Objects are never replaced or deleted.
//
// The readers pass over null records and records of no parts, and the
// record number is the record's place in the file, as in the table. A
// malformed record is passed over too: the walk through the main file goes
// on where the index puts the next record (or, lacking an index entry,
// where the bad one's stated length ends), and a record found where the
// last one ended is checked against the index when it does not carry the
// number it should.
//
// Create writes all three files beside the targets under work names
// ("~" before the file name); Close puts them in place when every write
// succeeded and else removes them, so a failed export never costs the
// files it was to replace.
class CShapefileSource : public CFeatureSource {
public:
    CShapefileSource() = default;
    ~CShapefileSource() override;

    bool FindNearestVertex(const CMapPoint& point, CMapPoint& vertex) override;
    bool GetRecordBox(int n, CMapRect& box) override;
    bool IsOpen() const override { return m_file.IsOpen(); }
    bool Open(const std::string& path) override;
    void Close() override;
    bool ReadPoint(int n, CMapPoint& point) override;
    bool ReadShape(int n, CShape& shape) override;
    bool ReadNextPoint(CMapPoint& point) override;
    bool ReadNextShape(CShape& shape) override;
    bool SelectInRect(const CMapRect& rect, CRecordArray& records) override;
    bool FindNearestLine(const CMapPoint& point, CRecordArray& records, double* distance) override;
    bool SelectWithin(const CMapRect& rect, CRecordArray& records) override;
    bool FindAreasAt(const CMapPoint& point, CRecordArray& records) override;
    bool GetExtent(CMapRect& extent) override;
    // Point and multipoint files 0, polyline 1, polygon 2, others -1.
    int GetShapeType() const override;
    bool Create(const std::string& path, int type, const CDbfFieldInfo* fields) override;
    bool AppendPoint(const CMapPoint& point, bool writeAttributes) override;
    bool AppendShape(const CShape& shape, bool writeAttributes) override;

    // The shape type the file's header names.
    int32_t GetFileShapeType() const { return m_file.GetShapeType(); }

protected:
    bool ReadNextBox(CMapRect& box) override;

private:
    enum StepResult { kStepEnd, kStepFound, kStepFailed };
    // What a step reads: the point, the box, or the box and then the shape.
    enum StepMode { kStepPoint, kStepBox, kStepShape };
    // Files written by Create under work names, and where they go.
    struct CWorkFile {
        std::string work, target;
    };

    bool IsPointFile() const;
    bool IsLineOrAreaFile() const;
    // Line and area files only, else error state 8 and message 1034.
    bool RequireLineOrArea();
    bool QueryMissesExtent() const;
    // The record n of the index; 0 or the error.
    int ReadIndexed(int n, CShpFile::CRecord& record);
    bool Fail(int error);
    // A malformed object: reported in the error state, reading goes on.
    bool FailObject(int error);
    // The next record under every restriction, its point, box or shape read.
    StepResult StepNext(StepMode mode, CMapPoint* point, CMapRect* box, CShape* shape,
                        const CBoxProbe* probe = nullptr);
    // Index hit n and those after it read ahead together, unless they are
    // already or lie so close that the plain reader does better.
    void FetchHits(int n);
    // The next record of the file-order walk whose head reads; -1 at the end.
    int NextInFile(CShpFile::CRecord& record);
    bool CollectRecords(const CMapRect& rect, bool inside, CRecordArray& records);
    bool FinishAppend(bool writeAttributes);
    void FinishCreated();

    CShpFile m_file;
    CMapRect m_extent;
    // Records of both the geometry and the table.
    int m_recordCount = 0;
    // Where the file-order walk stands: the record ScanNext() names starts
    // here (kUnknownOffset: where the index says).
    static constexpr int64_t kUnknownOffset = -1;
    int m_scanRecord = 0;
    int64_t m_scanOffset = CShpFile::FirstRecord();
    std::vector<CWorkFile> m_workFiles;
    CShape m_scratch;
    std::vector<int> m_hitsToFetch;
    int m_plainUntil = -1; // hits up to this record lie close: the plain reader reads them
};
